#include "shell/qt_dialogs.h"

#include <QFontMetrics>
#include <QGridLayout>
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

// The title bar's font is not known: a bold one somewhat larger than the box's own, and room for
// the bar's icon and buttons.
int titleWidth(const QWidget &box, const QString &title)
{
    QFont font = box.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    return QFontMetrics(font).horizontalAdvance(title) + QFontMetrics(font).height() * 6;
}

} // namespace

MsgAnswer QtDialogs::msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons)
{
    return show(prompt, title, buttons, true);
}

void QtDialogs::note(std::string_view text, std::string_view title)
{
    show(text, title, MsgButtons::Ok, false);
}

MsgAnswer QtDialogs::show(std::string_view prompt, std::string_view title, MsgButtons buttons, bool failure)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(titleOrApp(DisplayText(title)));
    box.setText(qs(DisplayText(prompt)));
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setIcon(failure ? QMessageBox::Warning : QMessageBox::Information);
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
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // QMessageBox sizes itself to its text (and lays itself out again as its icon is set); a
    // spacer across its grid holds it open for the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth(box, box.windowTitle()), 0, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
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
    QInputDialog box(m_parent);
    box.setWindowTitle(titleOrApp(DisplayText(title)));
    box.setLabelText(qs(DisplayText(prompt)));
    box.setTextValue(qs(defaultText));
    box.setMinimumWidth(titleWidth(box, box.windowTitle()));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue().toStdString();
}

} // namespace kel
