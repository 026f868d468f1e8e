#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/open_card.h"
#include "store/module1.h"
#include "store/text_buffer.h"
#include "store/utf8.h"
#include "views/dialogs.h"
#include "views/form.h"

namespace kel {

// In characters as shown, extension included: a longer name is refused with "error TX1".
inline constexpr std::size_t kMaxCardNameLength = 14;
inline bool IsTooLongCardName(std::string_view name)
{
    return Utf8Count(name) > kMaxCardNameLength;
}
// The file list's note on such a name, and the window's message for one on its command line.
inline constexpr std::string_view kLongCardNameNote
    = "Names over 14 characters (.kel included) cannot be opened: rename the file to at most 10 characters "
      "and .kel, for example gulfstrm.kel";
// ".kel" in any letter case; hidden files left out.
inline bool IsListedCardName(std::string_view name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return name.size() >= 4 && name[0] != '.' && name[name.size() - 4] == '.' && lower(name[name.size() - 3]) == 'k'
           && lower(name[name.size() - 2]) == 'e' && lower(name[name.size() - 1]) == 'l';
}

// The slots the pages show under a header, from slot 1 up to the first empty one (the race list
// shows every race slot; the one-twip column after the PP slots shows nothing).
inline constexpr int kHeadedHorseSlots = 11;
inline constexpr int kHeadedPPSlots = 15;

void ShowRaceList(Module1 &m, Form &f);
void ShowRaceHorses(Module1 &m, Form &f);
void ShowHorsePPs(Module1 &m, Form &f);
// For drawing: a Text may want more room than its column; the one-twip columns are Hidden.
enum class ColumnKind { Figure, Text, Hidden };
ColumnKind PageColumnKind(int viewPage, int col);
// Empty unless `row` is a scratched horse's on the horses page.
std::string_view ScratchedHorseName(const Module1 &m, int row);

// Window events, named control_event as the window's controls are.
void File_Open_Click(Module1 &m, Form &f);
void BT_Open_Click(Module1 &m, Form &f, Dialogs &d);
// A card named by its path (the command line, a drop) with the rules and messages of "Open", and a
// name not ending in ".kel" refused too. A refused open leaves the card on show as it was, with
// its page and marks; with none on show, the file frame comes up for another choice.
void OpenNamedCard(Module1 &m, Form &f, Dialogs &d, const std::string &path);
// A card a page's file picker has read; bytes empty: the memory for them ran out.
void OpenCardBytes(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<TextBuffer> bytes);
// The same with the card loaded and rated ahead (PrepareCard); empty: the memory ran out.
void OpenPreparedCard(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<PreparedCard> card);
void BT_Cancel_Click(Form &f);
void MSF_DblClick(Module1 &m, Form &f);
void MSF_KeyPress(Module1 &m, Form &f, int16_t keyAscii);
void Form_KeyPress(Form &f, int16_t keyAscii);

void Recalculate_Click(Form &f);
void Command4_Click(Module1 &m, Form &f, Dialogs &d); // "Go!"
void Command6_Click(Form &f);                         // "Cancel" of the Settings frame
void ResetData_Click(Module1 &m, Form &f, Dialogs &d);
void Speed_Click(Module1 &m, Form &f);
void LateSpeed_Click(Module1 &m, Form &f);
// S on the horses page: the horse of the grid's current row.
void Scratched(Module1 &m, Form &f);

} // namespace kel
