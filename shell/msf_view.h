#pragma once

#include <QHeaderView>
#include <QTableView>

namespace kel {

// The header row of MSF. A header that does not fit its column ends in "…" and shows whole in
// a tooltip; the edges between headers can be dragged.
class MsfHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit MsfHeader(QWidget *parent = nullptr);

    QString toolTipAt(const QPoint &pos) const;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
    bool viewportEvent(QEvent *event) override;

private:
    QString shownText(int logicalIndex) const;
};

// The grid MSF. Character keys become key-press codes as the window's handlers expect them (ESC
// 27, "S" 83); Enter is reported apart, as it acts like a double-click. On pages of whole rows
// Home and End go to the first and the last row, as Ctrl+Home and Ctrl+End do.
class MsfView : public QTableView
{
    Q_OBJECT

public:
    explicit MsfView(QWidget *parent = nullptr);

    // The model's own tooltip, else the whole text when it does not fit.
    QString toolTipAt(const QPoint &viewportPos) const;
    // The width a column needs for its widest text, its header's included, in pixels.
    int widestText(int column) const;
    void setRowKeys(bool on) { m_rowKeys = on; }

signals:
    void keyPressed(int code);
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    int neededWidth(const QModelIndex &index) const;

    bool m_rowKeys = true;
};

// In the Windows code page; -1 for a key that carries no character, or one outside it.
int characterCode(const QKeyEvent *event);

} // namespace kel
