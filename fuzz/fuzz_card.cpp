// Any bytes as a card file: the load with its three rating runs, every page a user can reach by
// double-click and ESC, and the printed report with each horse's PPs on a recording printer.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/open_card.h"
#include "fuzz/card_checks.h"
#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "store/loader.h"
#include "tests/support/scan_lines.h"
#include "views/commands.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace {

using namespace kel;
using namespace kel::fuzz;

constexpr int16_t kEsc = 27;

// Every text of the page shown, as the window would hand it to Qt.
void checkPageTexts(MemoryForm &f)
{
    const GridModel &g = f.MSF();
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c)
            KEL_FUZZ_CHECK(validUtf8(g.cell(r, c)), "grid texts are UTF-8");
    KEL_FUZZ_CHECK(validUtf8(f.caption(Ctl::LabelCarreras)), "the page title is UTF-8");
}

// Race list -> each race's horses -> each horse's PPs (widening and narrowing a column) -> ESC
// back, as a user clicking through the whole card would.
void walkPages(Module1 &m, MemoryForm &f)
{
    const RaceStore &d = m.Data;
    const int races = raceCount(d);
    KEL_FUZZ_CHECK(m.ViewPage == 1 && f.MSF().rows() == races, "the race list has a row per race");
    checkPageTexts(f);
    for (int race = 0; race < races; ++race) {
        f.MSF().setRow(race);
        MSF_DblClick(m, f);
        KEL_FUZZ_CHECK(m.ViewPage == 2 && m.CurrentRace == race + 1, "a double-click opens the race");
        const int horses = horseCount(d, race + 1);
        KEL_FUZZ_CHECK(f.MSF().rows() == horses + 1, "the horses page has a row per horse");
        checkPageTexts(f);
        for (int row = 1; row <= horses; ++row) {
            f.MSF().setRow(row);
            MSF_DblClick(m, f);
            KEL_FUZZ_CHECK(m.ViewPage == 3 && m.CurrentHorse == row, "a double-click opens the horse");
            // Nothing is marked right after a load: every listed PP is shown.
            KEL_FUZZ_CHECK(f.MSF().rows() == 1 + listedPPs(d, race + 1, row), "the PP page has a row per PP");
            if (row == 1)
                checkPageTexts(f);
            f.MSF().setCol(row % f.MSF().cols());
            MSF_DblClick(m, f);
            MSF_DblClick(m, f);
            MSF_KeyPress(m, f, kEsc);
            KEL_FUZZ_CHECK(m.ViewPage == 2 && f.MSF().rows() == horses + 1, "ESC goes back to the horses");
        }
        MSF_KeyPress(m, f, kEsc);
        KEL_FUZZ_CHECK(m.ViewPage == 1 && f.MSF().rows() == races, "ESC goes back to the race list");
    }
}

void printReport(Module1 &m, MemoryForm &f, std::size_t size)
{
    ScriptedDialogs d;
    // Sometimes every PP, usually the default four.
    d.answer(MsgAnswer::Yes).type(size % 5 == 0 ? "100" : "4").type("1").type(std::to_string(f.MSF().rows()));
    RecordingTarget target;
    Printd_Click(m, f, d, target);
    KEL_FUZZ_CHECK(d.unscripted() == 0, "the report asks the usual questions");
    KEL_FUZZ_CHECK(target.printer.endDocCalls() == 1 && !target.printer.isOpen(), "the report ends its document");
    KEL_FUZZ_CHECK(m.ViewPage == 1, "the report goes back to the race list");
    for (const RecordingPrinter::Event &e : target.printer.events()) {
        KEL_FUZZ_CHECK(std::isfinite(e.x) && std::isfinite(e.y) && std::isfinite(e.x2) && std::isfinite(e.y2),
                       "the report prints at finite positions");
        KEL_FUZZ_CHECK(validUtf8(e.text), "the report prints whole characters");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    Module1 m;
    MemoryForm f;
    f.setSelectedFile("fuzz.kel");
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    OpenCard(m, bytes);
    KEL_FUZZ_CHECK(m.CurrentRace == 0, "the load rates the whole card");
    CheckFinalFigures(m.Data);
    CheckRatedCard(m);

    // The vector scan finds the lines the plain scan finds.
    for (const bool decode : {true, false})
        KEL_FUZZ_CHECK(testing::scanLines(bytes, decode, kScanWidth)
                           == testing::scanLines(bytes, decode, ScanWidth::Plain),
                       "the vector scan reads as the plain one");

    ShowRaceList(m, f);
    walkPages(m, f);
    printReport(m, f, size);
    return 0;
}
