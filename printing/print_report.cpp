#include "printing/print_report.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "store/utf8.h"
#include "store/percent.h"
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

// The page rules of one race on the page in use.
struct PageRules
{
    double raceStart;
    double horseLine;
    double ruleEnd;
    double width;
};

PageRules RulesFor(Printer &p, double sizeFactor)
{
    p.setFontSize(9 * sizeFactor);
    const double line9 = p.lineHeight();
    p.setFontSize(6 * sizeFactor);
    const double fit = p.pageHeight() - line9 - p.lineHeight();
    return {std::min(kRaceStartLimit, fit), std::min(kHorseLineLimit, fit), std::min(kRuleEnd, p.pageWidth()),
            p.pageWidth()};
}

// Where a text of a line may end: at the X of the nearest text to its right on the line that
// is not empty and starts on the paper, or at the paper's edge.
double RightLimit(std::span<const double> xs, std::span<const std::string_view> texts, std::size_t i, double width)
{
    double limit = width;
    for (std::size_t j = 0; j < xs.size(); ++j)
        if (xs[j] > xs[i] && xs[j] < limit && !texts[j].empty())
            limit = xs[j];
    return limit;
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

    // Positions are 1-based, as the line limit counts them; [from, to] inclusive, from the start of
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

std::vector<std::string> FitLines(Printer &p, const std::vector<std::string> &lines, double width)
{
    std::vector<std::string> out;
    for (const std::string &line : lines) {
        std::string_view rest = line;
        while (p.textWidth(rest) > width) {
            std::size_t cut = std::string_view::npos;
            for (std::size_t b = rest.find(' '); b != std::string_view::npos && p.textWidth(rest.substr(0, b)) <= width;
                 b = rest.find(' ', b + 1))
                cut = b;
            if (cut != std::string_view::npos) {
                out.emplace_back(rest.substr(0, cut));
                rest.remove_prefix(cut + 1);
                continue;
            }
            std::string_view head = FitText(p, rest, 0, width);
            // A character wider than the page still goes on a line of its own.
            if (head.empty())
                head = rest.substr(0, Utf8CharLength(rest, 0));
            out.emplace_back(head);
            rest.remove_prefix(head.size());
        }
        out.emplace_back(rest);
    }
    return out;
}

std::string_view FitText(Printer &p, std::string_view text, double x, double limit)
{
    if (x + p.textWidth(text) <= limit)
        return text;
    // Character ends; the widths of their prefixes grow with them.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size();) {
        i += Utf8CharLength(text, i);
        ends.push_back(i);
    }
    std::size_t fits = 0;           // characters known to fit
    std::size_t over = ends.size(); // characters known not to
    while (over - fits > 1) {
        const std::size_t mid = (fits + over) / 2;
        if (x + p.textWidth(text.substr(0, ends[mid - 1])) <= limit)
            fits = mid;
        else
            over = mid;
    }
    return text.substr(0, fits == 0 ? 0 : ends[fits - 1]);
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
    // A line that would run off the paper goes to the top of a new page.
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
    const bool rated = grid.rows() > 1 && grid.cell(1, 2) != "-";
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
                p.printLine(FitText(p, texts[k], xs[k], RightLimit(xs, texts, k, width)));
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
    std::vector<int32_t> widths(cols, 0);
    p.setFontBold(false);

    // The title is centred over the widths of the last row measured; a column is left out only
    // when it is empty in every measured row.
    std::vector<bool> printed(cols, false);
    const int firstRow = grid->fixedRows();
    const int lastRow = grid->rows() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid->rowHeight(r) <= 1)
            continue;
        for (int c = 0; c < cols; ++c) {
            widths[c] = ToInt32(p.textWidth(DisplayText(grid->cell(r, c))));
            printed[c] = printed[c] || widths[c] > 0;
        }
    }
    int64_t total = 0;
    for (int32_t w : widths)
        total += w;
    total = std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());

    const PageRules rules = RulesFor(p, sizeFactor);
    if (ToInt32(p.currentY()) > rules.raceStart)
        p.newPage();

    p.setFontSize(8 * sizeFactor);
    p.setFontBold(true);
    const double titleWidth = p.textWidth(caption);
    const double w = titleWidth > static_cast<double>(total) ? titleWidth : static_cast<double>(total);
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

    // Where each printed column starts on a horse line.
    std::vector<int> placed;
    std::vector<double> xs;
    double x = 0;
    for (int c = 0; c < cols; ++c) {
        if (!printed[c])
            continue;
        placed.push_back(c);
        xs.push_back(x);
        x = c < kPlacedColumns ? kAfterColumn[c].x : 0;
    }
    std::vector<std::string> shown(placed.size());
    std::vector<std::string_view> texts(placed.size());

    p.setFontSize(8 * sizeFactor);
    int16_t nextRowY = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid->rowHeight(r) <= 1)
            continue;
        if (p.currentY() > rules.horseLine) {
            p.newPage();
            p.setCurrentY(0);
        }
        const double rowTop = p.currentY();
        if (printLastPPs)
            p.drawLine(0, rowTop, rules.ruleEnd, rowTop, kBlack);
        p.setCurrentX(0);
        p.setFontSize(9 * sizeFactor);

        for (std::size_t i = 0; i < placed.size(); ++i) {
            shown[i] = DisplayText(grid->cell(r, placed[i]));
            texts[i] = shown[i];
        }
        bool nameLinePrinted = false;
        double lowest = rowTop;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const int c = placed[i];
            p.setCurrentY(rowTop);
            p.setFontBold(printLastPPs);
            p.printLine(FitText(p, texts[i], xs[i], RightLimit(xs, texts, i, rules.width)));
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

