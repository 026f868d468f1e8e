#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/module1.h"
#include "store/text_buffer.h"
#include "store/utf8.h"
#include "views/dialogs.h"
#include "views/form.h"

namespace kel {

// The longest card name, extension included, the open command takes (in characters): a longer
// one is refused with "error TX1".
inline constexpr std::size_t kMaxCardNameLength = 14;
// A name the open command refuses with "error TX1" for its length (in characters, as shown).
inline bool IsTooLongCardName(std::string_view name)
{
    return Utf8Count(name) > kMaxCardNameLength;
}
// Why such a name is refused and how to mend it: the file list's note on the name, and what the
// window writes on standard error for a card named on its command line.
inline constexpr std::string_view kLongCardNameNote
    = "Names over 14 characters (.kel included) cannot be opened: rename the file to at most 10 characters "
      "and .kel, for example gulfstrm.kel";
// What the file list lists: names ending in ".kel" in any letter case, hidden ones left out.
inline bool IsListedCardName(std::string_view name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return name.size() >= 4 && name[0] != '.' && name[name.size() - 4] == '.' && lower(name[name.size() - 3]) == 'k'
           && lower(name[name.size() - 2]) == 'e' && lower(name[name.size() - 1]) == 'l';
}

// The slots of a record the pages show under a header, from slot 1 up to the first empty one:
// horse slots 1 to kHeadedHorseSlots on the horses page, PP slots 1 to kHeadedPPSlots on the PP
// page (the one-twip column after them shows nothing), every race slot in the race list.
inline constexpr int kHeadedHorseSlots = 11;
inline constexpr int kHeadedPPSlots = 15;

// Page builders of the grid MSF.
void ShowRaceList(Module1 &m, Form &f);
void ShowRaceHorses(Module1 &m, Form &f);
void ShowHorsePPs(Module1 &m, Form &f);
// What a column of a page shows, for drawing it: a figure or a short code, a text that may want
// more room than the column's width, or nothing (the one-twip columns, and columns a page lacks).
enum class ColumnKind { Figure, Text, Hidden };
ColumnKind PageColumnKind(int viewPage, int col);
// The name of the horse on grid row `row` of the horses page when that horse is scratched (its
// row shows "-"); empty on other pages and for other rows.
std::string_view ScratchedHorseName(const Module1 &m, int row);

// Window events, named control_event as the window's controls are.
void File_Open_Click(Module1 &m, Form &f);
void BT_Open_Click(Module1 &m, Form &f, Dialogs &d);
// The open command on a card named by its path (the command line, a drop on the window): the
// file the path names, by its bytes, with the rules and messages of "Open" and one more (a name
// that does not end in ".kel" is refused). A refused open leaves the card on show as it was,
// with its page and marks; with none on show, the file frame comes up for another choice.
void OpenNamedCard(Module1 &m, Form &f, Dialogs &d, const std::string &path);
// The file frame's Open on a card a page's file picker has read, called name: the same checks,
// boxes and results. bytes empty: the memory for them ran out.
void OpenCardBytes(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<TextBuffer> bytes);
void BT_Cancel_Click(Form &f);
void MSF_DblClick(Module1 &m, Form &f);
void MSF_KeyPress(Module1 &m, Form &f, int16_t keyAscii);
void Form_KeyPress(Form &f, int16_t keyAscii);

// The Settings frame and the recalculating buttons.
void Recalculate_Click(Form &f);
void Command4_Click(Module1 &m, Form &f, Dialogs &d); // "Go!"
void Command6_Click(Form &f);                         // "Cancel" of the Settings frame
void ResetData_Click(Module1 &m, Form &f, Dialogs &d);
void Speed_Click(Module1 &m, Form &f);
void LateSpeed_Click(Module1 &m, Form &f);
// S on the horses page: scratches the horse of the grid's current row.
void Scratched(Module1 &m, Form &f);

} // namespace kel
