// Boxes that wait for the page's HTML dialogs (linked with Asyncify for them), and the report kept
// for the page to write as a PDF. Each card is written into the current folder under its own name,
// so that the messages name it by the one path a page knows.
#include <emscripten/bind.h>
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "printing/font_table_measure.h"
#include "printing/print_report.h"
#include "printing/recorded_document.h"
#include "store/card_file.h"
#include "store/number_text.h"
#include "views/commands.h"
#include "views/controls.h"
#include "views/display_text.h"
#include "views/status_line.h"
#include "web/window.h"
#include "web/window_state.h"

// The bodies are JavaScript, which clang-format would break.
// clang-format off
// The page's dialogs, Module.pageDialogs: msgBox(prompt, title, buttons) resolves to the answer
// and inputBox(prompt, title, text) to the text typed or null; both are awaited, the module
// suspended meanwhile. Buttons and answers are numbered as MsgButtons and MsgAnswer.
EM_ASYNC_JS(int, kel_page_msg_box, (const char *prompt, const char *title, int buttons), {
    return await Module['pageDialogs'].msgBox(UTF8ToString(prompt), UTF8ToString(title), buttons);
});
// The typed text's UTF-8 length + 1, kept for kel_page_typed; 0 when the box was cancelled.
EM_ASYNC_JS(int, kel_page_input_box, (const char *prompt, const char *title, const char *text), {
    const typed = await Module['pageDialogs'].inputBox(UTF8ToString(prompt), UTF8ToString(title), UTF8ToString(text));
    Module['pageDialogs'].typed = typed;
    return typed === null ? 0 : lengthBytesUTF8(typed) + 1;
});
EM_JS(void, kel_page_typed, (char *out, int size), { stringToUTF8(Module['pageDialogs'].typed, out, size); });
// clang-format on

