#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Texts are UTF-8; positions count characters from 1. Characters i to j of a text (both
// inclusive); positions past the end contribute nothing.
std::string_view MidText(std::string_view text, int from, int to);
// Number of characters.
int CharLength(std::string_view text);
// Without leading and trailing space characters (tabs stay).
std::string_view TrimBlanks(std::string_view text);

// The number at the start of a text. Spaces, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits, an optional "." and digits. 0 when no digit is read;
// no exponent, no hexadecimal. Beyond the range of a double gives an infinity.
double LeadingNumber(std::string_view text);

struct ShortDate
{
    double year = 0; // two digits as written, no century
    double month = 0;
    double day = 0;
};

// An "mm/dd/yy" text, read by position only: the separators are not checked.
ShortDate ParseShortDate(std::string_view text);

// A purse in thousands: a number followed by K (thousands) or M (millions), either case.
// Nothing for any other suffix or an empty text.
std::optional<double> ParsePurse(std::string_view text);

enum class ValueKind { None, Number, Text };

// A purse or distance as the filter compares it: a number, a text, or no value at all.
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

// The same, owning its text: what the Settings frame's limits become.
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

// Limit: a Settings text, where a final "0" makes the whole trimmed text a text value.
// PP: PP slot 7 of a past performance; a P record (track condition beginning with "P") keeps
// its distance text as it is, except that exactly "F", "M" or "Y" is 0.
enum class DistanceForm { Limit, PP };

// Furlongs ("F") as they are; miles ("M", or miles and yards "Y") times 1000, so a distance in
// miles ranks above one in furlongs. Any suffix case; no value for other suffixes, a fraction
// without a blank in front of it among the first 10 characters, or a zero denominator.
ValueView ParseDistanceView(std::string_view text, DistanceForm form, std::string_view trackCondition = {});
Value ParseDistance(std::string_view text, DistanceForm form, std::string_view trackCondition = {});

// True when a track-condition text marks a P record.
inline bool IsPRecord(std::string_view trackCondition)
{
    return !trackCondition.empty() && trackCondition.front() == 'P';
}

// Ordering of values: numbers by value, texts by character code, and every number below every
// text. A missing value is neither below nor above anything.
bool ValueLess(const ValueView &a, const ValueView &b);

} // namespace kel
