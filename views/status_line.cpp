#include "views/status_line.h"

#include <vector>

#include "settings/scope.h"
#include "store/number_text.h"
#include "store/utf8.h"
#include "views/commands.h"

namespace kel {

namespace {

constexpr int kHorsesPage = 2;
constexpr int kPPPage = 3;

// As the file list shows it: a byte that starts no character as U+FFFD.
std::string shownName(std::string_view path)
{
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = Utf8CharLength(name, i);
        if (len == 1 && static_cast<unsigned char>(name[i]) >= 0x80)
            out += "\ufffd";
        else
            out.append(name.substr(i, len));
        i += len;
    }
    return out;
}

std::string counted(long long n, std::string_view one, std::string_view many)
{
    return DecimalText(n) + ' ' + std::string(n == 1 ? one : many);
}

std::string joined(const std::vector<std::string> &pieces)
{
    std::string out;
    for (const std::string &piece : pieces) {
        if (!out.empty())
            out += kStatusSeparator;
        out += piece;
    }
    return out;
}

std::string raceName(int r)
{
    return "race " + DecimalText(r);
}

} // namespace

std::string StatusMarks(const Module1 &m)
{
    if (m.cardPath.empty())
        return "No card open";

    int races = 0;
    int notedRaces = 0;
    int notedRace = 0;
    const FilterNote *note = nullptr; // the notes' settings when every noted race has the same
    bool sameNotes = true;
    long long filtered = 0;
    int scratched = 0;
    ForEachRace(m.Data, m.CurrentRace, [&](int r) {
        ++races;
        const FilterNote &n = m.filterNotes[static_cast<std::size_t>(r)];
        if (!n.settings.empty()) {
            if (++notedRaces == 1) {
                note = &n;
                notedRace = r;
            } else if (n.settings != note->settings || n.earlier != note->earlier) {
                sameNotes = false;
            }
        }
        ForEachHorse(m.Data, r, [&](int h) {
            scratched += IsScratched(m.Data, r, h) ? 1 : 0;
            ForEachPP(m.Data, r, h, kMarkedPPs, [&](const PPRef &pp) { filtered += pp[kPPMark] == kFilterMark; });
        });
    });

    std::string head;
    if (notedRaces > 0) {
        head = sameNotes ? "Filter " + note->settings : std::string("Filters");
        if (sameNotes && note->earlier > 0)
            head += " (after " + counted(note->earlier, "other", "others") + ")";
        if (m.CurrentRace != 0 || notedRaces == 1)
            head += " on " + raceName(notedRace);
        else if (notedRaces == races)
            head += " on the card";
        else
            head += " on " + counted(notedRaces, "race", "races");
    } else {
        head = m.CurrentRace != 0 ? "Race " + DecimalText(m.CurrentRace) : std::string("The card");
    }
    std::vector<std::string> pieces;
    if (notedRaces > 0 || filtered > 0)
        pieces.push_back(filtered == 0 ? std::string("no PP left out")
                                       : counted(filtered, "PP left out", "PPs left out"));
    if (scratched > 0)
        pieces.push_back(DecimalText(scratched) + " scratched");
    if (pieces.empty())
        pieces.emplace_back("every PP counts");
    if (filtered > 0 || scratched > 0)
        pieces.emplace_back("Reset data clears them");
    return shownName(m.cardPath) + std::string(kStatusSeparator) + head + ": " + joined(pieces);
}

std::string StatusCurrent(const Module1 &m, const GridModel &g)
{
    // The rows a refused open left on show are no card's: Enter there opens an empty race.
    if (m.cardPath.empty())
        return {};
    const int row = g.row();
    const int col = g.col();
    switch (m.ViewPage) {
    case 1:
        return row >= 0 && row < g.rows() ? "Enter opens " + raceName(row + 1) : std::string();
    case kHorsesPage: {
        // The horse S acts on: horse `row` of the race, as the scratch command takes it.
        const int r = m.CurrentRace != 0 ? m.CurrentRace : 1;
        if (row < 1 || row > RaceStore::kMaxHorse || row >= g.rows() || m.Data(r, row, 0, kKeySlot).empty())
            return {};
        const std::string horse
            = std::string(m.Data(r, row, 0, kKeySlot)) + ' ' + std::string(m.Data(r, row, 0, kHorseName));
        if (IsScratched(m.Data, r, row))
            return horse + " is scratched";
        std::vector<std::string> pieces{"S scratches: " + horse};
        for (int c = 0; c < g.cols(); ++c) {
            const std::string &text = g.cell(row, c);
            if (c + 1 != kHorseName && PageColumnKind(kHorsesPage, c) == ColumnKind::Text && !text.empty())
                pieces.push_back(g.cell(0, c) + ": " + text);
        }
        return joined(pieces);
    }
    case kPPPage: {
        if (row < g.fixedRows() || !g.contains(row, col) || g.cell(row, col).empty())
            return {};
        const std::string &header = g.fixedRows() > 0 ? g.cell(0, col) : std::string();
        return header.empty() ? g.cell(row, col) : header + ": " + g.cell(row, col);
    }
    default:
        return {};
    }
}

} // namespace kel
