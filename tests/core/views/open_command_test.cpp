#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "views/commands.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// Two races; the first has two horses with two PPs each (KEL and Early KEL figures), the
// second one horse without PPs.
constexpr std::string_view kCard = "R1;Main;6F;Dirt;Clm;A;\r\n"
                                   "1;Alpha;120;rec;B;\r\n"
                                   "o;1\xBA 120 (1);1;6F;1:10;d-f;10K;2.5;Smith;1-q;01/02/24;AQU;97%;x;95%;C;\r\n"
                                   "o;2\xBA 120 (2);2;6F;1:11;d-f;10K;3.5;Smith;2-q;01/01/24;AQU;98%;x;97%;C;\r\n"
                                   "2;Beta;118;rec;B;\r\n"
                                   "o;3\xBA 118 (3);3;6F;1:12;d-f;10K;4.5;Jones;3-q;01/02/24;BEL;99%;x;99%;C;\r\n"
                                   "o;4\xBA 118 (4);4;6F;1:13;d-f;10K;5.5;Jones;4-q;01/01/24;BEL;100%;x;99%;C;\r\n"
                                   "R2;Turf;1M;A;\r\n"
                                   "1;Gamma;122;rec;B;\r\n";

class OpenCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("kel_views_open_" + std::to_string(rd()));
        fs::create_directories(m_dir);
        f.setDirectory(m_dir.string());
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    void write(const std::string &name, std::string_view bytes)
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    // Opens a card the way the user does: select it, press Open.
    void open(const std::string &name)
    {
        f.setVisible(Ctl::Fr_Open, true);
        f.setVisible(Ctl::fr_dc, false);
        f.setSelectedFile(name);
        BT_Open_Click(m, f, d);
    }
    // The state a refused open must leave alone.
    struct Snapshot
    {
        std::string race1, horse12, label;
        int rows, page, race;
        bool grid, files;
    };
    Snapshot snapshot()
    {
        return {std::string(m.Data(1, 0, 0, 1)),
                std::string(m.Data(1, 2, 0, 2)),
                f.caption(Ctl::LabelCarreras),
                f.MSF().rows(),
                m.ViewPage,
                m.CurrentRace,
                f.visible(Ctl::fr_dc),
                f.visible(Ctl::Fr_Open)};
    }
    void expectUnchanged(const Snapshot &a)
    {
        const Snapshot b = snapshot();
        EXPECT_EQ(a.race1, b.race1);
        EXPECT_EQ(a.horse12, b.horse12);
        EXPECT_EQ(a.label, b.label);
        EXPECT_EQ(a.rows, b.rows);
        EXPECT_EQ(a.page, b.page);
        EXPECT_EQ(a.race, b.race);
        EXPECT_EQ(a.grid, b.grid);
        EXPECT_EQ(a.files, b.files);
    }
    // A card is shown on its horses page, then File, Open brings up the file frame.
    Snapshot cardShownThenFileOpen()
    {
        write("CARD.kel", kCard);
        open("CARD.kel");
        f.MSF().setRow(0);
        MSF_DblClick(m, f);
        File_Open_Click(m, f);
        d.clearShown();
        return snapshot();
    }

    fs::path m_dir;
    Module1 m;
    MemoryForm f;
    ScriptedDialogs d;
};

TEST_F(OpenCommand, LoadsRatesAndShowsTheRaceList)
{
    write("CARD.kel", kCard);
    m.CurrentRace = 2;
    open("CARD.kel");
    EXPECT_TRUE(d.shown().empty());
    EXPECT_TRUE(f.visible(Ctl::fr_dc));
    EXPECT_FALSE(f.visible(Ctl::Fr_Open));
    EXPECT_EQ(f.focus(), Ctl::MSF);
    EXPECT_TRUE(m.loaded);
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(m.CurrentRace, 0);
    EXPECT_EQ(f.caption(Ctl::LabelCarreras), "CARD.kel");
    ASSERT_EQ(f.MSF().rows(), 2);
    EXPECT_EQ(f.MSF().cell(0, 0), "R1 Main 6F Dirt Clm");
    EXPECT_EQ(f.MSF().cell(1, 0), "R2 Turf 1M");
    EXPECT_EQ(m.Data(1, 1, 1, 5), "99%");
    EXPECT_FALSE(m.Data(1, 1, 0, 5).empty()) << "the three rating runs wrote the labels";
    EXPECT_FALSE(m.Data(1, 1, 0, 8).empty());
}

