#include "printing/print_report.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "store/utf8.h"
#include "views/display_text.h"
#include "views/commands.h"

namespace kel {

namespace {

constexpr std::string_view kFont = "Arial";
constexpr double kRuleEnd = 11500;
constexpr uint32_t kBlack = 0x000000;
// A race starts a new page below this Y, a horse line below the second; on a page too short
// for them, below the last Y that leaves room for a 9-point and a 6-point line.
constexpr double kRaceStartLimit = 12000;
constexpr double kHorseLineLimit = 14000;

// Where the next column of a horse line goes, and in which size, after column c.
struct NextColumn
{
    double x;
    double size;
};
constexpr NextColumn kAfterColumn[] = {
    {300, 9},  {2700, 9}, {3150, 6}, {3750, 6}, {4200, 6},  {4700, 6},
    {5200, 6}, {6700, 6}, {5700, 6}, {6200, 6}, {17700, 6},
};
constexpr int kPlacedColumns = static_cast<int>(std::size(kAfterColumn));
// The horses page's name column: the line below it is where the next horse line starts.
constexpr int kNameColumn = 1;
// The horses page's hidden column, beyond every paper: never printed, never missed.
constexpr int kHiddenColumn = 11;
constexpr int kKelColumn = 2;

// The fields of one PP line in print order: PP page column, X, characters kept (0 = all).
struct PPField
{
    int col;
    double x;
    std::size_t maxChars;
};
constexpr PPField kPPFields[] = {
    {2, 300, 0},   {3, 900, 0},    {4, 1500, 0},  {0, 2100, 8},  {1, 2700, 0},
    {5, 3000, 0},  {6, 3900, 0},   {7, 4400, 0},  {8, 4950, 0},  {9, 5480, 0},
    {10, 5850, 0}, {11, 6350, 42}, {12, 8800, 0}, {13, 9900, 0}, {14, 10400, 0},
};

struct PageRules
{
    double raceStart;
    double horseLine;
    double ruleEnd;
    double width;
};

PageRules rulesFor(Printer &p, double sizeFactor)
{
    p.setFontSize(9 * sizeFactor);
    const double line9 = p.lineHeight();
    p.setFontSize(6 * sizeFactor);
    const double fit = p.pageHeight() - line9 - p.lineHeight();
    return {std::min(kRaceStartLimit, fit), std::min(kHorseLineLimit, fit), std::min(kRuleEnd, p.pageWidth()),
            p.pageWidth()};
}

// The X of the nearest text to the right that is not empty and starts on the paper, else the edge.
double rightLimit(std::span<const double> xs, std::span<const std::string_view> texts, std::size_t i, double width)
{
    double limit = width;
    for (std::size_t j = 0; j < xs.size(); ++j)
        if (xs[j] > xs[i] && xs[j] < limit && !texts[j].empty())
            limit = xs[j];
    return limit;
}

// The widths the title is centred over: each column's text in the last row measured, in the
// current font. A column is printed when it has a text in any measured row.
struct MeasuredColumns
{
    std::vector<bool> printed;
    int32_t total = 0;
};

MeasuredColumns measureColumns(Printer &p, const GridModel &grid, int cols)
{
    std::vector<int32_t> widths(cols, 0);
    MeasuredColumns out{std::vector<bool>(cols, false), 0};
    for (int r = grid.fixedRows(); r <= grid.rows() - 1; ++r) {
        if (grid.rowHeight(r) <= 1)
            continue;
        for (int c = 0; c < cols; ++c) {
            widths[c] = ToInt32(p.textWidth(DisplayText(grid.cell(r, c))));
            out.printed[c] = out.printed[c] || widths[c] > 0;
        }
    }
    int64_t total = 0;
    for (int32_t w : widths)
        total += w;
    out.total = static_cast<int32_t>(
        std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    return out;
}

// Centred over the wider of the title and the columns.
void printTitle(Printer &p, const std::string &caption, int32_t columnsWidth, const PageRules &rules, double sizeFactor)
{
    p.setFontSize(8 * sizeFactor);
    p.setFontBold(true);
    const double titleWidth = p.textWidth(caption);
    const double w = titleWidth > static_cast<double>(columnsWidth) ? titleWidth : static_cast<double>(columnsWidth);
    const std::vector<std::string> title = FitLines(p, TitleLines(caption), rules.width);
    // The first line starts where the title is centred, unless it would then run off the paper.
    const double firstX = CenterX(p, caption, ToInt32(w));
    p.setCurrentX(std::max(0.0, std::min(firstX, rules.width - p.textWidth(title.front()))));
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (i > 0 && p.currentY() > rules.horseLine) {
            p.newPage();
            p.setCurrentY(0);
        }
        p.printLine(title[i]);
    }
    p.printLine("");
}

struct HorseLineLayout
{
    std::vector<int> columns;
    std::vector<double> xs;
};

HorseLineLayout placeColumns(const std::vector<bool> &printed)
{
    HorseLineLayout out;
    double x = 0;
    for (int c = 0; c < static_cast<int>(printed.size()); ++c) {
        if (!printed[c])
            continue;
        out.columns.push_back(c);
        out.xs.push_back(x);
        x = c < kPlacedColumns ? kAfterColumn[c].x : 0;
    }
    return out;
}

// Returns the Y the next horse line starts at.
int16_t printHorseLine(Printer &p, const GridModel &grid, int r, const HorseLineLayout &layout, const PageRules &rules,
                       double sizeFactor, bool bold)
{
    const std::size_t n = layout.columns.size();
    std::vector<std::string> shown(n);
    std::vector<std::string_view> texts(n);
    for (std::size_t i = 0; i < n; ++i) {
        shown[i] = DisplayText(grid.cell(r, layout.columns[i]));
        texts[i] = shown[i];
    }
    const double rowTop = p.currentY();
    int16_t nextRowY = 0;
    bool nameLinePrinted = false;
    double lowest = rowTop;
    for (std::size_t i = 0; i < n; ++i) {
        const int c = layout.columns[i];
        p.setCurrentY(rowTop);
        p.setFontBold(bold);
        const std::string printed = CutText(p, texts[i], layout.xs[i], rightLimit(layout.xs, texts, i, rules.width));
        if (printed.empty() && !texts[i].empty() && c != kHiddenColumn)
            p.noteLeftOut(DisplayText(grid.cell(0, c)));
        p.printLine(printed);
        lowest = std::max(lowest, p.currentY());
        if (c < kPlacedColumns) {
            p.setCurrentX(kAfterColumn[c].x);
            p.setFontSize(kAfterColumn[c].size * sizeFactor);
        }
        if (c == kNameColumn) {
            nextRowY = ToInt16(p.currentY());
            nameLinePrinted = true;
        }
    }
    // Without the name column, as tall as its tallest text so that the next does not print over it.
    return nameLinePrinted ? nextRowY : ToInt16(lowest);
}

} // namespace

int32_t CenterX(Printer &p, std::string_view text, int32_t width)
{
    return ToInt32(std::floor(width / 2.0) - std::floor(p.textWidth(text) / 2));
}

void PrintHorsePPs(Printer &p, const GridModel &grid, double sizeFactor, int16_t ppCount)
{
    if (grid.rows() == 0) {
        p.printLine("");
        return;
    }
    p.setFontName(kFont);
    p.setFontBold(false);
    p.setFontSize(6 * sizeFactor);
    const double width = p.pageWidth();
    double lineY = p.currentY();
    const auto makeRoom = [&] {
        if (lineY > 0 && lineY + p.lineHeight() > p.pageHeight()) {
            p.newPage();
            lineY = 0;
        }
    };

    constexpr std::size_t kFields = std::size(kPPFields);
    double xs[kFields];
    for (std::size_t k = 0; k < kFields; ++k)
        xs[k] = kPPFields[k].x;
    // Only the first PP's "KEL" decides whether the horse has PP lines.
    const bool rated = grid.rows() > 1 && grid.cell(1, kKelColumn) != "-";
    for (int i = grid.fixedRows(); i <= ppCount; ++i) {
        if (rated) {
            makeRoom();
            std::string shown[kFields];
            std::string_view texts[kFields];
            for (std::size_t k = 0; k < kFields; ++k) {
                shown[k] = DisplayText(grid.cell(i, kPPFields[k].col));
                texts[k] = kPPFields[k].maxChars ? Utf8Left(shown[k], kPPFields[k].maxChars) : shown[k];
            }
            for (std::size_t k = 0; k < kFields; ++k) {
                p.setCurrentY(lineY);
                p.setCurrentX(xs[k]);
                const std::string printed = CutText(p, texts[k], xs[k], rightLimit(xs, texts, k, width));
                if (printed.empty() && !texts[k].empty())
                    p.noteLeftOut("PP " + DisplayText(grid.cell(0, kPPFields[k].col)));
                p.printLine(printed);
            }
        } else if (i == 1) {
            makeRoom();
            p.printLine("");
        }
        lineY = p.currentY();
        if (i + 1 == grid.rows())
            break;
    }

    const double ruleEnd = std::min(kRuleEnd, width);
    p.drawLine(0, p.currentY(), ruleEnd, p.currentY(), kBlack);
    p.setCurrentX(0);
}

void PrintRace(Module1 &m, Form &f, Printer &p, std::string caption, double sizeFactor, bool printLastPPs,
               int16_t ppCount)
{
    caption = DisplayText(caption);
    GridModel *grid = &f.MSF();
    const int savedRow = grid->row();
    const int savedCol = grid->col();

    p.setFontName(kFont);
    p.setFontSize(10 * sizeFactor);
    p.setFontBold(true);
    const int cols = std::max(grid->cols(), 0);
    p.setFontBold(false);
    const MeasuredColumns measured = measureColumns(p, *grid, cols);

    const PageRules rules = rulesFor(p, sizeFactor);
    if (ToInt32(p.currentY()) > rules.raceStart)
        p.newPage();
    printTitle(p, caption, measured.total, rules, sizeFactor);

    const HorseLineLayout layout = placeColumns(measured.printed);
    p.setFontSize(8 * sizeFactor);
    // Rows as the race was measured: printing a horse's PPs passes the grid through its page.
    const int firstRow = grid->fixedRows();
    const int lastRow = grid->rows() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid->rowHeight(r) <= 1)
            continue;
        if (p.currentY() > rules.horseLine) {
            p.newPage();
            p.setCurrentY(0);
        }
        if (printLastPPs)
            p.drawLine(0, p.currentY(), rules.ruleEnd, p.currentY(), kBlack);
        p.setCurrentX(0);
        p.setFontSize(9 * sizeFactor);
        p.setCurrentY(printHorseLine(p, *grid, r, layout, rules, sizeFactor, printLastPPs));

        if (printLastPPs) {
            p.drawLine(300, p.currentY(), rules.ruleEnd, p.currentY(), kBlack);
            m.CurrentHorse = static_cast<int16_t>(r);
            m.ViewPage = 3;
            ShowHorsePPs(m, f);
            PrintHorsePPs(p, f.MSF(), sizeFactor, ppCount);
            ShowRaceHorses(m, f);
            grid = &f.MSF();
        }
    }

    p.setCurrentX(0);
    p.printLine("");
    grid->setRow(savedRow);
    grid->setCol(savedCol);
}

} // namespace kel
