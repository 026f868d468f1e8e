#pragma once

#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Numbers are read and written here only, the same in every locale; fast_float and fmt stand in,
// bit for bit, where the standard library lacks double conversions (libc++ 13, WebAssembly).

// As std::from_chars with chars_format::fixed: out of range (too large, or nonzero but rounding
// to 0) leaves value as it was. noexcept, so the WebAssembly build calls it directly, not through
// its exception trampoline.
std::from_chars_result ReadFixed(const char *first, const char *last, double &value) noexcept;
// As std::to_chars in scientific form: at most 32 bytes at out for a precision up to 17.
char *PutScientific(double value, int precision, char *out);

std::from_chars_result ReadFixedPortable(const char *first, const char *last, double &value) noexcept;
char *PutScientificPortable(double value, int precision, char *out);

// Optional sign, digits, at most one "." and a digit at least: no blanks, exponent, "inf" or "nan".
std::optional<double> PlainNumber(std::string_view text);

// "98.5%": a PlainNumber, blanks around it allowed, before whatever the last character is.
std::optional<double> PercentNumber(std::string_view text);

std::string DecimalText(long long n);

// As the figures are written: fewest digits that represent the value, at most 15 significant.
std::string GeneralNumber(double value);
inline constexpr std::size_t kGeneralNumberMax = 32;
char *PutGeneralNumber(double value, char *out);

} // namespace kel