// File, Open: the card goes before any check. With no name selected the file frame stays; from
// "error TX1" on the grid frame comes back with the rows of the card before, which is gone.
TEST_F(OpenCommand, RefusedOpensEmptyTheStoreFirst)
{
    fs::create_directory(m_dir / "DIR.kel");
    write("ABCDEFGHIJK.kel", kCard); // 15 characters
    const struct
    {
        std::optional<std::string> name;
        std::string message;
        std::string title;
        bool grid;
    } cases[] = {
        {std::nullopt, "Select a kel file in the lower window", "Incomplete entry", false},
        {"ABCDEFGHIJK.kel", "error TX1", "KEL Soft", true},
        {"GONE.kel", "GONE.kel: No such file or directory", "KEL Soft", true}, // listed, then removed
        {"DIR.kel", "DIR.kel: it is a directory", "KEL Soft", true},
    };
    for (const auto &c : cases) {
        const std::string what = c.name.value_or("nothing selected");
        const Snapshot before = cardShownThenFileOpen();
        f.setSelectedFile(c.name);
        BT_Open_Click(m, f, d);
        ASSERT_EQ(d.shown().size(), 1u) << what;
        EXPECT_NE(d.shown()[0].prompt.find(c.message), std::string::npos) << d.shown()[0].prompt;
        EXPECT_EQ(d.shown()[0].title, c.title) << what;
        EXPECT_EQ(d.shown()[0].buttons, MsgButtons::Ok) << what;
        EXPECT_EQ(m.Data(1, 0, 0, 1), "") << what;
        EXPECT_EQ(m.Data(1, 2, 0, 2), "") << what;
        EXPECT_EQ(m.cardPath, "") << what;
        EXPECT_EQ(f.MSF().rows(), before.rows) << what;
        EXPECT_EQ(f.caption(Ctl::LabelCarreras), before.label) << what;
        EXPECT_EQ(m.ViewPage, before.page) << what;
        EXPECT_EQ(f.visible(Ctl::fr_dc), c.grid) << what;
        EXPECT_EQ(f.visible(Ctl::Fr_Open), !c.grid) << what;
    }
    // A page built from the horse rows left shows no PPs, and the horses page no horses.
    ASSERT_EQ(m.ViewPage, 2);
    f.MSF().setRow(1);
    MSF_DblClick(m, f);
    EXPECT_EQ(m.ViewPage, 3);
    EXPECT_EQ(f.MSF().rows(), 1);
    MSF_KeyPress(m, f, 27);
    EXPECT_EQ(m.ViewPage, 2);
    EXPECT_EQ(f.MSF().rows(), 1);

    // Fourteen characters are accepted, counted as characters, not bytes.
    write("ABCDEFGHI\xC3\xB1.kel", kCard);
    d.clearShown();
    open("ABCDEFGHI\xC3\xB1.kel");
    EXPECT_TRUE(d.shown().empty());
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(f.MSF().rows(), 2);

    // A page's file picker hands over the name and the bytes (none: no memory for them), or the
    // card prepared from them, and the open takes the same road; a name File, Open would not list
    // is refused.
    const struct
    {
        std::string name;
        bool bytes;
        std::string message;
    } picked[] = {
        {"", true, "Select a kel file in the lower window"},
        {"ABCDEFGHIJK.kel", true, "error TX1"},
        {"CARD.txt", true, "Cannot read CARD.txt: the name does not end in .kel"},
        {"CARD.kel", false, "Not enough memory to load CARD.kel"},
        {"ABCDEFGHI\xC3\xB1.kel", true, ""},
    };
    for (const bool prepared : {false, true})
        for (const auto &c : picked) {
            cardShownThenFileOpen();
            std::optional<TextBuffer> bytes;
            if (c.bytes) {
                bytes.emplace().reserve(kCard.size());
                std::copy(kCard.begin(), kCard.end(), bytes->data());
                bytes->setSize(kCard.size());
            }
            if (prepared)
                OpenPreparedCard(m, f, d, c.name, bytes ? std::optional(PrepareCard(std::move(*bytes))) : std::nullopt);
            else
                OpenCardBytes(m, f, d, c.name, std::move(bytes));
            ASSERT_EQ(d.shown().size(), c.message.empty() ? 0u : 1u) << c.name;
            if (!c.message.empty()) {
                EXPECT_EQ(d.shown()[0].prompt, c.message);
            }
            EXPECT_EQ(m.cardPath, c.message.empty() ? c.name : "") << c.name;
            EXPECT_EQ(m.Data(1, 0, 0, 1).empty(), !c.message.empty()) << c.name;
            EXPECT_EQ(f.visible(Ctl::fr_dc), !c.name.empty()) << c.name;
        }
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(f.MSF().rows(), 2);
}

