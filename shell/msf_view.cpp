#include "shell/msf_view.h"

#include <algorithm>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

namespace kel {

namespace {

// An empty tip hides the one shown.
template <class TipAt>
bool answerToolTip(QEvent *event, QWidget *viewport, TipAt tipAt)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = tipAt(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport);
    return true;
}

} // namespace

MsfHeader::MsfHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString MsfHeader::shownText(int logicalIndex) const
{
    // Left-aligned, the text has the section from its left margin on.
    const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return fontMetrics().elidedText(text, Qt::ElideRight, sectionSize(logicalIndex) - margin);
}

QString MsfHeader::toolTipAt(const QPoint &pos) const
{
    const int section = logicalIndexAt(pos);
    if (section < 0)
        return {};
    const QString text = model()->headerData(section, orientation(), Qt::DisplayRole).toString();
    return shownText(section) == text ? QString() : text;
}

void MsfHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->text = shownText(logicalIndex);
}

bool MsfHeader::viewportEvent(QEvent *event)
{
    return answerToolTip(event, viewport(), [this](const QPoint &pos) { return toolTipAt(pos); })
           || QHeaderView::viewportEvent(event);
}

int characterCode(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return 27;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return 13;
    const QString text = event->text();
    if (text.size() != 1)
        return -1;
    const char16_t ch = text.at(0).unicode();
    return ch < 256 ? int(ch) : -1;
}

MsfView::MsfView(QWidget *parent) : QTableView(parent)
{
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setCornerButtonEnabled(false);
    setHorizontalHeader(new MsfHeader(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
}

QString MsfView::toolTipAt(const QPoint &viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid())
        return {};
    const QString note = index.data(Qt::ToolTipRole).toString();
    if (!note.isEmpty())
        return note;
    return neededWidth(index) > visualRect(index).width() ? index.data().toString() : QString();
}

int MsfView::neededWidth(const QModelIndex &index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return itemDelegateForIndex(index)->sizeHint(option, index).width();
}

int MsfView::widestText(int column) const
{
    int widest = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sectionSizeHint(column);
    for (int r = 0; r < model()->rowCount(); ++r)
        widest = std::max(widest, neededWidth(model()->index(r, column)));
    return widest;
}

QModelIndex MsfView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (m_rowKeys && (action == MoveHome || action == MoveEnd) && model()->rowCount() > 0) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

bool MsfView::viewportEvent(QEvent *event)
{
    return answerToolTip(event, viewport(), [this](const QPoint &pos) { return toolTipAt(pos); })
           || QTableView::viewportEvent(event);
}

QItemSelectionModel::SelectionFlags MsfView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // The highlight always shows the current cell, the one S and Enter act on: a click beside
    // the rows or a Ctrl+click on the highlighted row does not take it away.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    QItemSelectionModel::SelectionFlags how = QTableView::selectionCommand(index, event);
    if (how & QItemSelectionModel::Deselect)
        how = (how & ~QItemSelectionModel::Deselect) | QItemSelectionModel::ClearAndSelect;
    return how;
}

void MsfView::keyPressEvent(QKeyEvent *event)
{
    const int code = characterCode(event);
    if (code == 13) {
        emit enterPressed();
        event->accept();
        return;
    }
    // Tab moves the focus, as in any dialog; other characters are the grid's own keys and must
    // not start the view's keyboard search.
    if (code < 0 || code == '\t' || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QTableView::keyPressEvent(event);
        return;
    }
    emit keyPressed(code);
    event->accept();
}

} // namespace kel
