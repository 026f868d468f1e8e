#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

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
