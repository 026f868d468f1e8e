#include "shell/msf_view.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kel {

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
    // Cut at the column edge as the grid always did: more of a name stays readable than with "...".
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
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
