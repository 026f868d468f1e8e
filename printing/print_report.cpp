#include "printing/print_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "store/utf8.h"
#include "store/percent.h"
#include "views/display_text.h"
#include "views/commands.h"

namespace kel {

namespace {

constexpr std::string_view kFont = "Arial";
constexpr double kRuleEnd = 11500;
constexpr uint32_t kBlack = 0x000000;
// A race starts a new page below this Y, a horse line below the second.
constexpr int32_t kRaceStartLimit = 12000;
constexpr double kHorseLineLimit = 14000;
constexpr std::size_t kTitleLineLimit = 125;

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

double RoundHalfEven(double v)
{
    const double fl = std::floor(v);
    const double diff = v - fl;
    if (diff > 0.5)
        return fl + 1;
    if (diff < 0.5)
        return fl;
    return std::fmod(fl, 2) == 0 ? fl : fl + 1;
}

template <typename Int>
Int RoundTo(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = RoundHalfEven(v);
    if (r <= std::numeric_limits<Int>::min())
        return std::numeric_limits<Int>::min();
    if (r >= std::numeric_limits<Int>::max())
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(r);
}

// Asks for a number. Nothing when the box is cancelled or left empty, or (after saying so)
// when the answer is not a number.
std::optional<double> AskNumber(Dialogs &d, std::string_view prompt, std::string_view title,
                                std::string_view defaultText)
{
    const std::optional<std::string> answer = d.inputBox(prompt, title, defaultText);
    if (!answer || answer->find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    std::optional<double> n = AnswerNumber(*answer);
    if (!n)
        d.msgBox("\"" + *answer + "\" is not a number", kAppTitle, MsgButtons::Ok);
    return n;
}

} // namespace

std::optional<double> AnswerNumber(std::string_view answer)
{
    const std::size_t first = answer.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t last = answer.find_last_not_of(" \t");
    return PlainNumber(answer.substr(first, last - first + 1));
}

int16_t ToInt16(double value)
{
    return RoundTo<int16_t>(value);
}

int32_t ToInt32(double value)
{
    return RoundTo<int32_t>(value);
}

int32_t CenterX(Printer &p, std::string_view text, int32_t width)
{
    const double half = std::floor(width / 2.0) - std::floor(p.textWidth(text) / 2);
    return RoundTo<int32_t>(half);
}

std::vector<std::string> TitleLines(std::string_view caption)
{
    // One view per character, so that positions count characters.
    std::string text(caption);
    for (char &ch : text)
        if (static_cast<unsigned char>(ch) < 19)
            ch = ' ';
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Utf8CharLength(text, i);
        chars.push_back(std::string_view(text).substr(i, len));
        i += len;
    }

    // Positions are 1-based, as the rules count them; [from, to] inclusive, from the start of
    // what is left of the title.
    std::size_t start = 0;
    const auto left = [&] { return chars.size() - start; };
    const auto at = [&](std::size_t pos) { return chars[start + pos - 1]; };
    const auto piece = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t k = from; k <= to; ++k)
            s += at(k);
        return s;
    };
    // The first j of 1..124 with "Selec" at j + 1, or 0.
    const auto selecBefore = [&]() -> std::size_t {
        static constexpr std::string_view kSelec[] = {"S", "e", "l", "e", "c"};
        for (std::size_t j = 1; j < kTitleLineLimit && j + 5 <= left(); ++j) {
            bool match = true;
            for (std::size_t k = 0; k < 5 && match; ++k)
                match = at(j + 1 + k) == kSelec[k];
            if (match)
                return j;
        }
        return 0;
    };

    std::vector<std::string> lines;
    while (left() >= kTitleLineLimit) {
        std::size_t j = selecBefore();
        if (j == 0)
            j = kTitleLineLimit;
        while (j > 0 && at(j) != " ")
            --j;
        if (j == 0) {
            // No blank to break at: a hard break keeps the line below the limit.
            lines.push_back(piece(1, kTitleLineLimit - 1));
            start += kTitleLineLimit - 1;
        } else {
            lines.push_back(piece(1, j - 1));
            start += j;
        }
    }
    if (const std::size_t j = selecBefore(); j > 0) {
        lines.push_back(piece(1, j - 1));
        start += j;
    }
    lines.push_back(piece(1, left()));
    return lines;
}

