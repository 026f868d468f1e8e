#include "store/loader.h"

#include <gtest/gtest.h>

#include "tests/support/card_dir.h"
#include "tests/support/card_lines.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "store/final_kel.h"
#include "store/number_text.h"

namespace kel {
namespace {

using kel::testing::ppLine;
using kel::testing::randomCardBytes;
using kel::testing::repeat;

RaceStore load(std::string_view bytes, LoadReport *report = nullptr)
{
    RaceStore data;
    LoadReport r = LoadCard(bytes, data);
    if (report)
        *report = r;
    return data;
}

TEST(LoaderSplit, RaceLineFillsItsSlotsInOrder)
{
    RaceStore d = load("R1;Main;6F;A;\r\n");
    EXPECT_EQ(d(1, 0, 0, 1), "R1");
    EXPECT_EQ(d(1, 0, 0, 2), "Main");
    EXPECT_EQ(d(1, 0, 0, 3), "6F");
    EXPECT_EQ(d(1, 0, 0, 4), "");
}

TEST(LoaderSplit, QuotesAreStrippedNotInterpreted)
{
    RaceStore d = load("\"Smith, J\";\"ab;\"\";x\";A;\r\n");
    EXPECT_EQ(d(1, 0, 0, 1), "Smith, J");
    // A quote then ab loses its first and last character, whatever the last one is.
    EXPECT_EQ(d(1, 0, 0, 2), "a");
    // A lone quote and a quote-semicolon split: each becomes empty or loses its ends.
    EXPECT_EQ(d(1, 0, 0, 3), "");
    EXPECT_EQ(d(1, 0, 0, 4), "x\"");
}

TEST(LoaderSplit, QuoteStrippingDropsAWholeLastCharacter)
{
    // 0xBA decodes to two UTF-8 bytes; dropping "the last character" drops both.
    RaceStore d = load("\"1\xBA;A;\r\n");
    EXPECT_EQ(d(1, 0, 0, 1), "1");
    RaceStore e = load("\"1\xBA\xBA;A;\r\n");
    EXPECT_EQ(e(1, 0, 0, 1), "1\xC2\xBA");
}

TEST(LoaderSplit, EmptyFieldsKeepTheirPlaceAndSpacesStay)
{
    RaceStore d = load("R1;; six ;A;\r\n");
    EXPECT_EQ(d(1, 0, 0, 1), "R1");
    EXPECT_EQ(d(1, 0, 0, 2), "");
    EXPECT_EQ(d(1, 0, 0, 3), " six ");
}

TEST(LoaderTags, ComparedExactly)
{
    LoadReport report;
    RaceStore d = load("a;R1;a;\r\nR2;A\r\nR3;A; \r\nR4; A;\r\nR5;A;;\r\nR6;B;C\r\n", &report);
    EXPECT_EQ(d(1, 0, 0, 1), "");
    EXPECT_EQ(d(0, 1, 0, 1), "");
    EXPECT_TRUE(report.dropped.empty());
    // The sixth line's tag is "C" without its semicolon: skipped, so no race exists.
    EXPECT_EQ(d.recordCount(), 0u);
}

TEST(LoaderTags, ATagAloneMakesARecordWithoutFields)
{
    RaceStore d = load("A;\r\nR2;A;\r\nH1;B;\r\n");
    EXPECT_EQ(d(1, 0, 0, 1), "");
    EXPECT_EQ(d(2, 0, 0, 1), "R2");
    EXPECT_EQ(d(2, 1, 0, 1), "H1");
}

TEST(LoaderLines, CrLfLfAndLoneCrEndLinesAndEmptyLinesAreSkipped)
{
    LoadReport report;
    RaceStore d = load("R1;A;\r\n\r\nH1;B;\nH2;B;\rH3;B;", &report);
    EXPECT_EQ(d(1, 1, 0, 1), "H1");
    EXPECT_EQ(d(1, 2, 0, 1), "H2");
    EXPECT_EQ(d(1, 3, 0, 1), "H3");
    EXPECT_EQ(report.lines, 5);
}

TEST(LoaderDecode, Windows1252BecomesUtf8)
{
    // Every byte the code page moves away from its own code point, and some that it keeps.
    // The five bytes it leaves undefined keep their C1 code point instead of vanishing.
    const struct
    {
        char byte;
        const char *utf8;
    } cases[] = {
        {'\x80', "\u20AC"}, {'\x81', "\u0081"}, {'\x82', "\u201A"}, {'\x83', "\u0192"}, {'\x84', "\u201E"},
        {'\x85', "\u2026"}, {'\x86', "\u2020"}, {'\x87', "\u2021"}, {'\x88', "\u02C6"}, {'\x89', "\u2030"},
        {'\x8A', "\u0160"}, {'\x8B', "\u2039"}, {'\x8C', "\u0152"}, {'\x8D', "\u008D"}, {'\x8E', "\u017D"},
        {'\x8F', "\u008F"}, {'\x90', "\u0090"}, {'\x91', "\u2018"}, {'\x92', "\u2019"}, {'\x93', "\u201C"},
        {'\x94', "\u201D"}, {'\x95', "\u2022"}, {'\x96', "\u2013"}, {'\x97', "\u2014"}, {'\x98', "\u02DC"},
        {'\x99', "\u2122"}, {'\x9A', "\u0161"}, {'\x9B', "\u203A"}, {'\x9C', "\u0153"}, {'\x9D', "\u009D"},
        {'\x9E', "\u017E"}, {'\x9F', "\u0178"}, {'\xA0', "\u00A0"}, {'\xBA', "\u00BA"}, {'\xE9', "\u00E9"},
        {'\xFF', "\u00FF"}, {'\0', "\0"},
    };
    std::string card;
    for (const auto &c : cases)
        card += std::string("R") + c.byte + "a;A;\r\n";
    RaceStore d = load(card);
    int r = 0;
    for (const auto &c : cases) {
        ++r;
        EXPECT_EQ(d(r, 0, 0, 1), "R" + std::string(c.utf8, c.byte ? std::strlen(c.utf8) : 1) + "a")
            << "byte " << int(static_cast<unsigned char>(c.byte));
    }
}

TEST(LoaderFiling, HorseFieldsSkipTheRatingSlots)
{
    RaceStore d = load("R1;A;\r\n1;Nag;120;3 1-0-0;data;Jock;Train;B;\r\n");
    EXPECT_EQ(d(1, 1, 0, 1), "1");
    EXPECT_EQ(d(1, 1, 0, 4), "3 1-0-0");
    for (int s = 5; s <= 8; ++s)
        EXPECT_EQ(d(1, 1, 0, s), "") << s;
    EXPECT_EQ(d(1, 1, 0, 9), "data");
    EXPECT_EQ(d(1, 1, 0, 10), "Jock");
    EXPECT_EQ(d(1, 1, 0, 11), "Train");
    EXPECT_EQ(d(1, 1, 0, 12), "");
}

TEST(LoaderFiling, PPFieldsLandInTheirSlots)
{
    RaceStore d = load("R1;A;\r\nH;B;\r\nf1;f2;f3;f4;f5;f6;f7;f8;f9;f10;f11;f12;97%;f14;95%;f16;f17;C;\r\n");
    const char *expected[17]
        = {"", "f11", "f12", "97%", "95%", "99%", "f2", "f4", "f5", "f6", "f7", "f10", "f1", "f9", "f8", "f3", "f14"};
    for (int s = 0; s <= 16; ++s)
        EXPECT_EQ(d(1, 1, 1, s), expected[s]) << "slot " << s;
    EXPECT_EQ(d(1, 1, 1, 17), "");
    EXPECT_EQ(d(1, 1, 1, 18), "");
}

TEST(LoaderFiling, ShortPPLinesKeepTheMissingMarkers)
{
    RaceStore d = load("R1;A;\r\nH;B;\r\nf1;f2;f3;f4;f5;f6;f7;f8;f9;f10;f11;f12;97%;f14;C;\r\n"
                       "f1;f2;f3;f4;f5;f6;f7;f8;f9;f10;f11;f12;97%;f14;----;C;\r\n"
                       "f1;f2;f3;f4;f5;f6;f7;f8;f9;f10;f11;f12;97%;f14;;C;\r\nC;\r\n");
    EXPECT_EQ(d(1, 1, 1, 4), "----");
    EXPECT_EQ(d(1, 1, 1, 5), "----");
    EXPECT_EQ(d(1, 1, 1, 16), "f14");
    EXPECT_EQ(d(1, 1, 2, 4), "----");
    EXPECT_EQ(d(1, 1, 2, 5), "----");
    // An empty 15th field empties the Early KEL; the Final KEL then has nothing to work from.
    EXPECT_EQ(d(1, 1, 3, 4), "");
    EXPECT_EQ(d(1, 1, 3, 5), "----");
    // A bare tag is still a PP: the markers but no fields.
    EXPECT_EQ(d(1, 1, 4, 4), "----");
    EXPECT_EQ(d(1, 1, 4, 2), "");
}

std::vector<std::string> slotsOf(const RaceStore &d, int r, int h, int p)
{
    std::vector<std::string> slots;
    for (int s = 0; s <= RaceStore::kMaxSlot; ++s)
        slots.emplace_back(d(r, h, p, s));
    return slots;
}

TEST(LoaderPPLines, WritesChangeTheirSlotOnly)
{
    RaceStore d = load("R1;A;\r\nH;B;\r\n" + ppLine("\"97%\"", "95%") + ppLine("90%", "----") + "only;two;C;\r\n");
    std::vector<std::string> pp1 = slotsOf(d, 1, 1, 1);
    const std::vector<std::string> pp2 = slotsOf(d, 1, 1, 2);
    EXPECT_EQ(pp1[3], "97%");
    EXPECT_EQ(pp1[5], "99%");
    EXPECT_EQ(pp1[6], "1\xC2\xBA 120 (2)");

    // Marks come and go.
    d.set(1, 1, 1, 0, "S");
    pp1[0] = "S";
    EXPECT_EQ(slotsOf(d, 1, 1, 1), pp1);
    d.set(1, 1, 1, 0, "");
    pp1[0] = "";
    EXPECT_EQ(slotsOf(d, 1, 1, 1), pp1);

    // Any other text in any other slot, then marks again.
    d.set(1, 1, 1, 0, "F");
    d.set(1, 1, 1, 7, "rewritten");
    d.set(1, 1, 1, 18, "added");
    d.set(1, 1, 1, 5, "");
    pp1[0] = "F";
    pp1[7] = "rewritten";
    pp1[18] = "added";
    pp1[5] = "";
    EXPECT_EQ(slotsOf(d, 1, 1, 1), pp1);
    d.set(1, 1, 1, 0, "marked twice");
    d.set(1, 1, 1, 0, "S");
    pp1[0] = "S";
    EXPECT_EQ(slotsOf(d, 1, 1, 1), pp1);

    // Neighbours untouched; a short line keeps its markers.
    EXPECT_EQ(slotsOf(d, 1, 1, 2), pp2);
    EXPECT_EQ(d(1, 1, 3, 12), "only");
    EXPECT_EQ(d(1, 1, 3, 6), "two");
    EXPECT_EQ(d(1, 1, 3, 4), "----");
    EXPECT_EQ(d(1, 1, 3, 5), "----");
}

TEST(LoaderPPLines, QuotedFieldsAreUnquotedWhereverTheyFallInTheScan)
{
    for (int pad = 0; pad < 70; ++pad) {
        const std::string line = "\"" + repeat("a", pad) + "\";\"\xBA\";x\"y;" + repeat("\xBA", pad % 3)
                                 + "\"4;5;6;7;8;9;10;11;12;\"97%\";14;\"95%\";16;17;C;\r\n";
        RaceStore d = load("R1;A;\r\nH;B;\r\n" + line);
        const std::string at = "pad " + std::to_string(pad);
        EXPECT_EQ(d(1, 1, 1, 12), repeat("a", pad)) << at;
        EXPECT_EQ(d(1, 1, 1, 6), "\xC2\xBA") << at;
        EXPECT_EQ(d(1, 1, 1, 15), "x\"y") << at;
        // "4 starts with a quote, so loses it and its last character; after a "º" it stays.
        EXPECT_EQ(d(1, 1, 1, 7), pad % 3 == 0 ? "" : repeat("\xC2\xBA", pad % 3) + "\"4") << at;
        EXPECT_EQ(d(1, 1, 1, 3), "97%") << at;
        EXPECT_EQ(d(1, 1, 1, 4), "95%") << at;
        EXPECT_EQ(d(1, 1, 1, 5), "99%") << at;
    }
}

TEST(LoaderPPLines, AVeryLongLineReadsLikeAShortOne)
{
    const std::string longName = "\"" + repeat("Long", 20000) + "\"";
    RaceStore d = load("R1;A;\r\nH;B;\r\n" + ppLine("97.5%", "95%") + longName + ppLine("97.5%", "95%").substr(6));
    std::vector<std::string> shortLine = slotsOf(d, 1, 1, 1);
    std::vector<std::string> longLine = slotsOf(d, 1, 1, 2);
    EXPECT_TRUE(longLine[12] == repeat("Long", 20000)); // quotes dropped
    longLine[12] = shortLine[12];
    EXPECT_EQ(longLine, shortLine);
    d.set(1, 1, 2, 0, "S");
    EXPECT_EQ(d(1, 1, 2, 0), "S");
    EXPECT_EQ(d(1, 1, 2, 5), "100%");
}

// Every cell of two stores, record by record.
void expectSameStores(const RaceStore &a, const RaceStore &b, const std::string &what)
{
    for (int r = 0; r <= RaceStore::kMaxRace; ++r)
        for (int h = 0; h <= RaceStore::kMaxHorse; ++h)
            for (int p = 0; p <= RaceStore::kMaxPP; ++p) {
                ASSERT_EQ(a.find(r, h, p) >= 0, b.find(r, h, p) >= 0)
                    << what << " record " << r << "," << h << "," << p;
                if (a.find(r, h, p) >= 0) {
                    ASSERT_EQ(slotsOf(a, r, h, p), slotsOf(b, r, h, p))
                        << what << " record " << r << "," << h << "," << p;
                }
            }
}

TEST(LoaderScan, TextWrittenOverTheBytesIsTheTextOfACopy)
{
    // Any front room, none included: with too little the text catches up with the bytes and goes
    // on in a buffer of its own. Cards of high bytes only grow the most (three bytes each).
    std::mt19937_64 rng(5);
    for (int i = 0; i < 200; ++i) {
        std::string card = randomCardBytes(rng);
        if (i % 10 == 0)
            card += repeat("\x80\x81;", 3000) + "C;\r\n";
        const std::size_t front = i % 4 == 0 ? 0 : rng() % (card.size() / 8 + 200);
        TextBuffer bytes;
        bytes.reserveWithFront(front, card.size());
        std::memcpy(bytes.data(), card.data(), card.size());
        bytes.setSize(card.size());
        RaceStore inPlace;
        const LoadReport inPlaceReport = LoadCard(std::move(bytes), inPlace);
        LoadReport copyReport;
        const RaceStore copy = load(card, &copyReport);
        expectSameStores(inPlace, copy, "card " + std::to_string(i) + ", front " + std::to_string(front));
        ASSERT_EQ(inPlaceReport.lines, copyReport.lines);
    }
}

TEST(LoaderCounters, MisplacedLinesLandUnderIndexZero)
{
    RaceStore d = load("H0;B;\r\n" + ppLine("97%", "95%") + "R1;A;\r\n" + ppLine("90%", "----"));
    EXPECT_EQ(d(0, 1, 0, 1), "H0");
    // The PP counter starts at 1, so a PP before the first horse of the card is PP 2 of horse 1 of
    // race 0; a PP before the first horse of a race lands under horse 0.
    EXPECT_EQ(d(0, 1, 1, 3), "97%");
    EXPECT_EQ(d(1, 0, 1, 3), "90%");
    EXPECT_EQ(d(1, 0, 0, 1), "R1");
}

TEST(FinalKel, GeneralNumberFormWithFifteenDigits)
{
    EXPECT_EQ(FinalKel("97%", "95%"), "99%");
    EXPECT_EQ(FinalKel("97%", "98.5%"), "95.5%");
    EXPECT_EQ(FinalKel("97.3%", "95.1%"), "99.5%");
    EXPECT_EQ(FinalKel("100.1%", "100.2%"), "100%");
    EXPECT_EQ(FinalKel("0.1%", "0.3%"), "-0.1%");
    EXPECT_EQ(FinalKel("50%", "100%"), "0%");
    EXPECT_EQ(FinalKel("33.3333333333333%", "0%"), "66.6666666666666%");
    EXPECT_EQ(FinalKel("97%", "----"), "----");
    // Not figures: no result is invented.
    EXPECT_EQ(FinalKel("97%", ""), "----");
    EXPECT_EQ(FinalKel("", "95%"), "----");
    EXPECT_EQ(FinalKel("abc%", "95%"), "----");
    EXPECT_EQ(FinalKel("1e400%", "95%"), "----");
    EXPECT_EQ(FinalKel("NaN%", "95%"), "----");
    EXPECT_EQ(FinalKel("%", "95%"), "----");
    EXPECT_EQ(FinalKel("97%", "--"), "----");
}

TEST(FinalKel, FollowsTheArithmeticOfTheFiguresInDoubles)
{
    // A result far below its figures shows the doubles' tail within its 15 digits.
    EXPECT_EQ(FinalKel("40%", "70.1%"), "9.90000000000001%");
    EXPECT_EQ(FinalKel("50.0001%", "100.0001%"), "0.00010000000000332%");
    EXPECT_EQ(FinalKel("1%", "1.99995%"), "5.00000000001055E-05%");
    EXPECT_EQ(FinalKel("0.000100%", "0.000150%"), "5E-05%");
    // Just below a power of ten the digits' grid is ten times finer.
    EXPECT_EQ(FinalKel("128.2%", "246.4%"), "9.99999999999997%");
    EXPECT_EQ(FinalKel("128.3%", "255.6%"), "1.00000000000003%");
    // ... and none where the arithmetic rounds back to the decimal result.
    EXPECT_EQ(FinalKel("52.3%", "95.1%"), "9.5%");
    EXPECT_EQ(FinalKel("55%", "100%"), "10%");
    // Signs, bare points and long figures.
    EXPECT_EQ(FinalKel("+98%", "97.5%"), "98.5%");
    EXPECT_EQ(FinalKel("98.%", ".5%"), "195.5%");
    EXPECT_EQ(FinalKel("-3.25%", "-10%"), "3.5%");
    EXPECT_EQ(FinalKel("123456789.123456%", "0.000001%"), "246913578.246911%");
    EXPECT_EQ(FinalKel("99999999.5%", "0.25%"), "199999998.75%");
    EXPECT_EQ(FinalKel("988888888888888888885%", "95%"), "1.97777777777778E+21%");
    // Beyond the largest double there is no figure.
    EXPECT_EQ(FinalKel(repeat("9", 308) + "%", "0%"), "----");
    EXPECT_EQ(FinalKel("1%", "-" + repeat("9", 308) + "%"), "1E+308%");
    EXPECT_EQ(FinalKel("1.0000000000000000000001%", "-98888888888888888888.5%"), "9.88888888888889E+19%");
}

// Random figure texts of the shapes a card holds and of odd ones: each short-cut taken for
// common figures gives what the plain arithmetic gives.
std::string randomDigits(std::mt19937_64 &rng, int n)
{
    std::string t;
    for (int i = 0; i < n; ++i)
        t += static_cast<char>('0' + rng() % 10);
    return t;
}

std::string randomFigure(std::mt19937_64 &rng)
{
    static constexpr std::string_view kCommon[] = {"98%", "97.5%", "101%", "100.25%", "88%", "----", ""};
    static constexpr std::string_view kChars = "0123456789..+- x%\"";
    switch (rng() % 6) {
    case 0:
        return std::string(kCommon[rng() % std::size(kCommon)]);
    case 1: {
        std::string t;
        const int length = static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i)
            t += kChars[rng() % kChars.size()];
        return t;
    }
    default: {
        // sign, up to 10 whole digits, up to 8 fraction digits, a last character
        std::string t = rng() % 8 == 0 ? (rng() % 2 ? "+" : "-") : "";
        t += randomDigits(rng, static_cast<int>(rng() % 4 == 0 ? rng() % 11 : rng() % 4));
        if (rng() % 2)
            t += "." + randomDigits(rng, static_cast<int>(rng() % 9));
        // The last character is any one, of one to three bytes: "º", "‰".
        static constexpr std::string_view kLast[] = {"x", "\xC2\xBA", "\xE2\x80\xB0"};
        return t + std::string(rng() % 8 ? "%" : kLast[rng() % std::size(kLast)]);
    }
    }
}

// v with the given decimals (at most 6), as a card writes a figure.
std::string fixedText(double v, int decimals)
{
    static constexpr double kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const long long scaled = std::llround(std::abs(v) * kPow10[decimals]);
    std::string digits = DecimalText(scaled);
    const auto point = static_cast<std::size_t>(decimals);
    if (digits.size() <= point)
        digits.insert(0, point + 1 - digits.size(), '0');
    if (point > 0)
        digits.insert(digits.size() - point, ".");
    return (v < 0 && scaled != 0 ? "-" : "") + digits;
}

// A pair of figures, the Early one now and then close to twice the KEL one, whose result is far
// below both.
std::pair<std::string, std::string> randomFigures(std::mt19937_64 &rng)
{
    std::string kel = randomFigure(rng);
    if (rng() % 4 == 0) {
        if (const auto x = PercentNumber(kel)) {
            const double delta = static_cast<double>(rng() % 2000) / 1000.0 - 1.0;
            const int decimals = static_cast<int>(rng() % 7);
            return {kel, fixedText(2 * *x + delta, decimals) + '%'};
        }
    }
    return {kel, randomFigure(rng)};
}

TEST(FinalKelMemo, GivesWhatFinalKelGives)
{
    // A pool of pairs drawn again and again, so that the memo's table fills, hits and is
    // overwritten; among them pairs that differ only in a byte or a length.
    std::mt19937_64 rng(20261207);
    std::vector<std::pair<std::string, std::string>> pool;
    for (int i = 0; i < 3000; ++i)
        pool.push_back(randomFigures(rng));
    pool.push_back({"97%", "95%"});
    pool.push_back({"97%", "95.%"});
    pool.push_back({"97%", "96%"});
    pool.push_back({std::string("97%\0", 4), "95%"}); // the same bytes as "97%" but for its length
    FinalKelMemo memo;
    for (int i = 0; i < 200000; ++i) {
        const auto &[kel, early] = pool[i % 4 == 0 ? pool.size() - 1 - rng() % 4 : rng() % pool.size()];
        char out[kMaxFinalKelLength];
        ASSERT_EQ(std::string_view(out, memo.put(kel, early, out)), FinalKel(kel, early))
            << "KEL '" << kel << "', Early '" << early << "'";
    }
}

TEST(LoaderFinalKel, EveryPPOfACardMatchesItsFigures)
{
    // Many PPs repeating a few pairs, and pairs that differ only in a byte or a length.
    std::mt19937_64 rng(7);
    std::string card = "R1;A;\r\n";
    const int horses = 20;
    const int pps = 100;
    for (int h = 1; h <= horses; ++h) {
        card += "H;B;\r\n";
        for (int p = 1; p <= pps; ++p) {
            const auto [kel, early] = randomFigures(rng);
            card += ppLine(kel, early);
        }
    }
    RaceStore d = load(card);
    for (int h = 1; h <= horses; ++h)
        for (int p = 1; p <= pps; ++p)
            ASSERT_EQ(d(1, h, p, 5), FinalKel(d(1, h, p, 3), d(1, h, p, 4))) << "horse " << h << ", PP " << p;
}

TEST(PercentNumber, PlainDecimalsOnly)
{
    EXPECT_EQ(PercentNumber("102%"), 102.0);
    EXPECT_EQ(PercentNumber("98.5%"), 98.5);
    EXPECT_EQ(PercentNumber("-5%"), -5.0);
    EXPECT_EQ(PercentNumber(" 97 %"), 97.0);
    EXPECT_EQ(PercentNumber(".5%"), 0.5);
    EXPECT_FALSE(PercentNumber("%"));
    EXPECT_FALSE(PercentNumber("9,5%"));
    EXPECT_FALSE(PercentNumber("1e3%"));
    EXPECT_FALSE(PercentNumber("inf%"));
    EXPECT_FALSE(PercentNumber("--%"));
    EXPECT_FALSE(PercentNumber("."
                               "%"));
    EXPECT_FALSE(PercentNumber(repeat("9", 400) + "%"));
    // The last character goes whole: "º", "‰", a horse of four bytes; a stray byte is a character of its own.
    EXPECT_EQ(PercentNumber("97\xC2\xBA"), 97.0);
    EXPECT_EQ(PercentNumber("98.5\xE2\x80\xB0"), 98.5);
    EXPECT_EQ(PercentNumber("97\xF0\x9F\x90\x8E"), 97.0);
    EXPECT_EQ(PercentNumber("97\xBA"), 97.0);
    EXPECT_FALSE(PercentNumber("97\xC2\xBA\xBA"));
}

TEST(GeneralNumber, WritesWhatPrintfWritesInTheCLocale)
{
    // Each form: fixed, rounding into and out of the exponent form (ties to even), exponents of
    // two and three digits; -0 as 0.
    static const std::pair<double, std::string_view> kCases[] = {{-0.0, "0"},
                                                                 {-0.1, "-0.1"},
                                                                 {1.0 / 3, "0.333333333333333"},
                                                                 {123456789012345.6, "123456789012346"},
                                                                 {999999999999999.0, "999999999999999"},
                                                                 {999999999999999.5, "1E+15"},
                                                                 {1000000000000015.0, "1.00000000000002E+15"},
                                                                 {0.00012345, "0.00012345"},
                                                                 {9.999999999999995e-5, "0.0001"},
                                                                 {2.5e-7, "2.5E-07"},
                                                                 {1e100, "1E+100"},
                                                                 {5e-324, "4.94065645841247E-324"}};
    for (const auto &[value, text] : kCases)
        EXPECT_EQ(GeneralNumber(value), text) << text;
    // Any bit pattern, and decimals of a few digits at every scale, against "%.15G".
    const locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t before = ::uselocale(c);
    std::mt19937_64 rng(15);
    for (int i = 0; i < 300000; ++i) {
        double v = static_cast<double>(rng() % 100000) * std::pow(10.0, static_cast<int>(rng() % 40) - 20);
        if (const uint64_t bits = rng(); i % 2)
            std::memcpy(&v, &bits, sizeof v);
        char want[40];
        std::snprintf(want, sizeof want, "%.15G", v);
        ASSERT_TRUE(!std::isfinite(v) || v == 0 || GeneralNumber(v) == want) << want;
    }
    ::uselocale(before);
    ::freelocale(c);
}

TEST(PercentNumber, ReadsLikeCorrectRounding)
{
    // Short numbers take a short-cut; it must give the correctly rounded double, as ReadFixed does.
    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        std::string t = std::to_string(rng() % 1000000000000000000ull);
        t.resize(1 + rng() % t.size());
        if (rng() % 4)
            t.insert(rng() % (t.size() + 1), ".");
        const auto got = PlainNumber(t);
        ASSERT_TRUE(got) << t;
        double want = 0;
        ReadFixed(t.data(), t.data() + t.size(), want);
        ASSERT_EQ(*got, want) << t;
    }
}

