#include "web/walk.h"

#include <sstream>

#include "printing/font_table_measure.h"
#include "printing/print_report.h"
#include "printing/recorded_document.h"
#include "cli/card_export.h"
#include "store/number_text.h"
#include "store/walk.h"
#include "support/scripted_dialogs.h"
#include "views/commands.h"
#include "views/memory_form.h"
#include "web/window_state.h"

namespace kel {

namespace {

constexpr int16_t kEsc = 27;
constexpr int16_t kScratchKey = 'S';
// Letter paper less quarter-inch margins, in twips.
constexpr double kPageWidth = 11520;
constexpr double kPageHeight = 15120;

// Doubles with every bit: 17 significant digits.
std::string exact(double v)
{
    char buf[32];
    return std::string(buf, PutScientific(v, 16, buf));
}

struct Walk
{
    Module1 m;
    MemoryForm f;
    ScriptedDialogs d;
    std::string out;

    void page(std::string_view what)
    {
        out += "== ";
        out += what;
        out += '\n';
        out += WindowStateJson(m, f);
        out += '\n';
        for (const ShownBox &b : d.shown()) {
            out += "box ";
            AppendJsonString(out, b.title);
            out += ' ';
            AppendJsonString(out, b.prompt);
            out += '\n';
        }
        d = ScriptedDialogs();
    }

    void tables(std::string_view when)
    {
        for (const bool odds : {false, true}) {
            std::ostringstream csv, json;
            WriteCsv(m, 0, csv, {odds, false});
            WriteJson(m, 0, json, {odds, false});
            out += "== csv " + std::string(when) + (odds ? " --odds\n" : "\n") + csv.str();
            out += "== json " + std::string(when) + (odds ? " --odds\n" : "\n") + json.str() + '\n';
        }
    }

    void dblClick(int row, int col = 0)
    {
        f.MSF().setRow(row);
        f.MSF().setCol(col);
        MSF_DblClick(m, f);
    }
};

class TableTarget : public PrintTarget
{
public:
    explicit TableTarget(std::string &out) : m_out(out) {}
    void print(Module1 &m, Form &f, const PrintRequest &request) override
    {
        FontTableMeasure measure;
        m_out += PrintTranscript(m, f, request, measure);
    }

private:
    std::string &m_out;
};

} // namespace

std::string WalkTranscript(const std::string &directory, const std::string &name)
{
    Walk w;
    w.f.setDirectory(directory);
    w.f.setSelectedFile(name);
    File_Open_Click(w.m, w.f);
    BT_Open_Click(w.m, w.f, w.d);
    w.page("open " + name);
    if (w.m.ViewPage != 1)
        return w.out;
    w.tables("after the open");

    const int races = RaceCount(w.m.Data);
    int largest = 1;
    for (int race = 1; race <= races; ++race) {
        w.dblClick(race - 1);
        w.page("race " + DecimalText(race));
        const int horses = HorseCount(w.m.Data, race);
        if (horses > HorseCount(w.m.Data, largest))
            largest = race;
        for (int row = 1; row <= horses; ++row) {
            w.dblClick(row);
            w.page("horse " + DecimalText(row));
            MSF_KeyPress(w.m, w.f, kEsc);
        }
        MSF_KeyPress(w.m, w.f, kEsc);
    }
    w.page("race list");

    w.dblClick(largest - 1);
    for (int row = 1; row <= HorseCount(w.m.Data, largest); row += 2) {
        w.f.MSF().setRow(row);
        MSF_KeyPress(w.m, w.f, kScratchKey);
        w.page("S on horse " + DecimalText(row));
    }
    MSF_KeyPress(w.m, w.f, kEsc);

    Recalculate_Click(w.f);
    w.f.setText(Ctl::Text_Date, "06/01/24");
    w.f.setValue(Ctl::Check_Muddy, 0);
    Command4_Click(w.m, w.f, w.d);
    w.page("Go!");
    w.tables("after the scratches and Go!");

    w.d.answer(MsgAnswer::Yes).type("4").type("1").type(DecimalText(races));
    std::string events;
    TableTarget target(events);
    Printd_Click(w.m, w.f, w.d, target);
    w.page("print");
    w.out += events;
    return w.out;
}

std::string PrintTranscript(Module1 &m, Form &f, const PrintRequest &request, TextMeasure &measure)
{
    RecordedDocument doc(measure, kPageWidth, kPageHeight);
    PrintReport(m, f, doc, request);
    std::string out;
    for (std::size_t i = 0; i < doc.eventCount(); ++i) {
        const RecordedDocument::Event e = doc.event(i);
        static constexpr const char *kKinds[] = {"text", "line", "newpage", "enddoc"};
        out += std::string(kKinds[e.kind]) + ' ' + DecimalText(e.page) + ' ' + exact(e.x) + ' ' + exact(e.y);
        if (e.kind == RecordedDocument::Event::Line)
            out += ' ' + exact(e.x2) + ' ' + exact(e.y2) + ' ' + DecimalText(e.rgb);
        if (e.kind == RecordedDocument::Event::Text) {
            out += ' ' + std::string(e.font) + ' ' + exact(e.size) + (e.bold ? " bold " : " ");
            AppendJsonString(out, e.text);
        }
        out += '\n';
    }
    return out;
}

std::string Digest(const std::string &text)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4)
        s[static_cast<std::size_t>(i)] = kHex[h & 15];
    return s;
}

} // namespace kel
