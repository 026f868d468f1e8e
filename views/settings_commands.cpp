// The window's side of the settings commands; the store's side is in settings/.

#include "engine/ratings.h"
#include "settings/filter.h"
#include "settings/marks.h"
#include "store/slots.h"
#include "views/commands.h"

namespace kel {

namespace {

SettingsTexts readSettingsFrame(const Form &f)
{
    SettingsTexts t;
    t.date = f.text(Ctl::Text_Date);
    t.dirt = f.value(Ctl::Check_Dirt);
    t.turf = f.value(Ctl::Check_Turf);
    t.fast = f.value(Ctl::Check_Fast);
    t.muddy = f.value(Ctl::Check_Muddy);
    t.purseFrom = f.text(Ctl::Text_Purse1);
    t.purseTo = f.text(Ctl::Text_Purse2);
    t.distanceFrom = f.text(Ctl::Text_Distance1);
    t.distanceTo = f.text(Ctl::Text_Distance2);
    return t;
}

void redrawHorsesPage(Module1 &m, Form &f)
{
    if (m.ViewPage == 2)
        ShowRaceHorses(m, f);
}

} // namespace

void Recalculate_Click(Form &f)
{
    f.setVisible(Ctl::FrameRecalculate, true);
    f.setFocus(Ctl::Text_Date);
}

void Command4_Click(Module1 &m, Form &f, Dialogs &d)
{
    // A refused entry leaves the frame open with what the user typed, and the focus where it is.
    if (const Result<void> go = RunGo(m, readSettingsFrame(f)); !go) {
        d.msgBox(go.error().message, kCheckEntryTitle, MsgButtons::Ok);
        return;
    }
    f.setVisible(Ctl::FrameRecalculate, false);
    redrawHorsesPage(m, f);
    f.setFocus(Ctl::MSF);
}

void Command6_Click(Form &f)
{
    f.setVisible(Ctl::FrameRecalculate, false);
    f.setFocus(Ctl::MSF);
}

void ResetData_Click(Module1 &m, Form &f, Dialogs &d)
{
    const MsgAnswer a = d.msgBox("Do you want to reset the scratches too?", "Enter option", MsgButtons::YesNoCancel);
    if (a != MsgAnswer::Yes && a != MsgAnswer::No)
        return;
    ResetMarks(m, a == MsgAnswer::Yes);
    if (m.ViewPage == 1)
        ShowRaceList(m, f);
    else if (m.ViewPage == 2)
        ShowRaceHorses(m, f);
    f.setFocus(Ctl::MSF);
}

void Speed_Click(Module1 &m, Form &f)
{
    ComputeRatings(m, kPPEarlyKel);
    redrawHorsesPage(m, f);
    f.setFocus(Ctl::MSF);
}

void LateSpeed_Click(Module1 &m, Form &f)
{
    ComputeRatings(m, kPPFinalKel);
    redrawHorsesPage(m, f);
    f.setFocus(Ctl::MSF);
}

void Scratched(Module1 &m, Form &f)
{
    const int race = m.CurrentRace != 0 ? m.CurrentRace : 1;
    const int row = f.MSF().row();
    if (!ScratchHorse(m, race, row))
        return;
    f.setVisible(Ctl::FrameRecalculate, false);
    redrawHorsesPage(m, f);
    // The rebuild leaves the current cell on the last horse; go back to the scratched one.
    f.setFocus(Ctl::MSF);
    f.MSF().setRow(row);
    f.MSF().setCol(1);
}

} // namespace kel
