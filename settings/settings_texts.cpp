#include "settings/settings_texts.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "store/number_text.h"
#include "store/utf8.h"

namespace kel {

namespace {

bool isIgnored(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// limit + 1 when c is not among the first limit characters.
int findWithin(std::string_view text, char c, int limit)
{
    int pos = 0;
    for (std::size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) {
        if (++pos > limit)
            break;
        if (text[i] == c)
            return pos;
    }
    return limit + 1;
}

std::optional<double> fractionValue(std::string_view n)
{
    const int b = findWithin(n, ' ', 10);
    const int s = findWithin(n, '/', 10);
    if (s == 11)
        return LeadingNumber(MidText(n, 1, b));
    // "1/2" or "1/2 3": the numerator would have to come from before the whole number.
    if (b > s)
        return std::nullopt;
    const double whole = LeadingNumber(MidText(n, 1, b));
    const double numerator = LeadingNumber(MidText(n, b + 1, s));
    const double denominator = LeadingNumber(MidText(n, s + 1, s + 5));
    if (denominator == 0)
        return std::nullopt;
    return whole + numerator / denominator;
}

char suffixOf(std::string_view text)
{
    if (text.empty())
        return 0;
    const char c = text.back();
    if (static_cast<unsigned char>(c) >= 0x80 || c == ' ')
        return 0;
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

class NumberText
{
public:
    void put(char c)
    {
        if (m_len < sizeof m_small) {
            m_small[m_len++] = c;
            return;
        }
        if (m_large.empty())
            m_large.assign(m_small, m_len);
        m_large.push_back(c);
        ++m_len;
    }
    // Out of range: infinity when the number has an integer part, 0 when it is all fraction.
    double value(bool integerPart) const
    {
        const char *first = m_large.empty() ? m_small : m_large.data();
        double value = 0;
        const auto res = ReadFixed(first, first + m_len, value);
        if (res.ec == std::errc::result_out_of_range)
            value = integerPart ? std::numeric_limits<double>::infinity() : 0.0;
        return value;
    }

private:
    char m_small[96];
    std::string m_large;
    std::size_t m_len = 0;
};

} // namespace

std::string_view MidText(std::string_view text, int from, int to)
{
    if (from < 1)
        from = 1;
    if (to < from || text.empty())
        return {};
    const std::size_t begin = Utf8Left(text, static_cast<std::size_t>(from - 1)).size();
    if (begin >= text.size())
        return {};
    return Utf8Left(text.substr(begin), static_cast<std::size_t>(to - from) + 1);
}

int CharLength(std::string_view text)
{
    return static_cast<int>(Utf8Count(text));
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

double LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && isIgnored(text[i]))
            ++i;
    };

    skip();
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Leading zeros dropped: only absurd texts outgrow the stack buffer.
    NumberText number;

    bool anyDigit = false;
    bool significant = false;
    for (skip(); i < text.size() && isDigit(text[i]); ++i, skip()) {
        anyDigit = true;
        if (text[i] == '0' && !significant)
            continue;
        significant = true;
        number.put(text[i]);
    }
    const bool integerPart = significant;
    if (!significant)
        number.put('0');
    if (i < text.size() && text[i] == '.') {
        ++i;
        bool point = false;
        for (skip(); i < text.size() && isDigit(text[i]); ++i, skip()) {
            if (!point) {
                number.put('.');
                point = true;
            }
            anyDigit = true;
            number.put(text[i]);
        }
    }
    if (!anyDigit)
        return 0;

    const double value = number.value(integerPart);
    return negative ? -value : value;
}

ShortDate ParseShortDate(std::string_view text)
{
    ShortDate d;
    d.year = LeadingNumber(MidText(text, 7, 8));
    d.month = LeadingNumber(MidText(text, 1, 2));
    d.day = LeadingNumber(MidText(text, 4, 5));
    return d;
}

std::optional<double> ParsePurse(std::string_view text)
{
    const char suffix = suffixOf(text);
    if (suffix != 'K' && suffix != 'M')
        return std::nullopt;
    const double v = LeadingNumber(text.substr(0, text.size() - 1));
    return suffix == 'M' ? v * 1000 : v;
}

ValueView ParseDistanceView(std::string_view text, DistanceForm form, std::string_view trackCondition)
{
    if (form == DistanceForm::PP && IsPRecord(trackCondition)) {
        if (text == "F" || text == "M" || text == "Y")
            return ValueView::ofNumber(0);
        return ValueView::ofText(text);
    }

    const char suffix = suffixOf(text);
    const std::string_view n = suffix ? TrimBlanks(text.substr(0, text.size() - 1)) : std::string_view{};
    switch (suffix) {
    case 'F':
        if (auto v = fractionValue(n))
            return ValueView::ofNumber(*v);
        return {};
    case 'M':
        if (auto v = fractionValue(n))
            return ValueView::ofNumber(*v * 1000);
        return {};
    case 'Y': {
        const int b = findWithin(n, ' ', 10);
        if (b == 11)
            return ValueView::ofNumber(LeadingNumber(MidText(n, 1, 11)) * 1000);
        const double miles = LeadingNumber(MidText(n, 1, b));
        const double yards = LeadingNumber(MidText(n, b + 1, b + 5));
        // 80 yards make a sixteenth of a mile.
        return ValueView::ofNumber((miles + yards / 80 / 16) * 1000);
    }
    case '0':
        if (form == DistanceForm::Limit)
            return ValueView::ofText(TrimBlanks(text));
        return {};
    default:
        return {};
    }
}

Value ParseDistance(std::string_view text, DistanceForm form, std::string_view trackCondition)
{
    return Value(ParseDistanceView(text, form, trackCondition));
}

bool ValueLess(const ValueView &a, const ValueView &b)
{
    if (!a.hasValue() || !b.hasValue())
        return false;
    if (a.kind == ValueKind::Number)
        return b.kind == ValueKind::Text || a.number < b.number;
    if (b.kind == ValueKind::Number)
        return false;
    // string_view compares characters as unsigned codes; UTF-8 keeps code point order.
    return a.text < b.text;
}

} // namespace kel
