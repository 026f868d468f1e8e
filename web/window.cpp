#include "web/window.h"

#include <emscripten/bind.h>

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
        RecordedDocument doc(measure, kPrintWidth, kPrintHeight);
        PrintReport(m, f, doc, request);
        json = "[";
        for (std::size_t i = 0; i < doc.eventCount(); ++i) {
            if (i > 0)
                json += ',';
            AppendPrintEventJson(json, doc.event(i));
        }
        json += ']';
    }
};

} // namespace

void AppendPrintEventJson(std::string &out, const RecordedDocument::Event &e)
{
    static constexpr const char *kKinds[] = {"text", "line", "newpage", "enddoc"};
    out += "{\"kind\":\"" + std::string(kKinds[e.kind]) + "\",\"page\":" + DecimalText(e.page)
           + ",\"x\":" + GeneralNumber(e.x) + ",\"y\":" + GeneralNumber(e.y);
    if (e.kind == RecordedDocument::Event::Line)
        out += ",\"x2\":" + GeneralNumber(e.x2) + ",\"y2\":" + GeneralNumber(e.y2) + ",\"rgb\":" + DecimalText(e.rgb);
    if (e.kind == RecordedDocument::Event::Text) {
        out += ",\"font\":";
        AppendJsonString(out, e.font);
        out += ",\"size\":" + GeneralNumber(e.size) + ",\"bold\":" + (e.bold ? "true" : "false") + ",\"text\":";
        AppendJsonString(out, e.text);
    }
    out += '}';
}

uintptr_t Window::cardBuffer(std::size_t size)
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

void Window::openCard(const std::string &name)
{
    OpenCardBytes(m_m, m_form, *m_dialogs, name, std::move(m_card));
    m_card.reset();
}

bool Window::prepareCard()
{
    m_prepared.reset();
    if (!m_card)
        return false;
    try {
        m_prepared = PrepareCard(std::move(*m_card));
    } catch (const std::bad_alloc &) {
        // Nothing prepared: "Open" reads the card again.
    }
    m_card.reset();
    return m_prepared.has_value();
}

void Window::openPrepared(const std::string &name)
{
    OpenPreparedCard(m_m, m_form, *m_dialogs, name, std::move(m_prepared));
    m_prepared.reset();
}

std::string Window::state() const
{
    return WindowStateJson(m_m, m_form);
}

void Window::setCell(int row, int col)
{
    m_form.MSF().setRow(row);
    m_form.MSF().setCol(col);
}

void Window::setColWidth(int col, int twips)
{
    m_form.MSF().setColWidth(col, twips);
}

void Window::setText(const std::string &ctl, const std::string &text)
{
    if (const auto c = control(ctl))
        m_form.setText(*c, text);
}

void Window::setValue(const std::string &ctl, int value)
{
    if (const auto c = control(ctl))
        m_form.setValue(*c, value);
}

void Window::doubleClick()
{
    MSF_DblClick(m_m, m_form);
}

void Window::gridKey(int key)
{
    MSF_KeyPress(m_m, m_form, static_cast<int16_t>(key));
}

void Window::formKey(int key)
{
    Form_KeyPress(m_form, static_cast<int16_t>(key));
}

void Window::fileOpen()
{
    File_Open_Click(m_m, m_form);
}

void Window::cancelOpen()
{
    BT_Cancel_Click(m_form);
}

void Window::recalculate()
{
    Recalculate_Click(m_form);
}

void Window::go()
{
    Command4_Click(m_m, m_form, *m_dialogs);
}

void Window::cancelSettings()
{
    Command6_Click(m_form);
}

void Window::resetData()
{
    ResetData_Click(m_m, m_form, *m_dialogs);
}

void Window::earlySpeed()
{
    Speed_Click(m_m, m_form);
}

void Window::lateSpeed()
{
    LateSpeed_Click(m_m, m_form);
}

std::string Window::print()
{
    JsonTarget target;
    Printd_Click(m_m, m_form, *m_dialogs, target);
    return target.json.empty() ? "[]" : target.json;
}

val Window::csv(int race, bool odds, bool excel) const
{
    std::ostringstream out;
    WriteCsv(m_m, race, out, {odds, excel});
    return bytes(out.str());
}

val Window::json(int race, bool odds) const
{
    std::ostringstream out;
    WriteJson(m_m, race, out, {odds, false});
    return bytes(out.str());
}
} // namespace kel
