#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "views/grid_model.h"

namespace kel {

// The controls of the window KEL_Soft that the core reads or changes, by their names.
enum class Ctl {
    fr_dc,
    Fr_Open,
    FrameRecalculate,
    LabelCarreras,
    Label_Help,
    MSF,
    Recalculate,
    ResetData,
    Printd,
    Speed,
    LateSpeed,
    Label1,
    Text_Date,
    Check_Dirt,
    Check_Turf,
    Check_Fast,
    Check_Muddy,
    Label2,
    Text_Purse1,
    Label3,
    Text_Purse2,
    Label4,
    Text_Distance1,
    Label5,
    Text_Distance2,
    Command4,
    Command6,
    Dir1,
    File1,
    BT_Open,
    BT_Cancel,
};

// What the pages and commands see of the window; MemoryForm is the headless one.
class Form
{
public:
    virtual ~Form() = default;

    virtual GridModel &MSF() = 0;

    virtual std::string caption(Ctl c) const = 0;
    virtual void setCaption(Ctl c, std::string_view text) = 0;
    virtual bool visible(Ctl c) const = 0;
    virtual void setVisible(Ctl c, bool on) = 0;
    virtual void setFocus(Ctl c) = 0;

    virtual std::string text(Ctl c) const = 0;
    // Check boxes: 0 unchecked, 1 checked, 2 greyed.
    virtual int value(Ctl c) const = 0;

    // The name in File1 as shown (UTF-8); the path of Dir1 as spelled on disk.
    virtual std::optional<std::string> selectedFile() const = 0;
    // A name that is not UTF-8 is shown with replacement characters, so its bytes on disk differ.
    virtual std::optional<std::string> selectedFileOnDisk() const { return selectedFile(); }
    virtual std::string directory() const = 0;

    // Unloads the window, which ends the program.
    virtual void close() = 0;
};

} // namespace kel
