#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/card_builder.h"
#include "engine/ratings.h"
#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "store/module1.h"
#include "views/commands.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace kel {
namespace {

using Event = RecordingPrinter::Event;

// Three races; race 1 has three horses (horse 2 with six PPs, horse 3 scratched), race 2 two
// horses, race 3 one. Horse slots 9 to 12 are filled so every column of the horses page shows.
struct PrintCommandTest : ::testing::Test
{
    Module1 m;
    MemoryForm f;
    ScriptedDialogs d;
    RecordingTarget target;

    void SetUp() override
    {
        test::CardBuilder card(m.Data);
        card.race(1, "R1").race(2, "R2").race(3, "R3");
        card.horseWith(1, 1, {"101%", "102%"});
        card.horseWith(1, 2, {"99%", "100%", "98%", "97%", "103%", "104%"});
        card.horseWith(1, 3, {"105%", "106%"});
        card.horseWith(2, 1, {"100%"}).horseWith(2, 2, {"101%"});
        card.horseWith(3, 1, {"100%"});
        for (int r = 1; r <= 3; ++r)
            for (int h = 1; h <= 3; ++h)
                if (!m.Data(r, h, 0, 1).empty())
                    for (int s = 9; s <= 12; ++s)
                        m.Data.set(r, h, 0, s, "s" + std::to_string(s));
        for (int p = 1; p <= 2; ++p)
            m.Data.set(1, 3, p, 0, "S");
        m.loaded = true;
        RerunRatings(m);
        f.setSelectedFile("card.kel");
        ShowRaceList(m, f);
    }

    void openRace(int r)
    {
        f.MSF().setRow(r - 1);
        ShowRaceHorses(m, f);
    }

    RecordingPrinter &p() { return target.printer; }
    void click() { Printd_Click(m, f, d, target); }

