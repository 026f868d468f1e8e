// The core for a page: one window's card, form and commands, bound for JavaScript with embind.
// Texts cross as UTF-8 strings, a card as its bytes written into the module's memory; boxes
// are asked of the page's own dialogs.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <new>
#include <sstream>

#include "printing/font_table_measure.h"
#include "printing/print_report.h"
#include "printing/recorded_document.h"
#include "cli/card_export.h"
#include "store/number_text.h"
#include "views/commands.h"
#include "views/controls.h"
#include "views/memory_form.h"
#include "web/window_state.h"

namespace kel {

namespace {

using emscripten::val;

// Letter paper less quarter-inch margins, in twips: what the desktop prints on by default.
constexpr double kPageWidth = 11520;
constexpr double kPageHeight = 15120;

// The page's dialogs: an object with msgBox(prompt, title, buttons) answering "ok", "yes", "no"
// or "cancel", and inputBox(prompt, title, defaultText) answering a text or null.
class PageDialogs : public Dialogs
{
public:
    explicit PageDialogs(val page) : m_page(std::move(page)) {}

    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override
    {
        static constexpr const char *kButtons[] = {"ok", "yesno", "yesnocancel"};
        const std::string a = m_page.call<std::string>("msgBox", std::string(prompt), std::string(title),
                                                       std::string(kButtons[static_cast<int>(buttons)]));
        if (a == "yes")
            return MsgAnswer::Yes;
        if (a == "no")
            return MsgAnswer::No;
        if (a == "cancel")
            return MsgAnswer::Cancel;
        return MsgAnswer::Ok;
    }

    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override
    {
        const val typed
            = m_page.call<val>("inputBox", std::string(prompt), std::string(title), std::string(defaultText));
        if (typed.isNull() || typed.isUndefined())
            return std::nullopt;
        return typed.as<std::string>();
    }

private:
    val m_page;
};

// A copy of the text's bytes for JavaScript.
val bytes(const std::string &text)
{
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(text.size(), reinterpret_cast<const unsigned char *>(text.data())));
}

std::optional<Ctl> control(const std::string &name)
{
    for (const ControlInfo &c : kControls)
        if (c.name == name)
            return c.ctl;
    return std::nullopt;
}

// The report as printed, event by event, for the page to draw or a PDF library to write.
class JsonTarget : public PrintTarget
{
public:
    std::string json;
    void print(Module1 &m, Form &f, const PrintRequest &request) override
    {
        FontTableMeasure measure;
        RecordedDocument doc(measure, kPageWidth, kPageHeight);
        PrintReport(m, f, doc, request);
        json = "[";
        for (std::size_t i = 0; i < doc.eventCount(); ++i) {
            static constexpr const char *kKinds[] = {"text", "line", "newpage", "enddoc"};
            const RecordedDocument::Event e = doc.event(i);
            json += (i ? ",{\"kind\":\"" : "{\"kind\":\"") + std::string(kKinds[e.kind]) + "\",\"page\":"
                    + DecimalText(e.page) + ",\"x\":" + GeneralNumber(e.x) + ",\"y\":" + GeneralNumber(e.y);
            if (e.kind == RecordedDocument::Event::Line)
                json += ",\"x2\":" + GeneralNumber(e.x2) + ",\"y2\":" + GeneralNumber(e.y2)
                        + ",\"rgb\":" + DecimalText(e.rgb);
            if (e.kind == RecordedDocument::Event::Text) {
                json += ",\"font\":";
                AppendJsonString(json, e.font);
                json
                    += ",\"size\":" + GeneralNumber(e.size) + ",\"bold\":" + (e.bold ? "true" : "false") + ",\"text\":";
                AppendJsonString(json, e.text);
            }
            json += '}';
        }
        json += ']';
    }
};

} // namespace

// One window: the card, the form and every command the window has.
class Window
{
public:
    explicit Window(val dialogs) : m_dialogs(std::move(dialogs)) {}