TEST(LoaderNotes, LinesNoPageShowsAreListedApartFromWhatWasDropped)
{
    LoadReport report;
    load("H0;B;\r\n"                           // 1: horse before any race
             + ppLine("97%", "95%")            // 2: its PP, under race 0
             + "R1;A;\r\n"                     // 3
             + ppLine("90%", "----")           // 4: PP before any horse of the race
             + "no tag at all\r\n"             // 5
             + "\r\n"                          // 6: empty, not listed
             + "R2;A\r\n"                      // 7: tag without its ";"
             + "x;" + repeat("Z", 30) + "\r\n" // 8: a long last field, cut in the note
             + "H1;B;\r\n",                    // 9
         &report);
    const std::pair<int, std::string> kExpected[] = {
        {1, "horse line before any race line"},
        {2, "past performance line before any race line"},
        {4, "past performance line before any horse line"},
        {5, "no \";\""},
        {7, "last field \"A\" is not a record tag"},
        {8, "last field \"" + repeat("Z", 20) + "...\""},
    };
    ASSERT_EQ(report.skipped.size(), std::size(kExpected));
    EXPECT_EQ(report.skippedCount, std::size(kExpected));
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        EXPECT_EQ(report.skipped[i].line, kExpected[i].first);
        EXPECT_NE(report.skipped[i].what.find(kExpected[i].second), std::string::npos) << report.skipped[i].what;
    }
    EXPECT_TRUE(report.dropped.empty()); // what the open command shows is unchanged
}