std::optional<PrintRequest> AskPrintQuestions(Module1 &m, Form &f, Dialogs &d)
{
    // The button is shown on the race list and the horses page only.
    if (m.ViewPage != 1 && m.ViewPage != 2)
        return std::nullopt;

    PrintRequest request;
    const MsgAnswer lastPPs = d.msgBox("Print last pp's?", "Select", MsgButtons::YesNo);
    if (lastPPs == MsgAnswer::Cancel)
        return std::nullopt;
    if (lastPPs == MsgAnswer::Yes) {
        request.printLastPPs = true;
        const std::optional<double> n = AskNumber(d, "How many pp's do you want to print?", "Enter number", "4");
        if (!n)
            return std::nullopt;
        request.ppCount = ToInt16(*n);
    }
    if (m.ViewPage == 1) {
        const std::optional<double> first = AskNumber(d, "First race?", "Select", "1");
        if (!first)
            return std::nullopt;
        const std::optional<double> last = AskNumber(d, "Last race?", "Select", std::to_string(f.MSF().rows()));
        if (!last)
            return std::nullopt;
        request.firstRow = ToInt16(*first - 1);
        request.lastRow = ToInt16(*last - 1);
    }
    return request;
}

void Printd_Click(Module1 &m, Form &f, Dialogs &d, PrintTarget &target)
{
    if (const std::optional<PrintRequest> request = AskPrintQuestions(m, f, d))
        target.print(m, f, *request);
}

RaceSpan PrintedRaces(Module1 &m, Form &f, const PrintRequest &request)
{
    if (m.ViewPage == 2)
        return {m.CurrentRace, m.CurrentRace};
    if (m.ViewPage != 1)
        return {};
    return {std::max(request.firstRow, 0) + 1, std::min(request.lastRow, f.MSF().rows() - 1) + 1};
}

void PrintReport(Module1 &m, Form &f, Printer &p, const PrintRequest &request)
{
    if (m.ViewPage == 1) {
        const RaceSpan races = PrintedRaces(m, f, request);
        for (int race = races.first; race <= races.last; ++race) {
            f.MSF().setRow(race - 1);
            m.ViewPage = 1;
            ShowRaceHorses(m, f);
            PrintRace(m, f, p, f.caption(Ctl::LabelCarreras), request.sizeFactor, request.printLastPPs,
                      request.ppCount);
            ShowRaceList(m, f);
        }
        m.ViewPage = 1;
    } else if (m.ViewPage == 2) {
        PrintRace(m, f, p, f.caption(Ctl::LabelCarreras), request.sizeFactor, request.printLastPPs, request.ppCount);
    }
    p.endDoc();
}

std::string ReportTitle(std::string_view cardName, RaceSpan races)
{
    std::string title(cardName);
    if (races.last < races.first)
        return title;
    title += races.first == races.last ? ", race " : ", races ";
    title += std::to_string(races.first);
    if (races.last != races.first)
        title += "-" + std::to_string(races.last);
    return title;
}

std::string ReportFileName(std::string_view cardName, RaceSpan races)
{
    const std::size_t dot = cardName.rfind('.');
    std::string name(cardName.substr(0, dot == 0 || dot == std::string_view::npos ? cardName.size() : dot));
    if (races.last >= races.first) {
        name += races.first == races.last ? "-race-" : "-races-";
        name += std::to_string(races.first);
        if (races.last != races.first)
            name += "-" + std::to_string(races.last);
    }
    return name + ".pdf";
}

} // namespace kel
