#include "settings/settings_texts.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "settings/filter.h"

namespace kel {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(LeadingNumber("6 "), 6);
    EXPECT_EQ(LeadingNumber("1/"), 1);
    EXPECT_EQ(LeadingNumber("16"), 16);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("1.5M"), 1.5);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("5."), 5);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("007"), 7);
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere)
{
    EXPECT_EQ(LeadingNumber("  1 2\t3\n4x5"), 1234);
    EXPECT_EQ(LeadingNumber("- 5"), -5);
    EXPECT_EQ(LeadingNumber("1 . 5"), 1.5);
    // Carriage returns and other characters end the number.
    EXPECT_EQ(LeadingNumber("1\r2"), 1);
    EXPECT_EQ(LeadingNumber("1,5"), 1);
}

TEST(LeadingNumber, SignsButNoExponentOrHex)
{
    EXPECT_EQ(LeadingNumber("+7"), 7);
    EXPECT_EQ(LeadingNumber("-2.25"), -2.25);
    EXPECT_EQ(LeadingNumber("+-5"), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("1e3"), 1);
    EXPECT_EQ(LeadingNumber("0x10"), 0);
    EXPECT_EQ(LeadingNumber("&H10"), 0);
}

TEST(LeadingNumber, HugeAndLongTextsStayFinite)
{
    EXPECT_EQ(LeadingNumber(std::string(400, '9')), INFINITY);
    EXPECT_EQ(LeadingNumber("-" + std::string(400, '9')), -INFINITY);
    // Longer than any buffer, still read exactly.
    EXPECT_EQ(LeadingNumber(std::string(300, '0') + "12." + std::string(300, '0') + "5"), 12);
    EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(LeadingNumber("0.1"), 0.1);
}

TEST(TextPositions, CountCharactersNotBytes)
{
    EXPECT_EQ(MidText("abcdef", 2, 4), "bcd");
    EXPECT_EQ(MidText("abc", 3, 10), "c");
    EXPECT_EQ(MidText("abc", 4, 10), "");
    EXPECT_EQ(MidText("abc", 3, 2), "");
    // "é" is two bytes in UTF-8 but one character.
    EXPECT_EQ(MidText("\xC3\xA9"
                      "bcd",
                      2, 3),
              "bc");
    EXPECT_EQ(MidText("\xC3\xA9"
                      "bcd",
                      1, 1),
              "\xC3\xA9");
    EXPECT_EQ(CharLength("01/01/\xC3\xA9"), 7);
    EXPECT_EQ(TrimBlanks("  a b \t "), "a b \t");
    EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(ParseShortDate, ReadsByPosition)
{
    ShortDate d = ParseShortDate("01/01/01");
    EXPECT_EQ(d.year, 1);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1);
    d = ParseShortDate("12/31/99");
    EXPECT_EQ(d.year, 99);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 31);
    // Separators are not checked.
    d = ParseShortDate("06-15.00");
    EXPECT_EQ(d.year, 0);
    EXPECT_EQ(d.month, 6);
    EXPECT_EQ(d.day, 15);
    // Short and empty texts read as zeros rather than past their end.
    d = ParseShortDate("3/4");
    EXPECT_EQ(d.year, 0);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 0);
    d = ParseShortDate("");
    EXPECT_EQ(d.month, 0);
}

TEST(ParsePurse, ThousandsAndMillions)
{
    EXPECT_EQ(ParsePurse("0K"), 0);
    EXPECT_EQ(ParsePurse("10M"), 10000);
    EXPECT_EQ(ParsePurse("250k"), 250);
    EXPECT_EQ(ParsePurse("1.5M"), 1500);
    EXPECT_EQ(ParsePurse(" 25 K"), 25);
    EXPECT_EQ(ParsePurse("K"), 0);
}

TEST(ParsePurse, OtherSuffixesHaveNoValue)
{
    EXPECT_EQ(ParsePurse(""), std::nullopt);
    EXPECT_EQ(ParsePurse("100"), std::nullopt);
    EXPECT_EQ(ParsePurse("100K "), std::nullopt); // a final blank is an empty suffix
    EXPECT_EQ(ParsePurse("100K\t"), std::nullopt);
    EXPECT_EQ(ParsePurse("$5000"), std::nullopt);
    EXPECT_EQ(ParsePurse("5\xC3\xA9"), std::nullopt);
}

double number(std::string_view text, DistanceForm form = DistanceForm::Limit, std::string_view cond = "d-f")
{
    const Value v = ParseDistance(text, form, cond);
    EXPECT_EQ(v.kind, ValueKind::Number) << text;
    return v.number;
}

TEST(ParseDistance, FurlongsMilesAndYards)
{
    for (DistanceForm form : {DistanceForm::Limit, DistanceForm::PP}) {
        EXPECT_EQ(number("4 1/2F", form), 4.5);
        EXPECT_EQ(number("6F", form), 6);
        EXPECT_EQ(number("7 1/2f", form), 7.5);
        EXPECT_EQ(number("2 1/2M", form), 2500);
        EXPECT_EQ(number("1 1/16M", form), 1062.5);
        EXPECT_EQ(number("1M", form), 1000);
        EXPECT_EQ(number("1 70Y", form), 1054.6875);
        EXPECT_EQ(number("1 70y", form), 1054.6875);
        EXPECT_EQ(number("1Y", form), 1000);
        EXPECT_EQ(number(" 6 F", form), 6);
    }
}

