// kelsoft-report --check end to end: a card with one fault of each kind, and clean cards.
#include <gtest/gtest.h>

#include "tests/support/card_dir.h"

#include "tool_run.h"

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

class CardCheck : public kel::testing::CardDirTest
{
protected:
    CardCheck() : CardDirTest("kel_cli_check_") {}
};

// A PP line with the fields a check reads; the others are plain.
std::string pp(std::string pos = "1\xBA 120", std::string dist = "6F", std::string purse = "25K",
               std::string date = "01/02/25", std::string kel = "97%", std::string early = "95%",
               std::string cond = "d-f", std::string track = "AQU")
{
    return "O;" + pos + ";1;" + dist + ";1:10;" + cond + ";" + purse + ";3;J;1-2;" + date + ";" + track + ";" + kel
           + ";x;" + early + ";C;\r\n";
}

TEST_F(CardCheck, ListsEachFaultWithItsLineAndExitsOne)
{
    std::string fields;
    for (int i = 0; i < 16; ++i)
        fields += "f;";
    const std::string card
        = write("faults.kel",
                "1;Early;120;x;B;\r\nR1;Main;A;\r\n1;Alpha;120;x;" + fields + "B;\r\n" + pp() // line 4 is clean
                    + pp("1 120", "6F", "25K", "1/2/2025", "97", "abc%", "D-sy")
                    + pp("X\xBA", "6 furlongs", "$25,000", "01/02/25", "-5%", "----")
                    // 2 x 1E308 overflows; a P record's distance "7F" is a text, and its purse is never read.
                    + pp("2\xBA", "7F", "x", "01/02/25", "1" + std::string(308, '0') + "%", "95%", "P")
                    + pp("1\xBA", "6F", "25K", "", "") + pp("1\xBA", "6F", "25K", "01/02/25", "97%", "95%", "d-f", "")
                    + pp("after the PP without track: not read")
                    + ";Nameless;120;x;B;\r\n"
                    // A field empty in the middle of a line hides the fields after it.
                    + "R2;Second;;6F;A;\r\n1;;120;x;d;J;;B;\r\n"
                    // Control characters are shown by their code, and a long text is cut.
                    + pp("1\xBA", "6F", "25K", "\x1B[2J" + std::string(50, 'z'))
                    + "O;1\xBA 120;1;6F;1:10;d-f;25K;;J;1-2;01/02/25;AQU;97%;x;95%;C;\r\n2;Last;120;x;d;;T;B;\r\n"
                    + ";Third;A;\r\n" + pp() + "no tag here\r\nx;\x1B[2Jb;\r\n");
    const ToolRun r = runReportTool("--check " + card, m_dir);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    // The listing, each line after "CARD:".
    std::istringstream expected(R"(1: horse line before any race line: filed under race 0, which no page shows
3: horse line with 20 fields before its tag; only 14 are kept, the rest were dropped
5: date (field 11) "1/2/2025" is not mm/dd/yy: the Settings filter reads month 1, day 0, year 25
5: field 13 (KEL) "97" does not end in "%": its last character is dropped, so it reads as 9%
5: field 15 (Early KEL) "abc%" is not a figure such as 97%: the PP counts for no Early and no Final rating
5: position (field 2) "1 120" does not start with a place such as 1º: the record counts this PP as a start only
5: track condition (field 6) "D-sy" does not start with d (dirt), t (turf) or P: "Dirt races" and "Turf races" never leave this PP out
5: track condition (field 6) "D-sy" has the code "sy", in neither group: "Fast, good surface races" and "Muddy, sloopy surface races" never leave this PP out
6: field 13 (KEL) "-5%" is not a figure such as 97%: the PP counts for no Qualy and no Final rating
6: position (field 2) "Xº" does not start with a place such as 1º: the record counts this PP as a start only
6: purse (field 7) "$25,000" is not a number followed by K or M: the Settings filter never leaves this PP out for its purse
6: distance (field 4) "6 furlongs" is not in furlongs (F), miles (M) or miles and yards (Y): the Settings filter never leaves this PP out for its distance
7: Final KEL is "----" although KEL and Early KEL are figures: 2 x KEL - Early is too large
7: distance (field 4) "7F" of a P record is read as a text, above every number: "Go!" leaves this PP out whenever the upper distance limit is a number
8: PP line without a date (field 11): the PP page and the printout end before this PP
8: field 13 (KEL) is empty: the Qualy rating ends before this PP, so the horse's later PPs count for nothing in it
9: PP line without a track (field 12): the ratings, the record and the filter end before this PP
11: horse line without a number (field 1): the race's horses end before this one
12: race line with field 3 empty: the race list and the race's title end there, leaving out field 4
13: horse line with field 2 empty: the horses page ends the horse's row there, leaving out the record, the ratings, "% W" and fields 3, 5 and 6
14: date (field 11) "\x1B[2Jzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz..." is not mm/dd/yy: the Settings filter reads month 0, day 0, year 0
15: PP line with field 8 empty: the PP page ends the PP's row there, leaving out field 3
16: horse line with field 6 empty: the horses page ends the horse's row there, leaving out field 7
17: race line without a first field: the race list ends before this race
18: past performance line before any horse line of its race: filed under horse 0, which no page shows
19: line skipped: it has no ";", so no record tag (A;, B; or C;)
20: line skipped: its last field "\x1B[2Jb;" is not a record tag (A;, B; or C;)
)");
    std::string listing;
    for (std::string line; std::getline(expected, line);)
        listing += card + ":" + line + "\n";
    EXPECT_EQ(r.out, listing);
}

