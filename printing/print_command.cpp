#include "printing/print_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "store/number_text.h"
#include "views/commands.h"

namespace kel {

namespace {

// Half to even is the default rounding mode; NaN gives 0.
template <typename Int>
Int roundTo(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<Int>(std::clamp(std::nearbyint(v), static_cast<double>(std::numeric_limits<Int>::min()),
                                       static_cast<double>(std::numeric_limits<Int>::max())));
}

// Nothing when the box is cancelled or left empty; a non-number is said so and asked again.
std::optional<double> askNumber(Dialogs &d, std::string_view prompt, std::string_view title,
                                std::string_view defaultText)
{
    for (;;) {
        const std::optional<std::string> answer = d.inputBox(prompt, title, defaultText);
        if (!answer || answer->find_first_not_of(" \t") == std::string::npos)
            return std::nullopt;
        if (const std::optional<double> n = AnswerNumber(*answer))
            return n;
        d.msgBox("\"" + *answer + "\" is not a number", kAppTitle, MsgButtons::Ok);
    }
}

// "<one>N" for one race, "<many>N-M" for several, nothing for none.
std::string racesText(RaceSpan races, std::string_view one, std::string_view many)
{
    if (races.last < races.first)
        return {};
    std::string text(races.first == races.last ? one : many);
    text += DecimalText(races.first);
    if (races.last != races.first) {
        text += '-';
        text += DecimalText(races.last);
    }
    return text;
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
    return roundTo<int16_t>(value);
}

int32_t ToInt32(double value)
{
    return roundTo<int32_t>(value);
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
        const std::optional<double> n = askNumber(d, "How many pp's do you want to print?", "Enter number", "4");
        if (!n)
            return std::nullopt;
        request.ppCount = ToInt16(*n);
    }
    if (m.ViewPage == 1) {
        const std::optional<double> first = askNumber(d, "First race?", "Select", "1");
        if (!first)
            return std::nullopt;
        const std::optional<double> last = askNumber(d, "Last race?", "Select", DecimalText(f.MSF().rows()));
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
    return std::string(cardName) + racesText(races, ", race ", ", races ");
}

std::string ReportFileName(std::string_view cardName, RaceSpan races)
{
    const std::size_t dot = cardName.rfind('.');
    std::string name(cardName.substr(0, dot == 0 || dot == std::string_view::npos ? cardName.size() : dot));
    return name + racesText(races, "-race-", "-races-") + ".pdf";
}

} // namespace kel
