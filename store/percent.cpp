#include "store/percent.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kel {

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
    // Up to 15 digits the value is the digits as an integer, exact in a double, divided by a
    // power of ten, also exact: one correctly rounded division, as from_chars rounds.
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
    const auto res = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<double> PercentNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    // Blanks around the number are tolerated, as in " 97 %"; nothing else is.
    std::string_view number = text.substr(0, text.size() - 1);
    while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
        number.remove_prefix(1);
    while (!number.empty() && (number.back() == ' ' || number.back() == '\t'))
        number.remove_suffix(1);
    return PlainNumber(number);
}

std::string GeneralNumber(double value)
{
    if (value == 0)
        return "0"; // also for -0
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    return buf;
}

} // namespace kel
