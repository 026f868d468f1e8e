#include "cli/card_export.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "cli/fair_odds.h"
#include "store/walk.h"

namespace kel {

namespace {

// The JSON lists every PP the loader filed for a horse, so more than the pages list: each one
// carries a Final KEL text, "----" when it has no figure, whatever else of its line is empty.
constexpr PPEnd kListedPPs{kPPFinalKel, RaceStore::kMaxPP};

// Numbers in plain decimal, whatever the locale of the stream.
void putNumber(std::ostream &out, int v)
{
    char buf[16];
    out.write(buf, std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
}

void csvField(std::ostream &out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

// A whole cell a spreadsheet reads as a number with a sign: -5, -1.5, +3, -.5.
bool isSignedNumber(std::string_view text)
{
    if (text.size() < 2 || (text[0] != '-' && text[0] != '+'))
        return false;
    const auto digits = [](std::string_view d) {
        return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string_view number = text.substr(1);
    const std::size_t point = number.find('.');
    if (point == std::string_view::npos)
        return digits(number);
    return number.size() > 1 && digits(number.substr(0, point)) && digits(number.substr(point + 1));
}

// A cell a spreadsheet would take for a formula: it starts with "=", "+", "-", "@", a tab or a
// carriage return, and is not a plain number.
bool looksLikeFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos
           && !isSignedNumber(text);
}

void csvCell(std::ostream &out, std::string_view text, bool excel)
{
    if (excel && looksLikeFormula(text)) {
        // Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) of "'" + std::string.
        std::string quoted(1, '\'');
        quoted += text;
        csvField(out, quoted);
    } else {
        csvField(out, text);
    }
}

void jsonString(std::ostream &out, std::string_view text)
{
    out << '"';
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (u < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            const char escape[] = {'\\', 'u', '0', '0', kHex[u >> 4], kHex[u & 0xF]};
            out.write(escape, sizeof escape);
        } else {
            out << c;
        }
    }
    out << '"';
}

void jsonSlots(std::ostream &out, const Module1 &m, int r, int h, int p, int first, int last)
{
    out << "\"slots\":[";
    for (int s = first; s <= last; ++s) {
        if (s > first)
            out << ',';
        jsonString(out, m.Data(r, h, p, s));
    }
    out << ']';
}

} // namespace

void WriteCsv(const Module1 &m, int race, std::ostream &out, TableStyle style)
{
    const char *eol = style.excel ? "\r\n" : "\n";
    if (style.excel)
        out << "\xEF\xBB\xBF";
    out << "race,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched"
        << (style.odds ? ",share,fair_odds" : "") << eol;
    static constexpr int kSlots[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11};
    ForEachRace(m.Data, race, [&](int r) {
        const std::vector<FairOdds> odds = style.odds ? RaceFairOdds(m.Data, r) : std::vector<FairOdds>();
        ForEachHorse(m.Data, r, [&](int h) {
            putNumber(out, r);
            out << ',';
            putNumber(out, h);
            for (int s : kSlots) {
                out << ',';
                csvCell(out, m.Data(r, h, 0, s), style.excel);
            }
            out << (IsScratched(m.Data, r, h) ? ",1" : ",0");
            if (style.odds)
                out << ',' << odds[h - 1].share << ',' << odds[h - 1].fairOdds;
            out << eol;
        });
    });
}

void WriteJson(const Module1 &m, int race, std::ostream &out, TableStyle style)
{
    out << "{\"races\":[";
    bool firstRace = true;
    ForEachRace(m.Data, race, [&](int r) {
        out << (firstRace ? "" : ",") << "{\"number\":";
        putNumber(out, r);
        out << ',';
        firstRace = false;
        jsonSlots(out, m, r, 0, 0, 1, 17);
        out << ",\"horses\":[";
        const std::vector<FairOdds> odds = style.odds ? RaceFairOdds(m.Data, r) : std::vector<FairOdds>();
        bool firstHorse = true;
        ForEachHorse(m.Data, r, [&](int h) {
            out << (firstHorse ? "" : ",") << "{\"number\":";
            putNumber(out, h);
            out << ',';
            firstHorse = false;
            jsonSlots(out, m, r, h, 0, 1, 18);
            if (style.odds) {
                out << ",\"share\":";
                jsonString(out, odds[h - 1].share);
                out << ",\"fair_odds\":";
                jsonString(out, odds[h - 1].fairOdds);
            }
            out << ",\"pps\":[";
            ForEachPP(m.Data, r, h, kListedPPs, [&](const PPRef &pp) {
                out << (pp.number() > 1 ? "," : "") << "{\"number\":";
                putNumber(out, pp.number());
                out << ',';
                jsonSlots(out, m, r, h, pp.number(), 0, 16);
                out << '}';
            });
            out << "]}";
        });
        out << "]}";
    });
    out << "]}\n";
}

} // namespace kel