    // The open command on a card given as bytes: cardBuffer(size) gives where the page writes
    // them (0 when the memory is short), then openCard(name) opens them under the file's name,
    // with the window's own boxes for refusals, notes and running out of memory.
    uintptr_t cardBuffer(std::size_t size)
    {
        m_card.emplace();
        try {
            // Front room, as the file reader leaves it, for the text written over the bytes.
            m_card->reserveWithFront(size / 16 + 4096, size);
        } catch (const std::bad_alloc &) {
            m_card.reset();
            return 0;
        }
        m_card->setSize(size);
        return reinterpret_cast<uintptr_t>(m_card->data());
    }
    void openCard(const std::string &name)
    {
        OpenCardBytes(m_m, m_form, m_dialogs, name, std::move(m_card));
        m_card.reset();
    }

    std::string state() const { return WindowStateJson(m_m, m_form); }

    // The grid's current cell, as a click puts it.
    void setCell(int row, int col)
    {
        m_form.MSF().setRow(row);
        m_form.MSF().setCol(col);
    }
    void setColWidth(int col, int twips) { m_form.MSF().setColWidth(col, twips); }
    void setText(const std::string &ctl, const std::string &text)
    {
        if (const auto c = control(ctl))
            m_form.setText(*c, text);
    }
    void setValue(const std::string &ctl, int value)
    {
        if (const auto c = control(ctl))
            m_form.setValue(*c, value);
    }

    void doubleClick() { MSF_DblClick(m_m, m_form); }
    void gridKey(int key) { MSF_KeyPress(m_m, m_form, static_cast<int16_t>(key)); }
    void formKey(int key) { Form_KeyPress(m_form, static_cast<int16_t>(key)); }
    void fileOpen() { File_Open_Click(m_m, m_form); }
    void cancelOpen() { BT_Cancel_Click(m_form); }
    void recalculate() { Recalculate_Click(m_form); }
    void go() { Command4_Click(m_m, m_form, m_dialogs); }
    void cancelSettings() { Command6_Click(m_form); }
    void resetData() { ResetData_Click(m_m, m_form, m_dialogs); }
    void earlySpeed() { Speed_Click(m_m, m_form); }
    void lateSpeed() { LateSpeed_Click(m_m, m_form); }
    // "Print": the questions asked, then the report's events as JSON ("[]" when abandoned).
    std::string print()
    {
        JsonTarget target;
        Printd_Click(m_m, m_form, m_dialogs, target);
        return target.json.empty() ? "[]" : target.json;
    }

    // The report tool's tables of the card as it stands, as the bytes it writes (a Uint8Array: the
    // spreadsheet CSV starts with a byte-order mark, which a string would lose): race 0 for
    // every race.
    val csv(int race, bool odds, bool excel) const
    {
        std::ostringstream out;
        WriteCsv(m_m, race, out, {odds, excel});
        return bytes(out.str());
    }
    val json(int race, bool odds) const
    {
        std::ostringstream out;
        WriteJson(m_m, race, out, {odds, false});
        return bytes(out.str());
    }

private:
    Module1 m_m;
    MemoryForm m_form;
    PageDialogs m_dialogs;
    std::optional<TextBuffer> m_card;
};

} // namespace kel

EMSCRIPTEN_BINDINGS(kelsoft)
{
    using kel::Window;
    emscripten::class_<Window>("Window")
        .constructor<emscripten::val>()
        .function("cardBuffer", &Window::cardBuffer)
        .function("openCard", &Window::openCard)
        .function("state", &Window::state)
        .function("setCell", &Window::setCell)
        .function("setColWidth", &Window::setColWidth)
        .function("setText", &Window::setText)
        .function("setValue", &Window::setValue)
        .function("doubleClick", &Window::doubleClick)
        .function("gridKey", &Window::gridKey)
        .function("formKey", &Window::formKey)
        .function("fileOpen", &Window::fileOpen)
        .function("cancelOpen", &Window::cancelOpen)
        .function("recalculate", &Window::recalculate)
        .function("go", &Window::go)
        .function("cancelSettings", &Window::cancelSettings)
        .function("resetData", &Window::resetData)
        .function("earlySpeed", &Window::earlySpeed)
        .function("lateSpeed", &Window::lateSpeed)
        .function("print", &Window::print)
        .function("csv", &Window::csv)
        .function("json", &Window::json);
}