void PrintHorsePPs(Printer &p, GridModel &grid, double sizeFactor, int16_t ppCount)
{
    if (grid.rows() == 0) {
        p.printLine("");
        return;
    }
    const int savedRow = grid.row();
    const int savedCol = grid.col();
    p.setFontName(kFont);
    p.setFontBold(false);
    p.setFontSize(6 * sizeFactor);
    double lineY = p.currentY();
    // A line that would run off the paper goes to the top of a new page.
    const auto makeRoom = [&] {
        if (lineY > 0 && lineY + p.lineHeight() > p.pageHeight()) {
            p.newPage();
            lineY = 0;
        }
    };

    for (int i = grid.fixedRows(); i <= ppCount; ++i) {
        if (grid.rows() != 1) {
            grid.setRow(1);
            grid.setCol(2);
        }
        if (grid.text() != "-" && grid.rows() > 1) {
            makeRoom();
            for (const PPField &field : kPPFields) {
                grid.setRow(i);
                grid.setCol(field.col);
                p.setCurrentY(lineY);
                p.setCurrentX(field.x);
                const std::string text = DisplayText(grid.text());
                p.printLine(field.maxChars ? Utf8Left(text, field.maxChars) : text);
            }
        } else if (i == 1) {
            makeRoom();
            p.printLine("");
        }
        lineY = p.currentY();
        if (i + 1 == grid.rows())
            break;
    }

    p.drawLine(0, p.currentY(), kRuleEnd, p.currentY(), kBlack);
    p.setCurrentX(0);
    grid.setRow(savedRow);
    grid.setCol(savedCol);
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
    std::vector<int32_t> widths(cols, 0);
    p.setFontBold(false);

    // The widths that count are those of the last row measured.
    const int firstRow = grid->fixedRows();
    const int lastRow = grid->rows() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid->rowHeight(r) <= 1)
            continue;
        grid->setRow(r);
        for (int c = 0; c < cols; ++c) {
            grid->setCol(c);
            widths[c] = ToInt32(p.textWidth(DisplayText(grid->text())));
        }
    }
    int64_t total = 0;
    for (int32_t w : widths)
        total += w;
    total = std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());

    if (ToInt32(p.currentY()) > kRaceStartLimit)
        p.newPage();

    p.setFontSize(8 * sizeFactor);
    p.setFontBold(true);
    const double titleWidth = p.textWidth(caption);
    const double w = titleWidth > static_cast<double>(total) ? titleWidth : static_cast<double>(total);
    p.setCurrentX(CenterX(p, caption, ToInt32(w)));
    for (const std::string &line : TitleLines(caption))
        p.printLine(line);
    p.printLine("");

    p.setFontSize(8 * sizeFactor);
    int16_t nextRowY = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid->rowHeight(r) <= 1)
            continue;
        grid->setRow(r);
        if (p.currentY() > kHorseLineLimit) {
            p.newPage();
            p.setCurrentY(0);
        }
        const double rowTop = p.currentY();
        if (printLastPPs)
            p.drawLine(0, rowTop, kRuleEnd, rowTop, kBlack);
        p.setCurrentX(0);
        p.setFontSize(9 * sizeFactor);

        bool nameLinePrinted = false;
        double lowest = rowTop;
        for (int c = 0; c < cols; ++c) {
            if (widths[c] <= 0)
                continue;
            grid->setCol(c);
            p.setCurrentY(rowTop);
            p.setFontBold(printLastPPs);
            p.printLine(DisplayText(grid->text()));
            lowest = std::max(lowest, p.currentY());
            if (c < kPlacedColumns) {
                p.setCurrentX(kAfterColumn[c].x);
                p.setFontSize(kAfterColumn[c].size * sizeFactor);
            }
            if (c == 1) {
                nextRowY = ToInt16(p.currentY());
                nameLinePrinted = true;
            }
        }
        // Without the name column the line is as tall as its tallest text, so the next one
        // does not print over it.
        if (!nameLinePrinted)
            nextRowY = ToInt16(lowest);
        p.setCurrentY(nextRowY);

        if (printLastPPs) {
            p.drawLine(300, p.currentY(), kRuleEnd, p.currentY(), kBlack);
            m.ViewPage = 2;
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

void Printd_Click(Module1 &m, Form &f, Dialogs &d, PrintTarget &target)
{
    // The button is shown on the race list and the horses page only.
    if (m.ViewPage != 1 && m.ViewPage != 2)
        return;

    const double sizeFactor = 1;
    bool printLastPPs = false;
    int16_t ppCount = 0;
    const MsgAnswer lastPPs = d.msgBox("Print last pp's?", "Select", MsgButtons::YesNo);
    if (lastPPs == MsgAnswer::Cancel)
        return;
    if (lastPPs == MsgAnswer::Yes) {
        printLastPPs = true;
        const std::optional<double> n = AskNumber(d, "How many pp's do you want to print?", "Enter number", "4");
        if (!n)
            return;
        ppCount = ToInt16(*n);
    }

    int firstRow = 0;
    int lastRow = -1;
    if (m.ViewPage == 1) {
        const int listed = f.MSF().rows();
        const std::optional<double> first = AskNumber(d, "First race?", "Select", "1");
        if (!first)
            return;
        const std::optional<double> last = AskNumber(d, "Last race?", "Select", std::to_string(listed));
        if (!last)
            return;
        firstRow = std::max<int>(ToInt16(*first - 1), 0);
        lastRow = std::min<int>(ToInt16(*last - 1), listed - 1);
    }

    Printer *p = target.open();
    if (!p)
        return;

    if (m.ViewPage == 1) {
        for (int row = firstRow; row <= lastRow; ++row) {
            f.MSF().setRow(row);
            m.ViewPage = 1;
            ShowRaceHorses(m, f);
            PrintRace(m, f, *p, f.caption(Ctl::LabelCarreras), sizeFactor, printLastPPs, ppCount);
            ShowRaceList(m, f);
        }
        m.ViewPage = 1;
    } else {
        PrintRace(m, f, *p, f.caption(Ctl::LabelCarreras), sizeFactor, printLastPPs, ppCount);
    }
    p->endDoc();
}

} // namespace kel
