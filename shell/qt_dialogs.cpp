#include "shell/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QString>

#include "views/display_text.h"

namespace kel {

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString titleOrApp(std::string_view title)
{
    return qs(title.empty() ? kAppTitle : title);
}

} // namespace

MsgAnswer QtDialogs::msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(titleOrApp(DisplayText(title)));
    box.setText(qs(DisplayText(prompt)));
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgButtons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        // Enter must not take the most: "Reset data" answered Yes wipes every scratch.
        box.setDefaultButton(QMessageBox::No);
        // Closing the box answers Cancel.
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
               : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                              : MsgAnswer::Cancel;
    }
}

std::optional<std::string> QtDialogs::inputBox(std::string_view prompt, std::string_view title,
                                               std::string_view defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, titleOrApp(DisplayText(title)), qs(DisplayText(prompt)),
                                                 QLineEdit::Normal, qs(defaultText), &ok);
    if (!ok)
        return std::nullopt;
    return answer.toStdString();
}

} // namespace kel