    std::vector<std::string> printedTexts() const
    {
        std::vector<std::string> out;
        for (const Event &e : target.printer.texts())
            out.push_back(e.text);
        return out;
    }
    int count(const std::string &text) const
    {
        int n = 0;
        for (const std::string &t : printedTexts())
            n += t == text;
        return n;
    }
    // Snapshot of what the window shows.
    std::vector<std::string> page() const
    {
        std::vector<std::string> out{std::to_string(m.ViewPage), std::to_string(m.CurrentRace),
                                     f.caption(Ctl::LabelCarreras)};
        const GridModel &g = f.MSF();
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                out.push_back(g.cell(r, c));
        return out;
    }
};

TEST_F(PrintCommandTest, HorsesPageWithoutPPs)
{
    openRace(1);
    f.MSF().setRow(2);
    const auto before = page();
    d.answer(MsgAnswer::No);
    click();

    EXPECT_EQ(d.prompts(), std::vector<std::string>{"Print last pp's?"});
    EXPECT_EQ(d.shown()[0].title, "Select");
    EXPECT_EQ(d.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(p().documents(), 1);
    EXPECT_TRUE(p().lines().empty());
    const std::vector<Event> t = p().texts();
    EXPECT_EQ(t[0].text, "R1 6F  ");
    for (const Event &e : t)
        EXPECT_FALSE(e.bold && e.size != 8) << e.text;
    // The scratched horse shows dashes, as on the page, but for the hidden column beyond the
    // paper.
    EXPECT_EQ(count("-"), 10);
    EXPECT_EQ(count("Horse"), 2);
    EXPECT_EQ(page(), before);
    EXPECT_EQ(f.MSF().row(), 2);
}

TEST_F(PrintCommandTest, HorsesPageWithFourPPs)
{
    openRace(1);
    d.answer(MsgAnswer::Yes).type("4");
    click();

    ASSERT_EQ(d.shown().size(), 2u);
    EXPECT_EQ(d.shown()[1].prompt, "How many pp's do you want to print?");
    EXPECT_EQ(d.shown()[1].title, "Enter number");
    EXPECT_EQ(d.shown()[1].defaultText, "4");

    // Horse 1: 2 PPs, horse 2: 4 of its 6, horse 3 scratched: none.
    EXPECT_EQ(count("AQU"), 6);
    EXPECT_EQ(count("97%"), 3); // PP 4 of horse 2: KEL, Early and Final
    EXPECT_EQ(count("103%"), 0);
    for (const Event &e : p().texts()) {
        EXPECT_TRUE(e.size != 9 || e.bold) << e.text;
    }

    // Per horse: a rule from 0 above, one from 300 below; a closing rule under the PPs of all
    // but the scratched horse.
    const std::vector<Event> lines = p().lines();
    ASSERT_EQ(lines.size(), 3u * 2u + 2u);
    EXPECT_DOUBLE_EQ(lines[0].x, 0);
    EXPECT_DOUBLE_EQ(lines[1].x, 300);
    EXPECT_DOUBLE_EQ(lines[2].x, 0);
    EXPECT_DOUBLE_EQ(lines[7].x, 300);
    for (const Event &l : lines) {
        EXPECT_DOUBLE_EQ(l.x2, 11500);
        EXPECT_EQ(l.y, l.y2);
        EXPECT_EQ(l.rgb, 0u);
    }
    // The first PP line sits right under the horse's lower rule.
    const std::vector<Event> t = p().texts();
    for (const Event &e : t)
        if (e.text == "AQU") {
            EXPECT_DOUBLE_EQ(e.y, lines[1].y);
            break;
        }
    // The scratched horse's single empty line follows its rule at 300.
    EXPECT_EQ(t[t.size() - 2].text, "");
    EXPECT_DOUBLE_EQ(t[t.size() - 2].y, lines[7].y);

    EXPECT_EQ(m.ViewPage, 2);
    EXPECT_EQ(m.CurrentRace, 1);
    EXPECT_EQ(f.MSF().cell(2, 1), "Horse");
    EXPECT_TRUE(f.visible(Ctl::Printd));
    EXPECT_EQ(p().documents(), 1);
}

TEST_F(PrintCommandTest, CountsRoundHalfToEvenAndNegativeCountsPrintNoPPs)
{
    openRace(1);
    d.answer(MsgAnswer::Yes).type("2.5");
    click();
    EXPECT_EQ(count("AQU"), 4);

    p().clear();
    d.answer(MsgAnswer::Yes).type("-3");
    click();
    EXPECT_EQ(count("AQU"), 0);
    // Still the bold lines with their rules.
    EXPECT_EQ(p().lines().size(), 8u);
}

TEST_F(PrintCommandTest, RaceListPrintsTheChosenRacesAndReturnsToTheList)
{
    d.answer(MsgAnswer::No).type("2").type("3");
    click();

    ASSERT_EQ(d.shown().size(), 3u);
    EXPECT_EQ(d.shown()[1].prompt, "First race?");
    EXPECT_EQ(d.shown()[1].title, "Select");
    EXPECT_EQ(d.shown()[1].defaultText, "1");
    EXPECT_EQ(d.shown()[2].prompt, "Last race?");
    EXPECT_EQ(d.shown()[2].title, "Select");
    EXPECT_EQ(d.shown()[2].defaultText, "3");

    EXPECT_EQ(count("R1 6F  "), 0);
    EXPECT_EQ(count("R2 6F  "), 1);
    EXPECT_EQ(count("R3 6F  "), 1);
    EXPECT_EQ(p().documents(), 1);
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(m.CurrentRace, 0);
    EXPECT_EQ(f.caption(Ctl::LabelCarreras), "card.kel");
    EXPECT_EQ(f.MSF().rows(), 3);
}

TEST_F(PrintCommandTest, FirstRaceAboveLastGivesAnEndedEmptyDocument)
{
    d.answer(MsgAnswer::No).type("3").type("2");
    click();
    EXPECT_EQ(target.asked, 1);
    EXPECT_EQ(p().endDocCalls(), 1);
    EXPECT_TRUE(p().texts().empty());
    EXPECT_EQ(m.ViewPage, 1);
}

TEST_F(PrintCommandTest, RaceNumbersOutsideTheListAreLeftOut)
{
    d.answer(MsgAnswer::No).type("-4").type("99");
    click();
    EXPECT_EQ(count("R1 6F  "), 1);
    EXPECT_EQ(count("R3 6F  "), 1);
    EXPECT_EQ(ReportTitle("card.kel", PrintedRaces(m, f, target.request)), "card.kel, races 1-3");

    p().clear();
    d.answer(MsgAnswer::No).type("5").type("9");
    click();
    EXPECT_TRUE(p().texts().empty());
    EXPECT_EQ(p().endDocCalls(), 1);

    // A half goes to the even row: 1.5 - 1 = 0.5 is row 0, race 1.
    p().clear();
    d.answer(MsgAnswer::No).type("1.5").type("1.5");
    click();
    EXPECT_EQ(count("R1 6F  "), 1);
    EXPECT_EQ(count("R2 6F  "), 0);
}

TEST_F(PrintCommandTest, CancelledOrEmptyAnswersAbandonWithoutADocument)
{
    const auto list = page();
    d.answer(MsgAnswer::Yes).cancelInput();
    click();
    d.answer(MsgAnswer::Yes).type("  ");
    click();
    d.answer(MsgAnswer::No).type("1").cancelInput();
    click();
    d.answer(MsgAnswer::No).type("").type("3");
    click();
    EXPECT_EQ(target.asked, 0);
    EXPECT_EQ(p().endDocCalls(), 0);
    EXPECT_EQ(page(), list);
    EXPECT_EQ(d.pendingInputs(), 1u); // the last race was never asked after the empty first
}

TEST_F(PrintCommandTest, NonNumbersAreReportedAndTheQuestionAskedAgain)
{
    // A typo in each question is said, and the same question comes again as it was first asked.
    d.answer(MsgAnswer::Yes).type("four").type("2").type("abc").type("1").type("3x").type("2");
    click();
    const std::vector<std::string> asked = {"Print last pp's?",
                                            "How many pp's do you want to print?",
                                            "\"four\" is not a number",
                                            "How many pp's do you want to print?",
                                            "First race?",
                                            "\"abc\" is not a number",
                                            "First race?",
                                            "Last race?",
                                            "\"3x\" is not a number",
                                            "Last race?"};
    EXPECT_EQ(d.prompts(), asked);
    const std::vector<ShownBox> &shown = d.shown();
    EXPECT_EQ(shown[2].kind, ShownBox::Message);
    EXPECT_EQ(shown[2].title, "KEL Soft");
    EXPECT_EQ(shown[2].buttons, MsgButtons::Ok);
    for (std::size_t again : {3u, 6u, 9u}) {
        EXPECT_EQ(shown[again].title, shown[again - 2].title);
        EXPECT_EQ(shown[again].defaultText, shown[again - 2].defaultText);
    }
    EXPECT_EQ(target.asked, 1);
    EXPECT_EQ(target.request.ppCount, 2);
    EXPECT_EQ(target.request.firstRow, 0);
    EXPECT_EQ(target.request.lastRow, 1);

    // Cancel after a typo still abandons, on the horses page as on the list.
    openRace(2);
    const auto horses = page();
    d.answer(MsgAnswer::Yes).type("four").cancelInput();
    click();
    EXPECT_EQ(target.asked, 1);
    EXPECT_EQ(page(), horses);
    EXPECT_EQ(d.unscripted(), 0);
}

TEST_F(PrintCommandTest, CancelledPrintDialogPrintsNothing)
{
    const auto list = page();
    target.cancel = true;
    d.answer(MsgAnswer::Yes).type("4").type("1").type("3");
    click();
    EXPECT_EQ(target.asked, 1);
    EXPECT_TRUE(p().events().empty());
    EXPECT_EQ(page(), list);
}

TEST_F(PrintCommandTest, PPPageOrNoCardPrintsNothing)
{
    Module1 empty;
    Printd_Click(empty, f, d, target);
    openRace(1);
    f.MSF().setRow(1);
    ShowHorsePPs(m, f);
    click();
    EXPECT_TRUE(d.shown().empty());
    EXPECT_EQ(target.asked, 0);
}

TEST_F(PrintCommandTest, EveryRaceWithPPsEndsOnTheListWithOneDocument)
{
    d.answer(MsgAnswer::Yes).type("10").type("1").type("3");
    click();
    EXPECT_EQ(p().documents(), 1);
    EXPECT_EQ(p().endDocCalls(), 1);
    EXPECT_EQ(count("AQU"), 2 + 6 + 1 + 1 + 1);
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_EQ(f.MSF().rows(), 3);
    EXPECT_TRUE(f.visible(Ctl::Printd));
}

} // namespace
} // namespace kel
