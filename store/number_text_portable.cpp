// Apart, so that only its callers (the WebAssembly build, the number test) link fast_float and fmt.
#include "store/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

namespace kel {

std::from_chars_result ReadFixedPortable(const char *first, const char *last, double &value) noexcept
{
    double read = 0;
    const fast_float::from_chars_result res
        = fast_float::from_chars(first, last, read, fast_float::chars_format::fixed);
    if (res.ec != std::errc())
        return {res.ptr, res.ec};
    // fast_float gives an infinity or 0 where the digits are beyond a double's range; the
    // standard library calls that out of range (but not for a text "inf" or a zero written out).
    const char *digits = first + (*first == '-');
    const bool number = digits < res.ptr && ((*digits >= '0' && *digits <= '9') || *digits == '.');
    if (number && (std::isinf(read) || (read == 0 && std::any_of(digits, res.ptr, [](char c) {
                                            return c >= '1' && c <= '9';
                                        }))))
        return {res.ptr, std::errc::result_out_of_range};
    value = read;
    return {res.ptr, std::errc()};
}

char *PutScientificPortable(double value, int precision, char *out)
{
    // A normal double's shortest digits (Dragonbox), when no more than asked for, are its correctly
    // rounded ones: the double lies within a half ulp of them, under a quarter of the last digit's
    // half unit at 15 digits. fmt's rounding of the exact value takes a long division instead.
    if (std::isfinite(value) && std::fabs(value) >= std::numeric_limits<double>::min() && precision <= 14) {
        const auto dec = fmt::detail::dragonbox::to_decimal(value);
        uint64_t significand = dec.significand;
        int exponent = dec.exponent;
        while (significand % 10 == 0) {
            significand /= 10;
            ++exponent;
        }
        char digits[20];
        const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, significand).ptr - digits);
        if (count <= precision + 1) {
            if (value < 0)
                *out++ = '-';
            *out++ = digits[0];
            if (precision > 0) {
                *out++ = '.';
                out = std::copy(digits + 1, digits + count, out);
                out = std::fill_n(out, precision + 1 - count, '0');
            }
            int power = exponent + count - 1;
            *out++ = 'e';
            *out++ = power < 0 ? '-' : '+';
            power = power < 0 ? -power : power;
            if (power < 10)
                *out++ = '0';
            return std::to_chars(out, out + 3, power).ptr;
        }
    }
    return fmt::format_to(out, FMT_COMPILE("{:.{}e}"), value, precision);
}

} // namespace kel
