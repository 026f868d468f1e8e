#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "views/form.h"

namespace kel {

inline constexpr int kCtlCount = static_cast<int>(Ctl::BT_Cancel) + 1;

enum class CtlKind { Frame, Label, Button, TextBox, CheckBox, Grid, DirList, FileList };

// As the window opens; twips relative to the container (the window itself when there is none).
struct ControlInfo
{
    Ctl ctl;
    std::string_view name;
    CtlKind kind;
    std::optional<Ctl> container;
    int left, top, width, height;
    // Caption, or the initial text of a text box.
    std::string_view caption;
    bool visible;
    int value = 0;     // check boxes: 1 checked
    int maxLength = 0; // text boxes: 0 unlimited
    int tabIndex = -1; // tab order inside the Settings frame
};

inline constexpr std::array<ControlInfo, kCtlCount> kControls{{
    {Ctl::fr_dc, "fr_dc", CtlKind::Frame, {}, 0, 0, 11535, 6855, "", false},
    {Ctl::Fr_Open,
     "Fr_Open",
     CtlKind::Frame,
     {},
     1200,
     720,
     8175,
     5295,
     "Open a file, select the location of the file",
     false},
    {Ctl::FrameRecalculate, "FrameRecalculate", CtlKind::Frame, Ctl::fr_dc, 2520, 960, 6495, 4935, "Settings", false},
    {Ctl::LabelCarreras, "LabelCarreras", CtlKind::Label, Ctl::fr_dc, 120, 240, 10575, 1215, "", true},
    {Ctl::Label_Help, "Label_Help", CtlKind::Label, Ctl::fr_dc, 0, 6600, 10815, 255, "", true},
    {Ctl::MSF, "MSF", CtlKind::Grid, Ctl::fr_dc, 120, 1560, 11295, 4335, "", true},
    {Ctl::Recalculate, "Recalculate", CtlKind::Button, Ctl::fr_dc, 120, 6120, 3495, 375, "Recalculate", false},
    {Ctl::ResetData, "ResetData", CtlKind::Button, Ctl::fr_dc, 3960, 6120, 3495, 375, "Reset data", true},
    {Ctl::Printd, "Printd", CtlKind::Button, Ctl::fr_dc, 7800, 6120, 3495, 375, "Print", true},
    {Ctl::Speed, "Speed", CtlKind::Button, Ctl::fr_dc, 1920, 6480, 255, 375, "Early Speed", false},
    {Ctl::LateSpeed, "LateSpeed", CtlKind::Button, Ctl::fr_dc, 3600, 5880, 255, 375, "Late Speed", false},
    {Ctl::Label1, "Label1", CtlKind::Label, Ctl::FrameRecalculate, 480, 840, 3375, 255, "Date races since:", true},
    {Ctl::Text_Date, "Text_Date", CtlKind::TextBox, Ctl::FrameRecalculate, 3600, 840, 975, 285, "01/01/01", true, 0, 8,
     1},
    {Ctl::Check_Dirt, "Check_Dirt", CtlKind::CheckBox, Ctl::FrameRecalculate, 480, 1440, 3375, 255, "Dirt races", true,
     1, 0, 2},
    {Ctl::Check_Turf, "Check_Turf", CtlKind::CheckBox, Ctl::FrameRecalculate, 480, 1800, 4575, 255, "Turf races", true,
     1, 0, 3},
    {Ctl::Check_Fast, "Check_Fast", CtlKind::CheckBox, Ctl::FrameRecalculate, 480, 2280, 4695, 255,
     "Fast, good surface races", true, 1, 0, 4},
    {Ctl::Check_Muddy, "Check_Muddy", CtlKind::CheckBox, Ctl::FrameRecalculate, 480, 2640, 5175, 195,
     "Muddy, sloopy surface races", true, 1, 0, 5},
    {Ctl::Label2, "Label2", CtlKind::Label, Ctl::FrameRecalculate, 480, 3120, 855, 255, "Purse from:", true},
    {Ctl::Text_Purse1, "Text_Purse1", CtlKind::TextBox, Ctl::FrameRecalculate, 1680, 3120, 1095, 285, "0K", true, 0, 0,
     6},
    {Ctl::Label3, "Label3", CtlKind::Label, Ctl::FrameRecalculate, 3120, 3120, 735, 255, "To:", true},
    {Ctl::Text_Purse2, "Text_Purse2", CtlKind::TextBox, Ctl::FrameRecalculate, 3600, 3120, 975, 285, "10M", true, 0, 0,
     7},
    {Ctl::Label4, "Label4", CtlKind::Label, Ctl::FrameRecalculate, 480, 3600, 1095, 255, "Distance from:", true},
    {Ctl::Text_Distance1, "Text_Distance1", CtlKind::TextBox, Ctl::FrameRecalculate, 1680, 3600, 1095, 285, "4 1/2F",
     true, 0, 0, 8},
    {Ctl::Label5, "Label5", CtlKind::Label, Ctl::FrameRecalculate, 3120, 3600, 375, 255, "To:", true},
    {Ctl::Text_Distance2, "Text_Distance2", CtlKind::TextBox, Ctl::FrameRecalculate, 3600, 3600, 975, 285, "2 1/2M",
     true, 0, 0, 9},
    {Ctl::Command4, "Command4", CtlKind::Button, Ctl::FrameRecalculate, 960, 4320, 2175, 375, "Go!", true, 0, 0, 10},
    {Ctl::Command6, "Command6", CtlKind::Button, Ctl::FrameRecalculate, 3360, 4320, 2175, 375, "Cancel", true, 0, 0,
     11},
    {Ctl::Dir1, "Dir1", CtlKind::DirList, Ctl::Fr_Open, 360, 360, 5535, 2340, "", true},
    {Ctl::File1, "File1", CtlKind::FileList, Ctl::Fr_Open, 360, 2760, 5535, 1455, "", true},
    {Ctl::BT_Open, "BT_Open", CtlKind::Button, Ctl::Fr_Open, 6480, 840, 1335, 255, "Open", true},
    {Ctl::BT_Cancel, "BT_Cancel", CtlKind::Button, Ctl::Fr_Open, 6480, 1200, 1335, 255, "Cancel", true},
}};

constexpr bool controlsInEnumOrder()
{
    for (int i = 0; i < kCtlCount; ++i)
        if (static_cast<int>(kControls[i].ctl) != i)
            return false;
    return true;
}
static_assert(controlsInEnumOrder(), "kControls must list the controls in the order of Ctl");

constexpr const ControlInfo &controlInfo(Ctl c)
{
    return kControls[static_cast<int>(c)];
}

} // namespace kel
