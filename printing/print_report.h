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

// The answers to the "Print" button's questions.
struct PrintRequest
{
    bool printLastPPs = false;
    int16_t ppCount = 0; // PPs printed per horse; 0 without them
    // Rows of the race list (race n on row n - 1) printed from the race list; rows outside the
    // list are left out, none when lastRow < firstRow. The horses page prints its own race.
    int firstRow = 0;
    int lastRow = -1;
    double sizeFactor = 1;
};

// Where the "Print" button's report goes once its questions are answered: it prints the report
// with PrintReport onto a printer of its own (the window shows a preview first).
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    virtual void print(Module1 &m, Form &f, const PrintRequest &request) = 0;
};

// The "Print" button: asks whether and how many PPs to print and, on the race list, which races,
// then hands the answers to the target. A cancelled or empty answer, or a non-number (after a
// message), abandons the command before anything is printed or any page changes.
void Printd_Click(Module1 &m, Form &f, Dialogs &d, PrintTarget &target);
// The questions alone; nothing when the command is abandoned.
std::optional<PrintRequest> AskPrintQuestions(Module1 &m, Form &f, Dialogs &d);

// Prints the report the request asks for from the page shown (the race list or the horses
// page), passing the grid through the pages of each race and horse printed and back, and ends
// the document, also when nothing was printed.
void PrintReport(Module1 &m, Form &f, Printer &p, const PrintRequest &request);

// Prints the race shown on the horses page from the grid's texts, under the given title, and
// with printLastPPs each horse's first ppCount PPs (passing the grid through the PP page of
// every horse and back). Every text is cut to what fits before the next text on its line, or
// before the page's right edge. The grid's current cell is left as found.
void PrintRace(Module1 &m, Form &f, Printer &p, std::string caption, double sizeFactor, bool printLastPPs,
               int16_t ppCount);

// X at which text in the printer's current font starts when centred over [0, width).
int32_t CenterX(Printer &p, std::string_view text, int32_t width);

// Prints the PP lines of the PP page the grid shows, then a closing rule; one empty line for a
// grid without rows (a scratched horse). PP lines that would run off the page begin a new one.
void PrintHorsePPs(Printer &p, const GridModel &grid, double sizeFactor, int16_t ppCount);

// The title lines of a race: control characters become blanks, lines break before "Selec"
// and at a blank so that no line reaches 125 characters. The empty line after them is not
// included.
std::vector<std::string> TitleLines(std::string_view caption);
// Lines wider than width in the printer's current font break at their last blank that fits,
// or, without one, after their last character that fits.
std::vector<std::string> FitLines(Printer &p, const std::vector<std::string> &lines, double width);
// The longest start of text, in whole characters, that printed at x in the printer's current
// font ends before limit.
std::string_view FitText(Printer &p, std::string_view text, double x, double limit);

// The races a request prints, [first, last]; none when last < first.
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

// An answer of an input box as a number; nothing when it is not one (blanks around it aside).
std::optional<double> AnswerNumber(std::string_view answer);
// To 16-bit: the nearest whole number, a half to the even one, limited to the 16-bit range.
int16_t ToInt16(double value);
// To 32-bit likewise.
int32_t ToInt32(double value);

} // namespace kel