TEST(ParseDistance, MilesRankAboveFurlongs)
{
    EXPECT_TRUE(ValueLess(ParseDistance("9F", DistanceForm::PP, "d-f").view(),
                          ParseDistance("1M", DistanceForm::Limit).view()));
}

TEST(ParseDistance, OnlyTheFirstTenCharactersHoldTheBlank)
{
    // Eleven characters before the blank: read as if there were none.
    EXPECT_EQ(number("12345678901 1/2F"), 12345678901.0);
    // Without a blank a yards text is read from its first 11 characters only.
    EXPECT_EQ(number("1234567890 5Y"), 1234567890.0 * 1000);
    EXPECT_EQ(number("123456789 5Y"), (123456789 + 5.0 / 80 / 16) * 1000);
}

TEST(ParseDistance, UndefinedFractionsHaveNoValue)
{
    EXPECT_FALSE(ParseDistance("1/2F", DistanceForm::Limit).hasValue());
    EXPECT_FALSE(ParseDistance("1/2 3F", DistanceForm::Limit).hasValue());
    EXPECT_FALSE(ParseDistance("4 1/0F", DistanceForm::Limit).hasValue());
    EXPECT_FALSE(ParseDistance("4 1/F", DistanceForm::PP, "d-f").hasValue());
    EXPECT_FALSE(ParseDistance("", DistanceForm::Limit).hasValue());
    EXPECT_FALSE(ParseDistance("6X", DistanceForm::Limit).hasValue());
    EXPECT_FALSE(ParseDistance("6F ", DistanceForm::Limit).hasValue());
}

TEST(ParseDistance, FinalZeroMakesALimitText)
{
    const Value v = ParseDistance(" 10 ", DistanceForm::Limit);
    EXPECT_EQ(v.kind, ValueKind::None); // last character is a blank
    const Value ten = ParseDistance("  10", DistanceForm::Limit);
    EXPECT_EQ(ten.kind, ValueKind::Text);
    EXPECT_EQ(ten.text, "10");
    // Not in the PP form.
    EXPECT_FALSE(ParseDistance("10", DistanceForm::PP, "d-f").hasValue());
}

TEST(ParseDistance, PRecordsKeepTheirText)
{
    EXPECT_EQ(ParseDistance("F", DistanceForm::PP, "Pf"), Value(ValueView::ofNumber(0)));
    EXPECT_EQ(ParseDistance("M", DistanceForm::PP, "P"), Value(ValueView::ofNumber(0)));
    EXPECT_EQ(ParseDistance("Y", DistanceForm::PP, "P"), Value(ValueView::ofNumber(0)));
    // Exact: no trimming, no upper-casing.
    EXPECT_EQ(ParseDistance("f", DistanceForm::PP, "P"), Value(ValueView::ofText("f")));
    EXPECT_EQ(ParseDistance(" F", DistanceForm::PP, "P"), Value(ValueView::ofText(" F")));
    EXPECT_EQ(ParseDistance("6F", DistanceForm::PP, "P-f"), Value(ValueView::ofText("6F")));
    // The limit form knows no P records.
    EXPECT_EQ(number("6F", DistanceForm::Limit, "P"), 6);
    // A lower-case "p" is not a P record.
    EXPECT_EQ(number("6F", DistanceForm::PP, "p-f"), 6);
}

TEST(ValueLess, NumbersBelowTextsAndTextsByCode)
{
    const ValueView one = ValueView::ofNumber(1);
    const ValueView big = ValueView::ofNumber(1e300);
    const ValueView ten = ValueView::ofText("10");
    const ValueView nine = ValueView::ofText("9");
    const ValueView none;
    EXPECT_TRUE(ValueLess(one, big));
    EXPECT_FALSE(ValueLess(big, one));
    EXPECT_FALSE(ValueLess(one, one));
    EXPECT_TRUE(ValueLess(big, ten));
    EXPECT_FALSE(ValueLess(ten, one));
    EXPECT_TRUE(ValueLess(ten, nine));
    EXPECT_TRUE(ValueLess(ValueView::ofText("Z"), ValueView::ofText("a")));
    EXPECT_TRUE(ValueLess(ValueView::ofText("z"), ValueView::ofText("\xC3\xA9")));
    EXPECT_FALSE(ValueLess(ten, ten));
    EXPECT_FALSE(ValueLess(none, one));
    EXPECT_FALSE(ValueLess(one, none));
    EXPECT_FALSE(ValueLess(none, ten));
}

TEST(SettingsTexts, HostileTextsAreReadWithinTheirBounds)
{
    // Digits, signs, separators, suffixes, blanks and stray UTF-8 pieces in any order.
    static constexpr std::string_view kAlphabet = " \t\n0123456789./-+KMFYkmfyP\xC3\xA9\x80\xFF";
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text(rng() % 16, ' ');
        for (char &c : text)
            c = kAlphabet[rng() % kAlphabet.size()];
        const std::string_view t = text;
        LeadingNumber(t);
        ParseShortDate(t);
        ParsePurse(t);
        for (DistanceForm form : {DistanceForm::Limit, DistanceForm::PP}) {
            const ValueView v = ParseDistanceView(t, form, t);
            if (v.kind == ValueKind::Text) {
                ASSERT_GE(v.text.data(), t.data());
                ASSERT_LE(v.text.data() + v.text.size(), t.data() + t.size());
            }
        }
        const std::string_view code = ConditionCode(t, t.substr(t.size() / 2));
        ASSERT_LE(code.size(), 6u * 4);
        ASSERT_EQ(MidText(t, 1, CharLength(t)).size() <= t.size(), true);
    }
}

} // namespace
} // namespace kel
