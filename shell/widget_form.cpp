#include "shell/widget_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "shell/file_lists.h"
#include "shell/kel_soft.h"
#include "views/display_text.h"

namespace kel {

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

GridModel &WidgetForm::MSF()
{
    return m_window.grid();
}

std::string WidgetForm::caption(Ctl c) const
{
    QWidget *w = m_window.control(c);
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text().toStdString();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text().toStdString();
    if (auto *box = qobject_cast<QGroupBox *>(w))
        return box->title().toStdString();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text().toStdString();
    return {};
}

void WidgetForm::setCaption(Ctl c, std::string_view text)
{
    QWidget *w = m_window.control(c);
    if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(qs(DisplayText(text)));
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->setText(qs(DisplayText(text)));
    else if (auto *box = qobject_cast<QGroupBox *>(w))
        box->setTitle(qs(DisplayText(text)));
    else if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(qs(text));
}

bool WidgetForm::visible(Ctl c) const
{
    // The control's own flag: a control inside a hidden frame still counts as visible.
    return !m_window.control(c)->isHidden();
}

void WidgetForm::setVisible(Ctl c, bool on)
{
    // "Early Speed" and "Late Speed" belong to the window but are never offered to the user.
    if (on && (c == Ctl::Speed || c == Ctl::LateSpeed))
        return;
    QWidget *w = m_window.control(c);
    w->setVisible(on);
    if (on && c == Ctl::FrameRecalculate)
        w->raise();
}

void WidgetForm::setFocus(Ctl c)
{
    m_window.focusControl(c);
    // A text box given the focus (the date, by "Recalculate") is ready to be typed over.
    if (auto *edit = qobject_cast<QLineEdit *>(m_window.control(c)))
        edit->selectAll();
}

std::string WidgetForm::text(Ctl c) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(m_window.control(c)))
        return edit->text().toStdString();
    return caption(c);
}

int WidgetForm::value(Ctl c) const
{
    if (auto *check = qobject_cast<QCheckBox *>(m_window.control(c))) {
        switch (check->checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        }
    }
    return 0;
}

std::optional<std::string> WidgetForm::selectedFile() const
{
    const QString name = static_cast<FileListBox *>(m_window.control(Ctl::File1))->selectedName();
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> WidgetForm::selectedFileOnDisk() const
{
    const QByteArray name = static_cast<FileListBox *>(m_window.control(Ctl::File1))->selectedNameOnDisk();
    if (name.isEmpty())
        return selectedFile();
    return name.toStdString();
}

std::string WidgetForm::directory() const
{
    return static_cast<DirListBox *>(m_window.control(Ctl::Dir1))->pathOnDisk().toStdString();
}

void WidgetForm::close()
{
    m_window.close();
}

} // namespace kel
