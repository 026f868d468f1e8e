// Texts are counted, cut and checked by characters: a well-formed sequence is one character,
// every other byte one of its own.
#include "store/utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace kel {
namespace {

TEST(Utf8, CharactersAreWellFormedSequencesAndEveryOtherByteIsOne)
{
    const struct
    {
        const char *text;
        std::size_t chars;
        char32_t first; // the code of the first character
        const char *dropLast;
        bool valid;
    } cases[] = {
        {"ab", 2, 'a', "a", true},
        {"\xC2\xBA%", 2, 0xBA, "\xC2\xBA", true},           // two bytes
        {"\xE2\x80\xB0%", 2, 0x2030, "\xE2\x80\xB0", true}, // three
        {"\xF0\x9F\x90\x8E", 1, 0x1F40E, "", true},         // four, dropped whole
        {"97\xF0\x9F\x90\x8E", 3, '9', "97", true},         // dropped whole after others
        {"\xC0\xAF", 2, 0xC0, "\xC0", false},               // overlong lead bytes start nothing
        {"\xC1\xBF", 2, 0xC1, "\xC1", false},
        {"\xF5\x80\x80\x80", 4, 0xF5, "\xF5\x80\x80", false},            // no lead byte at all
        {"\xE2\x80", 2, 0xE2, "\xE2", false},                            // cut short
        {"a\xBA\xBA", 3, 'a', "a\xBA", false},                           // stray continuation bytes
        {"\xF0\x9F\x90\x8E\x8E", 2, 0x1F40E, "\xF0\x9F\x90\x8E", false}, // one too many
    };
    for (const auto &c : cases) {
        const std::string_view s = c.text;
        EXPECT_EQ(Utf8Count(s), c.chars) << s;
        std::size_t i = 0;
        EXPECT_EQ(Utf8Next(s, i), c.first) << s;
        EXPECT_EQ(Utf8Left(s, 1).size(), i) << s;
        EXPECT_EQ(Utf8DropLast(s), c.dropLast) << s;
        EXPECT_EQ(Utf8Valid(s), c.valid) << s;
    }
    EXPECT_EQ(Utf8DropLast(""), "");
    EXPECT_TRUE(Utf8Valid(""));
    // Sequences of the right shape that are still no UTF-8: overlong forms, UTF-16 surrogates,
    // code points past U+10FFFF.
    for (const char *text : {"\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(Utf8Valid(text)) << text;
    for (const char *text : {"\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(Utf8Valid(text)) << text;
}

} // namespace
} // namespace kel
