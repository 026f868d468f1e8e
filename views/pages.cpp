#include <array>
#include <string>
#include <string_view>

#include "store/walk.h"
#include "views/commands.h"

namespace kel {

namespace {

constexpr std::string_view kHelpRaceList = "Select a race doing doubleclik over the grid row";
constexpr std::string_view kHelpHorses
    = "View the horse past performances doing doubleclik over the grid row. Press 'S' if the horse is "
      "scratched. Press ESC to escape.";
constexpr std::string_view kHelpPPs
    = "Doing doubleclik over the grid col you grow/reduce the colwidth. Press ESC to return to the "
      "previous form";

struct Column
{
    std::string_view header;
    int width;
    ColumnKind kind;
};

constexpr ColumnKind F = ColumnKind::Figure;
constexpr ColumnKind T = ColumnKind::Text;
constexpr ColumnKind H = ColumnKind::Hidden;

constexpr std::array<Column, 12> kHorseColumns{{
    {"#", 400, F},
    {"Horse Name", 2000, T},
    {"Lbs", 400, F},
    {"Record", 800, T},
    {"Qualy", 550, F},
    {"Early", 550, F},
    {"Final", 550, F},
    {"% W", 500, F},
    {"Horse Data", 4000, T},
    {"Jockey", 650, T},
    {"Trainer", 650, T},
    {"", 1, H},
}};
constexpr int kWinPercentColumn = 7;
// Horse slot k in column k - 1; the last, 1 twip wide, gets no header and keeps its alignment.
constexpr int kShownHorseSlots = static_cast<int>(kHorseColumns.size());
constexpr int kHeadedHorseColumns = kShownHorseSlots - 1;
static_assert(kHeadedHorseColumns == kHeadedHorseSlots);

constexpr std::array<Column, 16> kPPColumns{{
    {"Date", 800, F},
    {"Track", 500, F},
    {"KEL", 750, F},
    {"Early KEL", 750, F},
    {"Final KEL", 750, F},
    {"Pos.Lbs.(Lengths)", 1400, T},
    {"Distance", 750, F},
    {"Time", 700, F},
    {"T Cond", 700, F},
    {"Purse", 500, F},
    {"Pos-Qualy", 800, F},
    {"Other horses", 3000, T},
    {"Jockey", 1000, T},
    {"Odd", 700, F},
    {"Race Pos", 1200, T},
    {"", 1, H},
}};
// PP slot k is shown in column k - 1; the last column, 1 twip wide, gets no header.
constexpr int kShownPPSlots = static_cast<int>(kPPColumns.size());
constexpr int kHeadedPPColumns = kShownPPSlots - 1;
static_assert(kHeadedPPColumns == kHeadedPPSlots);

// The printed PPs' walk too.
constexpr PPEnd kShownPPs{kPPDate, RaceStore::kMaxPP};

bool isRace(int r)
{
    return r >= 1 && r <= RaceStore::kMaxRace;
}
bool isHorse(int h)
{
    return h >= 1 && h <= RaceStore::kMaxHorse;
}

// Drops every text of the page shown before: cells a build does not write must not keep it.
void clearGrid(GridModel &g)
{
    g.setRows(0);
}

void setUpPPColumns(GridModel &g)
{
    clearGrid(g);
    g.setCols(static_cast<int>(kPPColumns.size()));
    g.setRows(2);
    g.setFixedRows(1);
    g.setRow(0);
    g.setCol(0);
    for (int c = 0; c < kHeadedPPColumns; ++c)
        g.setCell(0, c, kPPColumns[c].header);
    for (int c = 0; c < static_cast<int>(kPPColumns.size()); ++c)
        g.setColWidth(c, kPPColumns[c].width);
    for (int c = 0; c < static_cast<int>(kPPColumns.size()); ++c)
        g.setColAlignment(c, GridModel::LeftTop);
}

} // namespace

void ShowRaceList(Module1 &m, Form &f)
{
    f.setVisible(Ctl::Recalculate, true);
    f.setVisible(Ctl::ResetData, true);
    f.setCaption(Ctl::Label_Help, kHelpRaceList);
    m.ViewPage = 1;
    m.CurrentRace = 0;
    f.setCaption(Ctl::LabelCarreras, f.selectedFile().value_or(std::string()));

    GridModel &g = f.MSF();
    clearGrid(g);
    g.setFixedRows(0);
    g.setRows(1);
    g.setCols(1);
    g.setColWidth(0, g.width());
    g.setColAlignment(0, GridModel::LeftTop);

    std::string line;
    ForEachRace(m.Data, 0, [&](int r) {
        line.clear();
        ForEachSlot(m.Data, r, 0, 0, RaceStore::kMaxSlot, [&](int s, std::string_view slot) {
            if (s > 1)
                line += ' ';
            line += slot;
        });
        g.setCol(0);
        g.setRow(g.rows() - 1);
        g.setText(line);
        g.setRows(g.rows() + 1);
    });
    g.setRows(g.rows() - 1);
}

void ShowRaceHorses(Module1 &m, Form &f)
{
    f.setVisible(Ctl::Recalculate, true);
    f.setVisible(Ctl::ResetData, true);
    f.setVisible(Ctl::Printd, true);
    f.setCaption(Ctl::Label_Help, kHelpHorses);

    GridModel &g = f.MSF();
    if (m.ViewPage == 1)
        m.CurrentRace = static_cast<int16_t>(g.row() + 1);
    // Race 0 holds only horses filed before the first race line, which are never shown.
    const int r = isRace(m.CurrentRace) ? m.CurrentRace : -1;
    m.ViewPage = 2;

    clearGrid(g);
    g.setCols(static_cast<int>(kHorseColumns.size()));
    g.setRows(2);
    g.setFixedRows(1);
    g.setRow(0);
    for (int c = 0; c < static_cast<int>(kHorseColumns.size()); ++c) {
        if (c < kHeadedHorseColumns)
            g.setCell(0, c, kHorseColumns[c].header);
        g.setColWidth(c, kHorseColumns[c].width);
        if (c < kHeadedHorseColumns)
            g.setColAlignment(c, c == kWinPercentColumn ? GridModel::RightTop : GridModel::LeftTop);
    }

    std::string label;
    ForEachSlot(m.Data, r, 0, 0, RaceStore::kMaxSlot, [&](int k, std::string_view slot) {
        label += slot;
        label += ' ';
        if (k == 2)
            label += '\n';
        else if (k == 3 || k == 4)
            label += " - ";
    });
    f.setCaption(Ctl::LabelCarreras, label);

    ForEachHorse(m.Data, r, [&](int h) {
        const bool scratched = IsScratched(m.Data, r, h);
        ForEachSlot(m.Data, r, h, 0, kShownHorseSlots, [&](int k, std::string_view slot) {
            g.setCol(k - 1);
            g.setRow(g.rows() - 1);
            g.setText(k > 1 && scratched ? std::string_view("-") : slot);
        });
        g.setRows(g.rows() + 1);
    });
    g.setRows(g.rows() - 1);
}

ColumnKind PageColumnKind(int viewPage, int col)
{
    if (viewPage == 1)
        return col == 0 ? ColumnKind::Text : ColumnKind::Hidden;
    const auto kindIn = [col](const auto &columns) {
        return col >= 0 && col < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(col)].kind
                                                                  : ColumnKind::Hidden;
    };
    if (viewPage == 2)
        return kindIn(kHorseColumns);
    if (viewPage == 3)
        return kindIn(kPPColumns);
    return ColumnKind::Hidden;
}

