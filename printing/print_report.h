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

// Where the report goes. Asked once every question is answered (the window shows the
// platform's print dialog then); null when the user cancelled it. The target keeps ownership.
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    virtual Printer *open() = 0;
};

// The "Print" button: asks whether and how many PPs to print and, on the race list, which
// races; then prints them to the target's printer and ends the document. A cancelled or empty
// answer, a non-number (after a message) or a cancelled target abandons the command before
// anything is printed or any page changes. Race numbers outside the list are left out.
void Printd_Click(Module1 &m, Form &f, Dialogs &d, PrintTarget &target);

// Prints the race shown on the horses page from the grid's texts, under the given title, and
// with printLastPPs each horse's first ppCount PPs (passing the grid through the PP page of
// every horse and back). The grid's current cell is left as found.
void PrintRace(Module1 &m, Form &f, Printer &p, std::string caption, double sizeFactor, bool printLastPPs,
               int16_t ppCount);

// X at which text in the printer's current font starts when centred over [0, width).
int32_t CenterX(Printer &p, std::string_view text, int32_t width);

// Prints the PP lines of the PP page the grid shows, then a closing rule; one empty line for a
// grid without rows (a scratched horse). PP lines that would run off the page begin a new one.
void PrintHorsePPs(Printer &p, GridModel &grid, double sizeFactor, int16_t ppCount);

// The title lines of a race: control characters become blanks, lines break before "Selec"
// and at a blank so that no line reaches 125 characters. The empty line after them is not
// included.
std::vector<std::string> TitleLines(std::string_view caption);

// An answer of an input box as a number; nothing when it is not one (blanks around it aside).
std::optional<double> AnswerNumber(std::string_view answer);
// To 16-bit: the nearest whole number, a half to the even one, limited to the 16-bit range.
int16_t ToInt16(double value);
// To 32-bit likewise.
int32_t ToInt32(double value);

} // namespace kel
