#pragma once

#include "views/dialogs.h"

class QWidget;

namespace kel {

// The modal boxes of the window: QMessageBox and QInputDialog over the given parent.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent) : m_parent(parent) {}

    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;

private:
    QWidget *m_parent;
};

} // namespace kel
