#include "store/line_scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>

#include "tests/support/card_lines.h"
#include "tests/support/scan_lines.h"

namespace kel {
namespace {

using kel::testing::LineSeen;
using kel::testing::randomCardBytes;
using kel::testing::repeat;
using kel::testing::scanLines;

// The definition and the width the build opens with (the same where it has no vector scan).
constexpr ScanWidth kWidths[] = {ScanWidth::Plain, kScanWidth};

TEST(LineScanner, FindsLinesSeparatorsAndQuotedFields)
{
    std::vector<std::size_t> many(30);
    std::iota(many.begin(), many.end(), 0);
    many.insert(many.end(), {39, 42});
    const struct
    {
        std::string bytes;
        bool decode;
        std::vector<LineSeen> lines;
    } kCases[] = {
        {"R1;Main;6F;A;\r\n", true, {{1, "R1;Main;6F;A;", 4, {2, 7, 10, 12}, 0}}},
        // Every line end, empty lines counted, the last line without one.
        {"a\r\n\r\nb\nc\rd",
         true,
         {{1, "a", 0, {}, 0}, {2, "", 0, {}, 0}, {3, "b", 0, {}, 0}, {4, "c", 0, {}, 0}, {5, "d", 0, {}, 0}}},
        {"\n\r", true, {{1, "", 0, {}, 0}, {2, "", 0, {}, 0}}},
        // Places count the decoded bytes; undecoded bytes are copied as they are.
        {"1\xBA;x", true, {{1, "1\xC2\xBA;x", 1, {3}, 0}}},
        {"1\xBA;x", false, {{1, "1\xBA;x", 1, {2}, 0}}},
        // A quote starts a field only first in the line or after a ";".
        {"\"a\";b\"c;\"d;\xBA\"", true, {{1, "\"a\";b\"c;\"d;\xC2\xBA\"", 3, {3, 7, 10}, 0b101}}},
        // Past 32 separators the first 30 are kept and the last two, and no quote is noted.
        {repeat(";", 40) + "\"C;", true, {{1, repeat(";", 40) + "\"C;", 41, many, 0}}},
        {"", true, {}},
    };
    for (const auto &c : kCases)
        for (const ScanWidth width : kWidths)
            EXPECT_EQ(scanLines(c.bytes, c.decode, width), c.lines)
                << "'" << c.bytes << "', width " << static_cast<int>(width);
}

// Bytes of any value, mostly those the scan looks for.
std::string hostileBytes(std::mt19937_64 &rng)
{
    static constexpr std::string_view kLikely = ";;;\"\r\n\xBA\x80\x81\xFF";
    std::string s(rng() % 300, '\0');
    for (char &c : s)
        c = rng() % 2 ? kLikely[rng() % kLikely.size()] : static_cast<char>(rng() % 256);
    return s;
}

// Every width reads what the plain scan reads. The text written over the bytes, with any front
// room, none included, is the text of a copy: with too little room it catches up with the bytes
// and goes on in a buffer of its own. High bytes grow the most (three bytes each).
TEST(LineScanner, EveryWidthAndEveryFrontRoomReadWhatThePlainScanReads)
{
    std::mt19937_64 rng(3);
    for (int i = 0; i < 400; ++i) {
        std::string bytes = i % 3 ? randomCardBytes(rng) : hostileBytes(rng);
        if (i % 20 == 0)
            bytes += repeat("\x80\x81;", 3000) + "C;\r\n";
        const std::size_t front = i % 4 == 1 ? 0 : rng() % (bytes.size() / 8 + 200);
        for (const bool decode : {true, false}) {
            const std::vector<LineSeen> plain = scanLines(bytes, decode, ScanWidth::Plain);
            for (const ScanWidth width : kWidths) {
                const auto at = ::testing::Message() << "bytes " << i << ", width " << static_cast<int>(width)
                                                     << (decode ? ", decoded" : "") << ", front " << front;
                ASSERT_EQ(scanLines(bytes, decode, width), plain) << at;
                if (!decode)
                    continue;
                TextBuffer buffer;
                buffer.reserveWithFront(front, bytes.size());
                std::memcpy(buffer.data(), bytes.data(), bytes.size());
                buffer.setSize(bytes.size());
                ASSERT_EQ(scanLines(buffer.view(), true, width, &buffer), plain) << at;
            }
        }
    }
}

} // namespace
} // namespace kel
