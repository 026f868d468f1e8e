#include "shell/status_text.h"

namespace kel {

StatusText::StatusText(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusText::setFullText(const QString &text)
{
    if (text == m_full)
        return;
    m_full = text;
    setAccessibleName(text);
    elide();
}

// One line of the window's font, whatever the text: the status line keeps its height.
QSize StatusText::sizeHint() const
{
    return {QLabel::sizeHint().width(), fontMetrics().height()};
}

QSize StatusText::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void StatusText::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void StatusText::elide()
{
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
    setText(shown);
    setToolTip(shown == m_full ? QString() : m_full);
}

} // namespace kel
