#include <gtest/gtest.h>

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

TEST_F(OpenCommand, NoSelectionIsRefusedAndChangesNothing)
{
    const Snapshot before = cardShownThenFileOpen();
    f.setSelectedFile(std::nullopt);
    BT_Open_Click(m, f, d);
    ASSERT_EQ(d.shown().size(), 1u);
    EXPECT_EQ(d.shown()[0].prompt, "Select a kel file in the lower window");
    EXPECT_EQ(d.shown()[0].title, "Incomplete entry");
    EXPECT_EQ(d.shown()[0].buttons, MsgButtons::Ok);
    expectUnchanged(before);
    EXPECT_TRUE(f.visible(Ctl::Fr_Open)) << "the user can choose again";
}

TEST_F(OpenCommand, NamesLongerThanFourteenCharactersAreRefused)
{
    const Snapshot before = cardShownThenFileOpen();
    write("ABCDEFGHIJK.kel", kCard); // 15 characters
    f.setSelectedFile("ABCDEFGHIJK.kel");
    BT_Open_Click(m, f, d);
    ASSERT_EQ(d.shown().size(), 1u);
    EXPECT_EQ(d.shown()[0].prompt, "error TX1");
    EXPECT_EQ(d.shown()[0].title, "KEL Soft");
    expectUnchanged(before);

    // Fourteen characters are accepted, counted as characters, not bytes.
    write("ABCDEFGHI\xC3\xB1.kel", kCard);
    open("ABCDEFGHI\xC3\xB1.kel");
    EXPECT_EQ(d.shown().size(), 1u);
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_TRUE(f.visible(Ctl::fr_dc));
}

TEST_F(OpenCommand, AFileThatCannotBeReadIsNamedAndChangesNothing)
{
    const Snapshot before = cardShownThenFileOpen();
    f.setSelectedFile("GONE.kel"); // listed, then removed
    BT_Open_Click(m, f, d);
    fs::create_directory(m_dir / "DIR.kel");
    f.setSelectedFile("DIR.kel");
    BT_Open_Click(m, f, d);

    ASSERT_EQ(d.shown().size(), 2u);
    for (const ShownBox &box : d.shown()) {
        EXPECT_EQ(box.title, "KEL Soft");
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
    }
    EXPECT_NE(d.shown()[0].prompt.find("GONE.kel"), std::string::npos) << d.shown()[0].prompt;
    EXPECT_NE(d.shown()[1].prompt.find("DIR.kel"), std::string::npos) << d.shown()[1].prompt;
    EXPECT_NE(d.shown()[1].prompt.find("directory"), std::string::npos) << d.shown()[1].prompt;
    expectUnchanged(before);
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
