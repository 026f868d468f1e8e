#pragma once

#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Numbers are read and written here only, the same in every locale: std::from_chars and
// std::to_chars where the standard library has them for double, fast_float and fmt where it
// does not (libc++ 13, in the WebAssembly build), with the same results bit for bit.

// A double from fixed-form text (optional "-", digits, optional "." and digits), as
// std::from_chars with chars_format::fixed reads it: a value beyond a double's range, or a
// nonzero one that rounds to 0, is result_out_of_range and leaves value as it was. Never
// throws, so that the rating runs call it directly in the WebAssembly build too (not through
// its exception trampoline).
std::from_chars_result ReadFixed(const char *first, const char *last, double &value) noexcept;
// value in scientific form with `precision` digits after the point ("d.ddde+XX"), as
// std::to_chars writes it; at most 32 bytes at out for a precision up to 17. Returns the end.
char *PutScientific(double value, int precision, char *out);

// The same through fast_float and fmt, for any standard library: the test holds them to the
// standard library's own.
std::from_chars_result ReadFixedPortable(const char *first, const char *last, double &value) noexcept;
char *PutScientificPortable(double value, int precision, char *out);

// A plain decimal number: optional sign, digits, optional "." and digits (at least one digit),
// nothing else: no blanks, no exponent, no "inf" or "nan". Nothing when the text is not one.
std::optional<double> PlainNumber(std::string_view text);

// A percentage figure such as "98.5%": the number in front of its last character. Nothing for
// a text that does not read as a plain number there, blanks around it aside (so "%", "abc%"
// or "1e400%" are no figure).
std::optional<double> PercentNumber(std::string_view text);

// An integer in plain decimal digits, the same in every locale.
std::string DecimalText(long long n);

// A number in general form, as the figures are written: integral values without a decimal
// point, others with as few digits as represent them, at most 15 significant digits.
std::string GeneralNumber(double value);
// GeneralNumber written at out (kGeneralNumberMax bytes there writable); returns the end.
inline constexpr std::size_t kGeneralNumberMax = 32;
char *PutGeneralNumber(double value, char *out);

} // namespace kel