// File, Open lists names ending in ".kel" in any letter case, hidden ones left out, and opens
// those of at most 14 characters: the check says so of the others, with no line.
TEST_F(CardCheck, NamesTheWindowDoesNotListOrOpenAreListed)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"CARD.KEL", {}},
        {"caf\xC3\xA9"
         "card12.kel",
         {}}, // 14 characters, 15 bytes
        {"averylongname.kel",
         {"the name \"averylongname.kel\" has 17 characters: File, Open refuses a name longer than 14 with "
          "\"error TX1\""}},
        {"card.txt", {"the name \"card.txt\" does not end in \".kel\": File, Open does not list it"}},
        {".hidden.kel", {"the name \".hidden.kel\" starts with \".\": File, Open lists no hidden file"}},
    };
    for (const auto &[name, notes] : cases) {
        const std::string card = write(name, "R1;A;\r\n");
        const ToolRun r = runReportTool("--check '" + card + "'", m_dir);
        std::string listing;
        for (const std::string &n : notes)
            listing += card + ": " + n + "\n";
        EXPECT_EQ(r.out, listing) << name;
        EXPECT_EQ(r.status, notes.empty() ? 0 : 1) << name;
    }
}

TEST_F(CardCheck, CleanCardsListNothingAndExitZero)
{
    for (const char *sample : {"small.kel", "bigfield.kel"}) {
        const ToolRun r = runReportTool(std::string("--check ") + KEL_SOURCE_DIR + "/samples/" + sample, m_dir);
        EXPECT_EQ(r.status, 0) << sample << r.out;
        EXPECT_EQ(r.out, "") << sample;
    }
    // A card saved as UTF-8 with a byte-order mark, LF and lone CR line ends: the lines count alike.
    const std::string card
        = write("marked.kel", "\xEF\xBB\xBFR1;A;\n1;H;120;x;B;\r" + pp("1\xC2\xBA", "6F", "25K", "01/02/25", "97"));
    const ToolRun r = runReportTool("--check -o " + (m_dir / "list.txt").string() + " " + card, m_dir);
    EXPECT_EQ(r.status, 1);
    std::ifstream in(m_dir / "list.txt");
    std::string listed;
    std::getline(in, listed);
    EXPECT_EQ(
        listed,
        card + ":3: field 13 (KEL) \"97\" does not end in \"%\": its last character is dropped, so it reads as 9%");
}

} // namespace
