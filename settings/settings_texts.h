#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Positions count UTF-8 characters from 1; both ends included, none past the text's end.
std::string_view MidText(std::string_view text, int from, int to);
int CharLength(std::string_view text);
// Tabs stay.
std::string_view TrimBlanks(std::string_view text);

// Spaces, tabs and line feeds are skipped wherever they stand; no exponent, no hexadecimal. 0 when
// no digit is read; beyond a double's range, an infinity.
double LeadingNumber(std::string_view text);

struct ShortDate
{
    double year = 0; // two digits as written, no century
    double month = 0;
    double day = 0;
};

// By position only: the separators are not checked.
ShortDate ParseShortDate(std::string_view text);

// In thousands; K or M in either case, nothing for another suffix.
std::optional<double> ParsePurse(std::string_view text);

enum class ValueKind { None, Number, Text };

// A text views the argument it was parsed from.
struct ValueView
{
    ValueKind kind = ValueKind::None;
    double number = 0;
    std::string_view text;

    bool hasValue() const { return kind != ValueKind::None; }
    static ValueView ofNumber(double v) { return {ValueKind::Number, v, {}}; }
    static ValueView ofText(std::string_view t) { return {ValueKind::Text, 0, t}; }
};

struct Value
{
    ValueKind kind = ValueKind::None;
    double number = 0;
    std::string text;

    Value() = default;
    explicit Value(const ValueView &v) : kind(v.kind), number(v.number), text(v.text) {}
    ValueView view() const { return {kind, number, text}; }
    bool hasValue() const { return kind != ValueKind::None; }
    bool operator==(const Value &) const = default;
};

// Limit: a final "0" makes the trimmed text a text value. PP: a P record (track condition
// beginning with "P") keeps its distance text, except that exactly "F", "M" or "Y" is 0.
enum class DistanceForm { Limit, PP };

// Miles ("M", "Y") times 1000 rank above furlongs. No value for another suffix, a fraction with
// no blank before it in the first 10 characters, or a zero denominator.
ValueView ParseDistanceView(std::string_view text, DistanceForm form, std::string_view trackCondition = {});
Value ParseDistance(std::string_view text, DistanceForm form, std::string_view trackCondition = {});

inline bool IsPRecord(std::string_view trackCondition)
{
    return !trackCondition.empty() && trackCondition.front() == 'P';
}

// Every number below every text; a missing value is neither below nor above anything.
bool ValueLess(const ValueView &a, const ValueView &b);

} // namespace kel
