#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/printer.h"
#include "store/module1.h"
#include "views/dialogs.h"
#include "views/form.h"
#include "views/grid_model.h"

namespace kel {

struct PrintRequest
{
    bool printLastPPs = false;
    int16_t ppCount = 0; // PPs printed per horse; 0 without them
    // Race list rows (race n on row n - 1); the horses page prints its own race.
    int firstRow = 0;
    int lastRow = -1;
    double sizeFactor = 1;
};

// Prints with PrintReport onto a printer of its own (the window shows a preview first).
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    virtual void print(Module1 &m, Form &f, const PrintRequest &request) = 0;
};

// A cancelled or empty answer abandons the command before anything is printed or any page
// changes; a non-number is said so and the question asked again.
void Printd_Click(Module1 &m, Form &f, Dialogs &d, PrintTarget &target);
std::optional<PrintRequest> AskPrintQuestions(Module1 &m, Form &f, Dialogs &d);

// Passes the grid through the pages of each race and horse printed and back, and ends the
// document, also when nothing was printed.
void PrintReport(Module1 &m, Form &f, Printer &p, const PrintRequest &request);

// The race on the horses page, from the grid's texts. A text longer than its room (before the
// next text on its line, or the page's edge) is cut as CutText cuts it; a field without room for
// even that is noted to the printer as left out. The grid's current cell is left as found.
void PrintRace(Module1 &m, Form &f, Printer &p, std::string caption, double sizeFactor, bool printLastPPs,
               int16_t ppCount);

int32_t CenterX(Printer &p, std::string_view text, int32_t width);

// The PPs, then a closing rule; one empty line for a grid without rows (a scratched horse).
void PrintHorsePPs(Printer &p, const GridModel &grid, double sizeFactor, int16_t ppCount);

// Control characters become blanks; lines break before "Selec" and at a blank so that no line
// reaches 125 characters.
std::vector<std::string> TitleLines(std::string_view caption);
// Lines wider than width break at their last blank that fits, or their last character that fits.
std::vector<std::string> FitLines(Printer &p, const std::vector<std::string> &lines, double width);
// The longest start of text, in whole characters, that printed at x ends before limit.
std::string_view FitText(Printer &p, std::string_view text, double x, double limit);
// Whole when it ends by the limit; otherwise cut in whole characters (blanks at the cut dropped)
// and ended by "…" at least a blank's width before the limit, so that a cut always shows. Empty
// when not even "…" has that room.
std::string CutText(Printer &p, std::string_view text, double x, double limit);

// None when last < first.
struct RaceSpan
{
    int first = 0;
    int last = -1;
};
RaceSpan PrintedRaces(Module1 &m, Form &f, const PrintRequest &request);
// The report's title, "CARD.kel, races 1-9" or "CARD.kel, race 2", and the name of a PDF of it
// beside the card, "CARD-races-1-9.pdf" or "CARD-race-2.pdf".
std::string ReportTitle(std::string_view cardName, RaceSpan races);
std::string ReportFileName(std::string_view cardName, RaceSpan races);

std::optional<double> AnswerNumber(std::string_view answer);
// The nearest whole number, a half to the even one, limited to the type's range.
int16_t ToInt16(double value);
int32_t ToInt32(double value);

} // namespace kel