// A card named on the command line or dropped: the file the path names, or a message naming it;
// the card on show before keeps its page and its marks.
TEST_F(OpenCommand, ARefusedNamedCardLeavesTheCardOnShow)
{
    fs::create_directory(m_dir / "DIR.kel");
    write("ABCDEFGHIJK.kel", kCard);
    write("notes.txt", kCard);
    write("HUGE.kel", "");
    fs::resize_file(m_dir / "HUGE.kel", std::uintmax_t(65) << 20); // sparse
    const std::string dir = m_dir.string() + "/";
    const std::pair<std::string, std::string> cases[] = {
        {dir + "gone/CARD.kel", "Cannot read " + dir + "gone/CARD.kel: No such file or directory"},
        {dir + "GONE.kel", "Cannot read " + dir + "GONE.kel: No such file or directory"},
        {dir + "ABCDEFGHIJK.kel", "error TX1"},
        {dir + "notes.txt", "Cannot read " + dir + "notes.txt: the name does not end in .kel"},
        {dir + "DIR.kel", "Cannot read " + dir + "DIR.kel: it is a directory"},
        {dir + "HUGE.kel", "Cannot read " + dir + "HUGE.kel: the file is larger than 64 MB, too large for a race card"},
    };
    write("CARD.kel", kCard);
    OpenNamedCard(m, f, d, dir + "CARD.kel");
    f.MSF().setRow(0);
    MSF_DblClick(m, f);
    f.MSF().setRow(2);
    Scratched(m, f);
    ASSERT_EQ(m.Data(1, 2, 1, 0), "S");
    const Snapshot before = snapshot();
    for (const auto &[path, message] : cases) {
        d.clearShown();
        OpenNamedCard(m, f, d, path);
        ASSERT_EQ(d.shown().size(), 1u) << path;
        EXPECT_EQ(d.shown()[0].prompt, message);
        EXPECT_EQ(d.shown()[0].title, "KEL Soft");
        expectUnchanged(before);
        EXPECT_EQ(m.Data(1, 2, 1, 0), "S") << path;
        EXPECT_EQ(m.cardPath, dir + "CARD.kel");
    }

    // With no card on show the file frame comes up, for another choice.
    MSF_KeyPress(m, f, 27);
    MSF_KeyPress(m, f, 27);
    ASSERT_FALSE(f.visible(Ctl::fr_dc));
    OpenNamedCard(m, f, d, dir + "GONE.kel");
    EXPECT_TRUE(f.visible(Ctl::Fr_Open));
    EXPECT_FALSE(f.visible(Ctl::fr_dc));
}

