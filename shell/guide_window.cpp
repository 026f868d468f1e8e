#include "shell/guide_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kel {

GuideWindow::GuideWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
    , m_findBar(new QWidget(this))
    , m_find(new QLineEdit(m_findBar))
    , m_notFound(new QLabel(QStringLiteral("Not found"), m_findBar))
{
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(QStringLiteral("kelsoft user guide"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setAccessibleName(QStringLiteral("User guide"));

    auto *label = new QLabel(QStringLiteral("Find:"), m_findBar);
    label->setBuddy(m_find);
    m_find->setAccessibleName(QStringLiteral("Find in the guide"));
    m_find->setClearButtonEnabled(true);
    m_notFound->hide();
    auto *bar = new QHBoxLayout(m_findBar);
    bar->setContentsMargins(6, 4, 6, 4);
    bar->addWidget(label);
    bar->addWidget(m_find, 1);
    bar->addWidget(m_notFound);
    m_findBar->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_browser, 1);
    layout->addWidget(m_findBar);

    // From where the text was found before, so that each letter typed narrows the match in place.
    connect(m_find, &QLineEdit::textEdited, this, [this] {
        QTextCursor at = m_browser->textCursor();
        at.setPosition(at.selectionStart());
        m_browser->setTextCursor(at);
        findNext();
    });
    m_find->installEventFilter(this);
    // The keys (arrows, Page Down, the shortcuts) act on the text from the start.
    m_browser->setFocus();
}

bool GuideWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_find && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GuideWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Find))
        openFindBar();
    else if (event->matches(QKeySequence::FindNext))
        findNext();
    else if (event->matches(QKeySequence::FindPrevious))
        findNext(true);
    else if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        escape();
    else if (event->matches(QKeySequence::Close) || event->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_W))
        close();
    else
        QWidget::keyPressEvent(event);
}

void GuideWindow::openFindBar()
{
    m_findBar->show();
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

void GuideWindow::escape()
{
    if (m_findBar->isVisible()) {
        m_findBar->hide();
        m_notFound->hide();
        m_browser->setFocus(Qt::OtherFocusReason);
    } else {
        close();
    }
}

bool GuideWindow::findNext(bool backward)
{
    const QString text = m_find->text();
    bool found = text.isEmpty();
    if (!found) {
        const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
        found = m_browser->find(text, flags);
        if (!found) {
            QTextCursor from = m_browser->textCursor();
            from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
            m_browser->setTextCursor(from);
            found = m_browser->find(text, flags);
        }
    }
    m_notFound->setVisible(!found);
    return found;
}

} // namespace kel