TEST(LoaderCapacity, RecordsBeyondTheStoreAreSkippedWithTheirChildren)
{
    std::string card;
    for (int r = 1; r <= 42; ++r)
        card += "R" + std::to_string(r) + ";A;\r\n";
    card += "Late;B;\r\n" + ppLine("90%", "90%");
    LoadReport report;
    RaceStore d = load(card, &report);
    EXPECT_EQ(d(41, 0, 0, 1), "R41");
    // The horse and PP of race 42 must not land in race 41.
    EXPECT_EQ(d(41, 1, 0, 1), "");
    EXPECT_EQ(d(41, 1, 1, 3), "");
    ASSERT_EQ(report.dropped.size(), 3u);
    EXPECT_EQ(report.dropped[0].line, 42);
    EXPECT_EQ(report.droppedCount, 3u);
}

TEST(LoaderCapacity, TwentySecondHorseAndHundredFirstPP)
{
    std::string card = "R1;A;\r\n";
    for (int h = 1; h <= 22; ++h)
        card += "H" + std::to_string(h) + ";B;\r\n" + ppLine("90%", "90%");
    card += "R2;A;\r\nH1;B;\r\n";
    for (int p = 1; p <= 101; ++p)
        card += ppLine(std::to_string(p) + "%", "----");
    LoadReport report;
    RaceStore d = load(card, &report);
    EXPECT_EQ(d(1, 21, 0, 1), "H21");
    EXPECT_EQ(d(1, 21, 1, 3), "90%");
    EXPECT_EQ(d(2, 0, 0, 1), "R2");
    EXPECT_EQ(d(2, 1, 100, 3), "100%");
    ASSERT_EQ(report.dropped.size(), 3u); // horse 22, its PP, and PP 101
    EXPECT_EQ(report.dropped[0].line, 1 + 2 * 21 + 1);
}

