#include "web/window_state.h"

#include "store/number_text.h"
#include "views/controls.h"
#include "views/display_text.h"

namespace kel {

void AppendJsonString(std::string &out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

namespace {

void appendInts(std::string &out, int count, auto value)
{
    out += '[';
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ',';
        out += DecimalText(value(i));
    }
    out += ']';
}

} // namespace

std::string WindowStateJson(const Module1 &m, const MemoryForm &f, bool drawn)
{
    std::string out = "{\"viewPage\":" + DecimalText(m.ViewPage) + ",\"currentRace\":" + DecimalText(m.CurrentRace)
                      + ",\"currentHorse\":" + DecimalText(m.CurrentHorse) + ",\"focus\":";
    const auto put = [&](std::string_view t) {
        if (drawn && t.size() > kDisplayChars)
            AppendJsonString(out, DisplayText(t));
        else
            AppendJsonString(out, t);
    };
    if (const auto focus = f.focus())
        AppendJsonString(out, kControls[static_cast<std::size_t>(*focus)].name);
    else
        out += "null";
    out += ",\"controls\":{";
    for (const ControlInfo &c : kControls) {
        if (c.ctl != kControls.front().ctl)
            out += ',';
        AppendJsonString(out, c.name);
        out += ":{\"caption\":";
        put(f.caption(c.ctl));
        out += ",\"text\":";
        AppendJsonString(out, f.text(c.ctl));
        out += ",\"value\":" + DecimalText(f.value(c.ctl)) + ",\"visible\":" + (f.visible(c.ctl) ? "true" : "false")
               + ",\"shown\":" + (f.shown(c.ctl) ? "true" : "false") + '}';
    }
    const GridModel &g = f.MSF();
    out += "},\"grid\":{\"rows\":" + DecimalText(g.rows()) + ",\"cols\":" + DecimalText(g.cols())
           + ",\"fixedRows\":" + DecimalText(g.fixedRows()) + ",\"row\":" + DecimalText(g.row())
           + ",\"col\":" + DecimalText(g.col()) + ",\"width\":" + DecimalText(g.width()) + ",\"colWidths\":";
    appendInts(out, g.cols(), [&](int c) { return g.colWidth(c); });
    out += ",\"colAlignments\":";
    appendInts(out, g.cols(), [&](int c) { return g.colAlignment(c); });
    out += ",\"rowHeights\":";
    appendInts(out, g.rows(), [&](int r) { return g.rowHeight(r); });
    out += ",\"cells\":[";
    for (int r = 0; r < g.rows(); ++r) {
        out += r > 0 ? ",[" : "[";
        for (int c = 0; c < g.cols(); ++c) {
            if (c > 0)
                out += ',';
            put(g.cell(r, c));
        }
        out += ']';
    }
    out += "]}}";
    return out;
}

} // namespace kel
