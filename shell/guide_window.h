#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace kel {

// Help, User guide: the guide built into the program, in a window of its own that ESC and Ctrl+W
// close. Ctrl+F opens a find bar under the text: typing finds as it goes, Enter and F3 the next
// place, Shift+Enter and Shift+F3 the one before, from the end round to the start; ESC there
// closes the bar first.
class GuideWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GuideWindow(QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }
    QLineEdit *findText() const { return m_find; }
    // Finds the find bar's text after (or, backward, before) the current place, round the ends;
    // false when the guide does not hold it.
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