// The path's own bytes: no ".kel" put in place of "KEL", a name that is not UTF-8 as it is. The
// window has the name selected in its folder, for the race list's title.
TEST_F(OpenCommand, ANamedCardIsTheFileThePathNames)
{
    write("BOTH.KEL", kCard);
    write("BOTH.kel", "only;A;\r\n");
    write("\xE9t\xE9.kel", kCard);
    for (const std::string name : {"BOTH.KEL", "\xE9t\xE9.kel"}) {
        d.clearShown();
        f.setSelectedFile(name);
        OpenNamedCard(m, f, d, m_dir.string() + "/" + name);
        EXPECT_TRUE(d.shown().empty()) << name;
        EXPECT_EQ(f.MSF().rows(), 2) << name;
        EXPECT_EQ(f.caption(Ctl::LabelCarreras), name);
        EXPECT_EQ(m.cardPath, m_dir.string() + "/" + name);
        EXPECT_TRUE(f.visible(Ctl::fr_dc));
        EXPECT_FALSE(f.visible(Ctl::Fr_Open));
    }
}

TEST_F(OpenCommand, TheListedFileIsOpenedWhenNoLowerCaseKelSitsBesideIt)
{
    write("UPPER.KEL", kCard);
    open("UPPER.KEL");
    EXPECT_TRUE(d.shown().empty()) << (d.shown().empty() ? "" : d.shown()[0].prompt);
    EXPECT_EQ(f.MSF().rows(), 2);

    // With both present the ".kel" file is the one opened.
    write("BOTH.KEL", kCard);
    write("BOTH.kel", "only;A;\r\n");
    open("BOTH.KEL");
    EXPECT_EQ(f.MSF().rows(), 1);
    EXPECT_EQ(f.MSF().cell(0, 0), "only");
}

TEST_F(OpenCommand, LinesThatDoNotFitAreReportedOnceAndTheRestIsShown)
{
    std::string big;
    for (int r = 1; r <= 45; ++r)
        big += "R" + std::to_string(r) + ";A;\r\n";
    write("BIG.kel", big);
    open("BIG.kel");
    ASSERT_EQ(d.shown().size(), 1u);
    const ShownBox &box = d.shown()[0];
    EXPECT_EQ(box.title, "KEL Soft");
    EXPECT_EQ(box.prompt.rfind("4 lines of BIG.kel", 0), 0u) << box.prompt;
    EXPECT_NE(box.prompt.find("line 42"), std::string::npos) << box.prompt;
    EXPECT_EQ(f.MSF().rows(), 41);
    EXPECT_EQ(f.focus(), Ctl::MSF);
}

TEST_F(OpenCommand, ManyDroppedLinesListOnlyTheFirstFew)
{
    std::string big = "R1;A;\r\n1;H;B;\r\n";
    for (int p = 1; p <= 130; ++p)
        big += "o;1;1;6F;1:10;d-f;10K;2.5;J;q;01/02/24;AQU;97%;C;\r\n";
    write("PPS.kel", big);
    open("PPS.kel");
    ASSERT_EQ(d.shown().size(), 1u);
    const std::string &msg = d.shown()[0].prompt;
    EXPECT_EQ(msg.rfind("30 lines of PPS.kel", 0), 0u) << msg;
    EXPECT_NE(msg.find("and 25 more."), std::string::npos) << msg;
    EXPECT_EQ(std::count(msg.begin(), msg.end(), '\n'), 6);
}

TEST_F(OpenCommand, AnotherCardReplacesTheFirstAndStartsOnItsRaceList)
{
    cardShownThenFileOpen();
    m.Data.set(1, 1, 1, 0, "S");
    write("NEXT.kel", "N1;A;\r\n");
    open("NEXT.kel");
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(m.Data(1, 1, 1, 0), "");
    EXPECT_EQ(m.Data(1, 1, 0, 1), "");
    EXPECT_EQ(f.caption(Ctl::LabelCarreras), "NEXT.kel");
    EXPECT_EQ(f.MSF().cell(0, 0), "N1");
}

} // namespace
} // namespace kel
