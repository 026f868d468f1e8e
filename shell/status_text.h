#pragma once

#include <QLabel>

namespace kel {

// One line of the status line: a text that does not fit ends in "…" and shows whole in a tooltip.
// The whole text is also its accessible name, so a screen reader reads it all.
class StatusText : public QLabel
{
    Q_OBJECT

public:
    explicit StatusText(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_full; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString m_full;
};

} // namespace kel
