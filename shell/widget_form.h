#pragma once

#include "views/form.h"

namespace kel {

class KEL_Soft;

// The core's view of the window: every Ctl is the widget of that objectName.
class WidgetForm : public Form
{
public:
    explicit WidgetForm(KEL_Soft &window) : m_window(window) {}

    GridModel &MSF() override;
    std::string caption(Ctl c) const override;
    void setCaption(Ctl c, std::string_view text) override;
    bool visible(Ctl c) const override;
    void setVisible(Ctl c, bool on) override;
    void setFocus(Ctl c) override;
    std::string text(Ctl c) const override;
    int value(Ctl c) const override;
    std::optional<std::string> selectedFile() const override;
    std::optional<std::string> selectedFileOnDisk() const override;
    std::string directory() const override;
    void close() override;

private:
    KEL_Soft &m_window;
};

} // namespace kel