std::string_view ScratchedHorseName(const Module1 &m, int row)
{
    const int r = m.CurrentRace;
    if (m.ViewPage != 2 || !isRace(r) || !isHorse(row) || !IsScratched(m.Data, r, row))
        return {};
    return m.Data(r, row, 0, kHorseName);
}

void ShowHorsePPs(Module1 &m, Form &f)
{
    f.setVisible(Ctl::Recalculate, false);
    f.setVisible(Ctl::ResetData, false);
    f.setVisible(Ctl::Printd, false);
    f.setCaption(Ctl::Label_Help, kHelpPPs);

    GridModel &g = f.MSF();
    if (m.ViewPage == 2)
        m.CurrentHorse = static_cast<int16_t>(g.row());
    m.ViewPage = 3;
    // Horse 0 is the race's own record and race 0 holds stray lines: neither is a horse to show.
    const bool horse = isRace(m.CurrentRace) && isHorse(m.CurrentHorse);
    const int r = m.CurrentRace;
    const int h = m.CurrentHorse;

    setUpPPColumns(g);

    std::string label;
    const auto addToLabel = [&](int k, std::string_view slot) {
        label += slot;
        label += ' ';
        if (k == 4)
            label += '\n';
        else if (k >= 2)
            label += " - ";
    };
    if (horse)
        ForEachSlot(m.Data, r, h, 0, RaceStore::kMaxSlot, addToLabel);
    f.setCaption(Ctl::LabelCarreras, label);

    const auto listPP = [&](const PPRef &pp) {
        const std::string_view mark = pp[kPPMark];
        if (mark == kScratchMark) {
            // Drops every PP listed so far; the header stays.
            g.setRows(1);
            return;
        }
        if (mark == kFilterMark)
            return;
        // A PP without the mark after one with it (uneven marks) starts again under the header
        // rather than over it.
        if (g.rows() < 2)
            g.setRows(2);
        const int row = g.rows() - 1;
        ForEachSlot(m.Data, r, h, pp.number(), kShownPPSlots, [&](int k, std::string_view slot) {
            g.setCol(k - 1);
            g.setRow(row);
            g.setText(slot);
        });
        g.setRows(g.rows() + 1);
    };
    if (horse)
        ForEachPP(m.Data, r, h, kShownPPs, listPP);
    g.setRow(0);
    g.setRows(g.rows() - 1);
    g.setCol(0);
}

} // namespace kel
