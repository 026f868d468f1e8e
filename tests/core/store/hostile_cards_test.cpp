// Files a card can turn out to be: cut short, edited by hand, saved in another encoding, not a
// card at all, or not a readable file. Each is read from disk as the open command reads it.
#include <gtest/gtest.h>

#include "tests/support/card_dir.h"
#include "tests/support/card_lines.h"
#include "tests/support/lease_holder.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "store/loader.h"

namespace kel {
namespace {

using kel::testing::ppLine;
using kel::testing::repeat;

namespace fs = std::filesystem;

int races(const RaceStore &d)
{
    int r = 0;
    while (r < RaceStore::kMaxRace && !d(r + 1, 0, 0, 1).empty())
        ++r;
    return r;
}

int horses(const RaceStore &d, int r)
{
    int h = 0;
    while (h < RaceStore::kMaxHorse && !d(r, h + 1, 0, 1).empty())
        ++h;
    return h;
}

int pps(const RaceStore &d, int r, int h)
{
    int p = 0;
    while (p < RaceStore::kMaxPP && !d(r, h, p + 1, 1).empty())
        ++p;
    return p;
}

bool validUtf8(std::string_view t)
{
    for (std::size_t i = 0; i < t.size();) {
        const auto c = static_cast<unsigned char>(t[i]);
        const std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (len == 0 || i + len > t.size())
            return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

class HostileCard : public kel::testing::CardDirTest
{
protected:
    HostileCard() : CardDirTest("kel_hostile_") {}

    // What the open command gets: the file read from disk and loaded, or the reason it was not.
    bool open(const std::string &path)
    {
        error.clear();
        Result<TextBuffer> bytes = ReadCardFile(path);
        if (!bytes) {
            error = bytes.error().message;
            return false;
        }
        lines = RecordLines();
        report = LoadCard(std::move(*bytes), data, &lines);
        return true;
    }
    bool openBytes(const std::string &bytes) { return open(write("card.kel", bytes)); }

    RaceStore data;
    LoadReport report;
    RecordLines lines;
    std::string error;
};

TEST_F(HostileCard, EmptyFileAndLineEndsOnlyGiveAnEmptyCard)
{
    ASSERT_TRUE(openBytes(""));
    EXPECT_EQ(races(data), 0);
    EXPECT_EQ(report.lines, 0);

    ASSERT_TRUE(openBytes("\r\n\r\n\n\n\r\r\r\n"));
    EXPECT_EQ(races(data), 0);
    EXPECT_EQ(data.recordCount(), 0u);
    EXPECT_EQ(report.droppedCount, 0u);
}

// The line each record was filed from, counted as the loader counts them: every line end, an
// empty line too, but not a byte-order mark; 0 for a record no line filed.
TEST_F(HostileCard, RecordLinesAreTheLinesTheRecordsCameFrom)
{
    const struct
    {
        std::string bytes;
        std::vector<std::array<int, 4>> lines; // race, horse, PP, line
    } cases[] = {
        // CR LF, LF, a lone CR, empty lines, a skipped line and a line end in the last line.
        {"R1;A;\r\n\n1;H;B;\rno tag\r\n" + ppLine("97%", "95%") + "\r\r\nR2;A;\n1;H;B;",
         {{1, 0, 0, 1}, {1, 1, 0, 3}, {1, 1, 1, 5}, {2, 0, 0, 8}, {2, 1, 0, 9}, {1, 1, 2, 0}, {2, 2, 0, 0}}},
        // A byte-order mark is no line; a horse before any race is filed under race 0.
        {"\xEF\xBB\xBF"
         "1;Early;B;\r\nR1;A;\r\n"
             + ppLine("97%", "95%") + "1;H;B;\r\n",
         {{0, 1, 0, 1}, {1, 0, 0, 2}, {1, 0, 1, 3}, {1, 1, 0, 4}}},
        // The 22nd horse is not filed; the next race's line still is.
        {"R1;A;\r\n" + repeat("1;H;B;\r\n", 22) + "R2;A;\r\n", {{1, 21, 0, 22}, {1, 22, 0, 0}, {2, 0, 0, 24}}},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(openBytes(c.bytes));
        for (const auto &[r, h, p, line] : c.lines)
            EXPECT_EQ(lines(r, h, p), line) << r << ":" << h << ":" << p << " in " << c.bytes.substr(0, 40);
    }
}

TEST_F(HostileCard, NulBytesStayInsideTheirFieldsAndSpoilNoFigure)
{
    const std::string card = std::string("R\0"
                                         "1;Main;A;\r\n",
                                         12)
                             + std::string("1;N\0L;B;\r\n", 10)
                             + ppLine(std::string("9\0"
                                                  "7%",
                                                  4),
                                      "95%")
                             + ppLine("97%", std::string("9\0"
                                                         "5%",
                                                         4))
                             + std::string("R2;\0A;\r\n", 8);
    ASSERT_TRUE(openBytes(card));
    EXPECT_EQ(data(1, 0, 0, 1), std::string_view("R\0"
                                                 "1",
                                                 3));
    EXPECT_EQ(data(1, 1, 0, 2), std::string_view("N\0L", 3));
    // A NUL inside a figure makes it no figure, so no Final KEL is made from it.
    EXPECT_EQ(data(1, 1, 1, 5), "----");
    EXPECT_EQ(data(1, 1, 2, 5), "----");
    // "\0A;" is not the race tag.
    EXPECT_EQ(races(data), 1);
}

TEST_F(HostileCard, Utf8ByteOrderMarkIsDroppedAndTheTextKept)
{
    // Saved as UTF-8 by an editor: "º" is C2 BA and must come through as one "º", not "Âº".
    ASSERT_TRUE(
        openBytes("\xEF\xBB\xBFR1;Caf\xC3\xA9;A;\r\n1;Horse;B;\r\n" + ppLine("97%", "95%", "1\xC2\xBA 120 (2)")));
    EXPECT_EQ(data(1, 0, 0, 1), "R1");
    EXPECT_EQ(data(1, 0, 0, 2), "Caf\xC3\xA9");
    EXPECT_EQ(data(1, 1, 1, 6), "1\xC2\xBA 120 (2)");
    EXPECT_EQ(data(1, 1, 1, 5), "99%");

    // A mark in front of text that is not UTF-8 (only the race's field makes it so): the mark
    // goes, the rest is decoded as Windows-1252. Sequences of UTF-8's shape that it forbids
    // count as not UTF-8.
    const struct
    {
        const char *field;
        const char *stored;
    } notUtf8[] = {
        {"1\xBA", "1\xC2\xBA"},
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                 // a UTF-16 surrogate
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                 // an overlong "/"
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"}, // past U+10FFFF
    };
    for (const auto &c : notUtf8) {
        ASSERT_TRUE(openBytes(std::string("\xEF\xBB\xBFR1;") + c.field + ";A;\r\n1;Horse;B;\r\n"
                              + ppLine("97%", "95%", "1\xC2\xBA")));
        EXPECT_EQ(data(1, 0, 0, 1), "R1");
        EXPECT_EQ(data(1, 0, 0, 2), std::string_view(c.stored));
        EXPECT_EQ(data(1, 1, 1, 6), "1\xC3\x82\xC2\xBA"); // its UTF-8 "º" decoded again
    }
}

TEST_F(HostileCard, BytesThatAreNotTextGiveValidTextsWithinCapacity)
{
    std::string noise(256 * 1024, '\0');
    uint32_t x = 12345;
    for (char &c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    // Sprinkle tags so that some lines are filed.
    for (std::size_t i = 100; i + 4 < noise.size(); i += 997)
        noise.replace(i, 4, i % 3 == 0 ? "A;\r\n" : i % 3 == 1 ? "B;\r\n" : "C;\r\n");
    ASSERT_TRUE(openBytes(noise));
    EXPECT_GT(report.lines, 200);
    EXPECT_LE(races(data), RaceStore::kMaxRace);
    for (int r = 0; r <= RaceStore::kMaxRace; ++r)
        for (int h = 0; h <= RaceStore::kMaxHorse; ++h)
            for (int s = 0; s <= RaceStore::kMaxSlot; ++s)
                ASSERT_TRUE(validUtf8(data(r, h, 0, s))) << r << "," << h << "," << s;
}

TEST_F(HostileCard, TenMegabyteLineAndHundredThousandFields)
{
    const std::string huge(10 << 20, 'x');
    ASSERT_TRUE(openBytes("R1;" + huge + ";A;\r\n" + huge + "\r\n" + repeat("h;", 100000) + "B;\r\n"));
    EXPECT_EQ(races(data), 1);
    EXPECT_EQ(data(1, 0, 0, 2).size(), huge.size());
    // The tagless line is skipped; the horse keeps its first 14 fields and the rest is noted.
    EXPECT_EQ(data(1, 1, 0, 18), "h");
    ASSERT_EQ(report.dropped.size(), 1u);
    EXPECT_EQ(report.dropped[0].line, 3);
    EXPECT_NE(report.dropped[0].what.find("100000 fields"), std::string::npos) << report.dropped[0].what;
}

TEST_F(HostileCard, SixtyRacesThirtyHorsesAndHundredFiftyPPsFillTheStoreAndSaySo)
{
    std::string card;
    for (int r = 1; r <= 60; ++r) {
        card += "R" + std::to_string(r) + ";A;\r\n";
        const int n = r == 1 ? 30 : 1;
        for (int h = 1; h <= n; ++h) {
            card += std::to_string(h) + ";H;B;\r\n";
            const int m = r == 1 && h == 1 ? 150 : 1;
            for (int p = 1; p <= m; ++p)
                card += ppLine(std::to_string(p) + "%", "----");
        }
    }
    ASSERT_TRUE(openBytes(card));
    EXPECT_EQ(races(data), 41);
    EXPECT_EQ(horses(data, 1), 21);
    EXPECT_EQ(pps(data, 1, 1), 100);
    EXPECT_EQ(data(1, 1, 100, 3), "100%");
    // 50 PPs, 9 horses with a PP each, and 19 races with a horse and a PP each.
    EXPECT_EQ(report.droppedCount, 50u + 9 * 2 + 19 * 3);
    std::string notes;
    for (const LoadNote &n : report.dropped)
        notes += n.what + "\n";
    EXPECT_NE(notes.find("at most 100"), std::string::npos);
    EXPECT_NE(notes.find("at most 21 horses"), std::string::npos);
    EXPECT_NE(notes.find("at most 41 races"), std::string::npos);
}

TEST_F(HostileCard, LowerCaseTagsAndBlanksAfterTheSemicolonAreNotRecords)
{
    ASSERT_TRUE(openBytes("r0;lower;a;\r\nR0;blank; A;\r\nR0;trailing;A; \r\nR1;Main;A;\r\n"
                          "0;lower;b;\r\n0;blank; B;\r\n1;Real;B;\r\n"
                          + ppLine("90%", "90%").replace(ppLine("90%", "90%").size() - 4, 2, "c;")
                          + ppLine("91%", "91%")));
    EXPECT_EQ(races(data), 1);
    EXPECT_EQ(data(1, 0, 0, 1), "R1");
    EXPECT_EQ(horses(data, 1), 1);
    EXPECT_EQ(data(1, 1, 0, 2), "Real");
    // Skipped lines move no counter: the real PP is PP 1.
    EXPECT_EQ(data(1, 1, 1, 3), "91%");
    EXPECT_EQ(pps(data, 1, 1), 1);
}

TEST_F(HostileCard, FiguresThatAreNotNumbersGiveNoFinalFigure)
{
    std::string card = "R1;A;\r\n1;H;B;\r\n";
    for (const char *kel : {"%", "abc%", "1e400%", "NaN%", "-5%"})
        card += ppLine(kel, "95%");
    card += ppLine("97%", "abc%");
    ASSERT_TRUE(openBytes(card));
    EXPECT_EQ(data(1, 1, 1, 3), "%");
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(data(1, 1, p, 5), "----") << data(1, 1, p, 3);
    // A negative figure is a number like any other: 2 * -5 - 95.
    EXPECT_EQ(data(1, 1, 5, 5), "-105%");
    EXPECT_EQ(data(1, 1, 6, 5), "----");
}

TEST_F(HostileCard, DirectoryPipeAndMissingFileAreRefusedWithTheReason)
{
    const fs::path dir = m_dir / "race.kel";
    fs::create_directories(dir);
    EXPECT_FALSE(open(dir.string()));
    EXPECT_NE(error.find("it is a directory"), std::string::npos) << error;

#ifndef __EMSCRIPTEN__ // node's file system has no named pipes
    // A pipe would block the open until someone writes to it.
    const fs::path fifo = m_dir / "pipe.kel";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(open(fifo.string()));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
#endif

    // Listed, then removed before Open.
    const std::string gone = write("gone.kel", "R1;A;\r\n");
    fs::remove(gone);
    EXPECT_FALSE(open(gone));
    EXPECT_NE(error.find(gone), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    // A path through a file: even root cannot open it.
    const std::string file = write("flat.kel", "R1;A;\r\n");
    EXPECT_FALSE(open(file + "/inner.kel"));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
}

TEST_F(HostileCard, NothingThatWouldWaitIsOpened)
{
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "no leases and named pipes under node";
#endif
    const std::string card = write("swap.kel", "R1;A;\r\n");
    {
        const kel::testing::LeaseHolder holder(card); // a plain open would wait 45 s
        ASSERT_TRUE(holder.holding);
        EXPECT_FALSE(open(card));
        EXPECT_EQ(error, "cannot read " + card + ": reading it would keep the program waiting");
    }
    // A pipe and a card renamed over the name in turn while it is opened: the card, or the
    // pipe refused, at once.
    std::atomic<bool> stop = false;
    std::thread swapper([&] {
        for (int i = 0; !stop; ++i) {
            const fs::path next = m_dir / "next";
            if (i % 2)
                ::mkfifo(next.c_str(), 0644);
            else
                std::ofstream(next) << "R1;A;\r\n";
            std::error_code ec;
            fs::rename(next, card, ec);
        }
    });
    for (int i = 0; i < 2000; ++i)
        EXPECT_TRUE(open(card) || error.find("not a regular file") != std::string::npos) << error;
    stop = true;
    swapper.join();
}

TEST_F(HostileCard, FileLargerThanTheLargestCardIsRefusedWithTheReason)
{
    // Sparse: no disk is used, and nothing is read.
    const std::string big = write("big.kel", "R1;A;\r\n");
    fs::resize_file(big, kMaxCardBytes + 1);
    data.set(1, 0, 0, 1, "before");
    EXPECT_FALSE(open(big));
    EXPECT_EQ(error, "cannot read " + big + ": the file is larger than 64 MB, too large for a race card");
    EXPECT_EQ(data(1, 0, 0, 1), "before");
    // A file of the limit is a card.
    fs::resize_file(big, kMaxCardBytes);
    EXPECT_TRUE(open(big)) << error;
}

TEST_F(HostileCard, FileWithoutReadPermissionIsRefusedWithTheReason)
{
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "no fork under node";
#endif
    const std::string path = write("locked.kel", "R1;A;\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(open(path));
        EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
        return;
    }
    // Root reads anything: read as nobody instead, in a child so that this process keeps root.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const Result<TextBuffer> read = ReadCardFile(path);
        ::_exit(read ? 1 : read.error().message.find("Permission denied") != std::string::npos ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "running as root without the right to become nobody: cannot take the permission away";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the file was read, 2: another reason was given";
}

} // namespace
} // namespace kel
