#pragma once

#include <cstdint>
#include <string_view>

#include "store/module1.h"
#include "views/dialogs.h"
#include "views/form.h"

namespace kel {

// Page builders of the grid MSF.
void ShowRaceList(Module1 &m, Form &f);
void ShowRaceHorses(Module1 &m, Form &f);
void ShowHorsePPs(Module1 &m, Form &f);
// The name of the horse on grid row `row` of the horses page when that horse is scratched (its
// row shows "-"); empty on other pages and for other rows.
std::string_view ScratchedHorseName(const Module1 &m, int row);

// Window events, named control_event as the window's controls are.
void File_Open_Click(Module1 &m, Form &f);
void BT_Open_Click(Module1 &m, Form &f, Dialogs &d);
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
