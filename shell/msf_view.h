#pragma once

#include <QTableView>

namespace kel {

// The table view that stands for the grid MSF. Character keys become key-press codes as the
// window's handlers expect them (ESC 27, "S" 83); Enter is reported apart, since it acts like a
// double-click. Navigation keys keep their usual meaning.
class MsfView : public QTableView
{
    Q_OBJECT

public:
    explicit MsfView(QWidget *parent = nullptr);

signals:
    void keyPressed(int code);
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The character code of a key press in the Windows code page, or -1 for keys that carry no
// character (arrows, function keys) or one outside it.
int characterCode(const QKeyEvent *event);

} // namespace kel
