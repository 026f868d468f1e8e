#include "store/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <version>

#include "store/utf8.h"

// libstdc++ from 11 on has both conversions for double; libc++ 13 has neither.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
#define KEL_STD_DOUBLE_CHARS 1
#endif

namespace kel {

std::from_chars_result ReadFixed(const char *first, const char *last, double &value) noexcept
{
#ifdef KEL_STD_DOUBLE_CHARS
    return std::from_chars(first, last, value, std::chars_format::fixed);
#else
    return ReadFixedPortable(first, last, value);
#endif
}

char *PutScientific(double value, int precision, char *out)
{
#ifdef KEL_STD_DOUBLE_CHARS
    return std::to_chars(out, out + 32, value, std::chars_format::scientific, precision).ptr;
#else
    return PutScientificPortable(value, precision, out);
#endif
}

std::string DecimalText(long long n)
{
    char buf[24];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
}

std::optional<double> PlainNumber(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::string_view body = text.substr(i);
    std::size_t digits = 0;
    bool point = false;
    for (char c : body) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    // Up to 15 digits: an exact integer over an exact power of ten, one correctly rounded
    // division, as from_chars rounds.
    if (digits <= 15) {
        static constexpr double kPow10[16]
            = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        int64_t whole = 0;
        int fraction = -1;
        for (char c : body) {
            if (c == '.') {
                fraction = 0;
                continue;
            }
            whole = whole * 10 + (c - '0');
            if (fraction >= 0)
                ++fraction;
        }
        const double value = fraction > 0 ? double(whole) / kPow10[fraction] : double(whole);
        return negative ? -value : value;
    }
    double value = 0;
    const auto res = ReadFixed(body.data(), body.data() + body.size(), value);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<double> PercentNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::string_view number = Utf8DropLast(text);
    while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
        number.remove_prefix(1);
    while (!number.empty() && (number.back() == ' ' || number.back() == '\t'))
        number.remove_suffix(1);
    return PlainNumber(number);
}

char *PutGeneralNumber(double value, char *out)
{
    if (value == 0) {
        *out++ = '0'; // also for -0
        return out;
    }
    // to_chars rounds the 15 significant digits correctly, and gives the rounded value's exponent.
    char sci[32];
    const char *const end = PutScientific(value, 14, sci);
    const char *const e = std::find(static_cast<const char *>(sci), end, 'e');
    int exponent = 0;
    std::from_chars(e[1] == '+' ? e + 2 : e + 1, end, exponent);
    const bool negative = sci[0] == '-';
    char digits[16];
    int count = 0;
    for (const char *p = sci + negative; p < e; ++p)
        if (*p != '.')
            digits[count++] = *p;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (negative)
        *out++ = '-';
    if (exponent < -4 || exponent >= 15) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + count, out);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            *out++ = '0';
        return std::to_chars(out, out + 3, magnitude).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(digits, digits + count, out);
    }
    const int whole = exponent + 1;
    out = std::copy(digits, digits + std::min(count, whole), out);
    if (count < whole)
        return std::fill_n(out, whole - count, '0');
    if (count > whole) {
        *out++ = '.';
        out = std::copy(digits + whole, digits + count, out);
    }
    return out;
}

std::string GeneralNumber(double value)
{
    char buf[kGeneralNumberMax];
    return std::string(buf, PutGeneralNumber(value, buf));
}

} // namespace kel
