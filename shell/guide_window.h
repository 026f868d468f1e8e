#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace kel {

// Help, User guide, in a window of its own that ESC and Ctrl+W close; ESC in the find bar (Ctrl+F)
// closes the bar first.
class GuideWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GuideWindow(QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }
    QLineEdit *findText() const { return m_find; }
    // Round the ends; false when the guide does not hold the text.
    bool findNext(bool backward = false);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openFindBar();
    void escape();

    QTextBrowser *m_browser;
    QWidget *m_findBar;
    QLineEdit *m_find;
    QLabel *m_notFound;
};

} // namespace kel
