#pragma once

#include "views/dialogs.h"

class QWidget;

namespace kel {

class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent) : m_parent(parent) {}

    // A box with only OK reports a failure and shows the warning icon; note() shows information.
    // Every box is wide enough for its whole title.
    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override;
    void note(std::string_view text, std::string_view title) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;

private:
    MsgAnswer show(std::string_view prompt, std::string_view title, MsgButtons buttons, bool failure);

    QWidget *m_parent;
};

} // namespace kel