TEST(LoaderCapacity, SurplusFieldsAreDroppedAndTheRestKept)
{
    std::string race;
    for (int i = 1; i <= 20; ++i)
        race += "r" + std::to_string(i) + ";";
    std::string horse;
    for (int i = 1; i <= 16; ++i)
        horse += "h" + std::to_string(i) + ";";
    // PP lines of 17, 18 and 19 fields: only the last one is over.
    std::string pps;
    for (int fields = 17; fields <= 19; ++fields)
        pps += repeat("p;", fields - 1) + "C;\r\n";
    LoadReport report;
    RaceStore d = load(race + "A;\r\n" + horse + "B;\r\n" + pps, &report);
    EXPECT_EQ(d(1, 0, 0, 17), "r17");
    EXPECT_EQ(d(1, 0, 0, 18), "");
    EXPECT_EQ(d(1, 1, 0, 18), "h14");
    EXPECT_EQ(d(1, 1, 3, 16), "p");
    ASSERT_EQ(report.dropped.size(), 3u);
    EXPECT_NE(report.dropped[0].what.find("20 fields"), std::string::npos);
    EXPECT_EQ(report.dropped[2].line, 5);
}

TEST(LoaderCapacity, AHundredThousandFieldsAndAHugeLine)
{
    std::string line = repeat("x;", 100000) + "C;\r\n";
    LoadReport report;
    RaceStore d = load("R1;A;\r\nH;B;\r\n" + line + std::string(10 << 20, 'z') + "\r\n", &report);
    EXPECT_EQ(d(1, 1, 1, 12), "x");
    EXPECT_EQ(report.dropped.size(), 1u);
}

struct ReadCardFileTest : testing::CardDirTest
{
    ReadCardFileTest() : CardDirTest("kel_read_card_") {}
};

TEST_F(ReadCardFileTest, ReportsTheFileAndTheReason)
{
    const std::string missing = ReadCardFile("/nonexistent/dir/card.kel").error().message;
    EXPECT_NE(missing.find("/nonexistent/dir/card.kel"), std::string::npos);
    EXPECT_NE(missing.find("No such file"), std::string::npos);

    const auto dir = m_dir / "folder.kel";
    std::filesystem::create_directories(dir);
    EXPECT_NE(ReadCardFile(dir.string()).error().message.find("directory"), std::string::npos);

    auto bytes = ReadCardFile(write("card.kel", "R1;A;\r\n"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->view(), "R1;A;\r\n");
    RaceStore d;
    LoadCard(std::move(*bytes), d);
    EXPECT_EQ(d(1, 0, 0, 1), "R1");
}

} // namespace
} // namespace kel