namespace kel {

namespace {

static_assert(static_cast<int>(MsgAnswer::Ok) == 0 && static_cast<int>(MsgAnswer::Cancel) == 3);
static_assert(static_cast<int>(MsgButtons::Ok) == 0 && static_cast<int>(MsgButtons::YesNoCancel) == 2);

class PageDialogs : public Dialogs
{
public:
    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override
    {
        const int answer
            = kel_page_msg_box(DisplayText(prompt).c_str(), std::string(title).c_str(), static_cast<int>(buttons));
        return answer >= 0 && answer <= 3 ? static_cast<MsgAnswer>(answer) : MsgAnswer::Cancel;
    }

    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override
    {
        const int size = kel_page_input_box(DisplayText(prompt).c_str(), std::string(title).c_str(),
                                            std::string(defaultText).c_str());
        if (size <= 0)
            return std::nullopt;
        std::string typed(static_cast<std::size_t>(size), '\0');
        kel_page_typed(typed.data(), size);
        typed.resize(static_cast<std::size_t>(size - 1));
        return typed;
    }
};

// The report of the last "Print", kept until the next one, with what the page names it by.
struct Report
{
    FontTableMeasure measure;
    RecordedDocument doc{measure, kPrintWidth, kPrintHeight};
    std::string title;
    std::string fileName;
};
std::unique_ptr<Report> g_report;

class KeepingTarget : public PrintTarget
{
public:
    void print(Module1 &m, Form &f, const PrintRequest &request) override
    {
        const RaceSpan races = PrintedRaces(m, f, request);
        auto report = std::make_unique<Report>();
        const std::string card = f.selectedFile().value_or("");
        report->title = ReportTitle(card, races);
        report->fileName = ReportFileName(card, races);
        PrintReport(m, f, report->doc, request);
        g_report = std::move(report);
    }
};

std::string controlTable()
{
    static constexpr const char *kKinds[]
        = {"frame", "label", "button", "textbox", "checkbox", "grid", "dirlist", "filelist"};
    std::string out = "[";
    for (const ControlInfo &c : kControls) {
        if (out.size() > 1)
            out += ',';
        out += "{\"name\":";
        AppendJsonString(out, c.name);
        out += ",\"kind\":\"" + std::string(kKinds[static_cast<int>(c.kind)]) + "\",\"container\":";
        if (c.container)
            AppendJsonString(out, controlInfo(*c.container).name);
        else
            out += "null";
        out += ",\"left\":" + DecimalText(c.left) + ",\"top\":" + DecimalText(c.top)
               + ",\"width\":" + DecimalText(c.width) + ",\"height\":" + DecimalText(c.height) + ",\"caption\":";
        AppendJsonString(out, c.caption);
        out += ",\"visible\":" + std::string(c.visible ? "true" : "false") + ",\"value\":" + DecimalText(c.value)
               + ",\"maxLength\":" + DecimalText(c.maxLength) + ",\"tabIndex\":" + DecimalText(c.tabIndex) + '}';
    }
    return out + ']';
}

Window *makeWindow()
{
    return new Window(std::make_unique<PageDialogs>());
}

// A window never shown, whose boxes are answered as closed at once: one the page opens a sample
// card on in idle time must not put a box over the user's window, nor wait for one.
class UnaskedDialogs : public Dialogs
{
public:
    MsgAnswer msgBox(std::string_view, std::string_view, MsgButtons) override { return MsgAnswer::Cancel; }
    std::optional<std::string> inputBox(std::string_view, std::string_view, std::string_view) override
    {
        return std::nullopt;
    }
};

Window *makeSpareWindow()
{
    return new Window(std::make_unique<UnaskedDialogs>());
}

// Empty name: none chosen in File1.
void openSelected(Window &w, const std::string &name)
{
    w.form().setDirectory("");
    w.form().setSelectedFile(name.empty() ? std::nullopt : std::optional(name));
    BT_Open_Click(w.module(), w.form(), w.dialogs());
}

// The bytes a page's file picker read, written straight into the card's buffer (none when the
// memory for it is short).
void writeCardBytes(Window &w, const emscripten::val &bytes)
{
    const auto size = bytes["length"].as<std::size_t>();
    if (const uintptr_t at = w.cardBuffer(size))
        emscripten::val(emscripten::typed_memory_view(size, reinterpret_cast<std::uint8_t *>(at)))
            .call<void>("set", bytes);
}

// The same on such bytes.
void openSelectedBytes(Window &w, const std::string &name, const emscripten::val &bytes)
{
    w.form().setDirectory("");
    w.form().setSelectedFile(name);
    writeCardBytes(w, bytes);
    w.openCard(name);
}

// The card selected in the file frame, loaded and rated while the user moves to "Open"; false
// when the memory is short.
bool prepareBytes(Window &w, const emscripten::val &bytes)
{
    writeCardBytes(w, bytes);
    return w.prepareCard();
}

// "Open" on the card prepareBytes prepared.
void openSelectedPrepared(Window &w, const std::string &name)
{
    w.form().setDirectory("");
    w.form().setSelectedFile(name);
    w.openPrepared(name);
}

void dropPrepared(Window &w)
{
    w.dropPrepared();
}

// A dropped card, or one opened with the page, takes the road of one on the desktop's command line.
void openNamed(Window &w, const std::string &name)
{
    w.form().setDirectory("");
    w.form().setSelectedFile(name);
    OpenNamedCard(w.module(), w.form(), w.dialogs(), name);
}

// The "Print" button; the pages of the report printed, 0 when the command was abandoned.
int print(Window &w)
{
    g_report.reset();
    KeepingTarget target;
    Printd_Click(w.module(), w.form(), w.dialogs(), target);
    return g_report ? std::max(g_report->doc.pages(), 1) : 0;
}

std::string reportTitle()
{
    return g_report ? g_report->title : std::string();
}

std::string reportFileName()
{
    return g_report ? g_report->fileName : std::string();
}

std::string reportPage(int page)
{
    std::string out = "[";
    for (std::size_t i = 0; g_report && i < g_report->doc.eventCount(); ++i) {
        const RecordedDocument::Event e = g_report->doc.event(i);
        if (e.page != page)
            continue;
        if (out.size() > 1)
            out += ',';
        AppendPrintEventJson(out, e);
    }
    return out + ']';
}

std::string pageState(Window &w)
{
    return WindowStateJson(w.module(), w.form(), true);
}

// What a scratched horse's "-" cells stand for on the horses page, row by row.
std::string rowNotes(Window &w)
{
    std::string out = "[";
    for (int r = 0; r < w.form().MSF().rows(); ++r) {
        if (r > 0)
            out += ',';
        AppendJsonString(out, DisplayText(ScratchedHorseName(w.module(), r)));
    }
    return out + ']';
}

// The status line's two lines as the window draws them: the card and its marks, the current row.
std::string statusMarks(Window &w)
{
    return DisplayText(StatusMarks(w.module()));
}

std::string statusCurrent(Window &w)
{
    return DisplayText(StatusCurrent(w.module(), w.form().MSF()));
}

// The focus as the next command leaves it: none until the command moves it.
void forgetFocus(Window &w)
{
    w.form().forgetFocus();
}

bool closed(Window &w)
{
    return w.form().closed();
}

} // namespace

} // namespace kel

EMSCRIPTEN_BINDINGS(kelsoft_page)
{
    using namespace kel;
    emscripten::function("PageWindow", &makeWindow, emscripten::allow_raw_pointers());
    emscripten::function("SpareWindow", &makeSpareWindow, emscripten::allow_raw_pointers());
    emscripten::function("controlTable", &controlTable);
    emscripten::function(
        "isListedCardName", +[](const std::string &name) { return IsListedCardName(name); });
    emscripten::function(
        "isTooLongCardName", +[](const std::string &name) { return IsTooLongCardName(name); });
    emscripten::function(
        "longCardNameNote", +[] { return std::string(kLongCardNameNote); });
    emscripten::constant("maxCardBytes", static_cast<double>(kMaxCardBytes));
    emscripten::function("openSelected", &openSelected);
    emscripten::function("openSelectedBytes", &openSelectedBytes);
    emscripten::function("prepareBytes", &prepareBytes);
    emscripten::function("openSelectedPrepared", &openSelectedPrepared);
    emscripten::function("dropPrepared", &dropPrepared);
    emscripten::function("openNamed", &openNamed);
    emscripten::function("print", &print);
    emscripten::function("reportTitle", &reportTitle);
    emscripten::function("reportFileName", &reportFileName);
    emscripten::function("reportPage", &reportPage);
    emscripten::function("pageState", &pageState);
    emscripten::function("rowNotes", &rowNotes);
    emscripten::function("statusMarks", &statusMarks);
    emscripten::function("statusCurrent", &statusCurrent);
    emscripten::function("forgetFocus", &forgetFocus);
    emscripten::function("closed", &closed);
}
