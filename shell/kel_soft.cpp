#include "shell/kel_soft.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>

#include "shell/file_lists.h"
#include "shell/grid_table_model.h"
#include "shell/msf_view.h"
#include "shell/print_target.h"
#include "shell/qt_dialogs.h"
#include "shell/status_text.h"
#include "shell/twips.h"
#include "shell/widget_form.h"
#include "printing/print_report.h"
#include "views/column_room.h"
#include "views/commands.h"
#include "views/controls.h"
#include "views/display_text.h"
#include "views/status_line.h"

namespace kel {

// A box opens over the page the handler has built so far, never over the one before.
class KEL_Soft::PageFirstDialogs : public Dialogs
{
public:
    explicit PageFirstDialogs(KEL_Soft &window) : m_window(window) {}

    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override
    {
        m_window.showGrid();
        return chosen().msgBox(prompt, title, buttons);
    }
    void note(std::string_view text, std::string_view title) override
    {
        m_window.showGrid();
        chosen().note(text, title);
    }
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override
    {
        m_window.showGrid();
        return chosen().inputBox(prompt, title, defaultText);
    }

private:
    Dialogs &chosen() { return m_window.m_dialogs ? *m_window.m_dialogs : *m_window.m_ownDialogs; }

    KEL_Soft &m_window;
};

KEL_Soft::KEL_Soft(const QString &startDir, QWidget *parent)
    : QMainWindow(parent)
    , m_form(std::make_unique<WidgetForm>(*this))
    , m_ownDialogs(std::make_unique<QtDialogs>(this))
    , m_boxes(std::make_unique<PageFirstDialogs>(*this))
    , m_ownPrintTarget(std::make_unique<PreviewPrintTarget>(
          this, [this](const std::string &message) { dialogs().msgBox(message, kAppTitle, MsgButtons::Ok); }))
    , m_startDir(QFile::encodeName(startDir))
{
    if (m_startDir.isEmpty()) {
        std::error_code ec;
        m_startDir = QByteArray::fromStdString(std::filesystem::current_path(ec).native());
    }
    setObjectName(QStringLiteral("KEL_Soft"));
    setWindowTitle(QStringLiteral("KEL Handicapping Software"));
    // Out of the focus chain, so that Tab never stops on the window itself with nothing drawn as
    // focused; keys still reach it when no control has the focus (no frame shown).
    setFocusPolicy(Qt::NoFocus);

    buildControls();
    buildHelpMenu();
    connectEvents();
    acceptCardDrops();

    m_client->setMinimumSize(twipsToPx(kClientWidth, logicalDpiX()), twipsToPx(kClientHeight, logicalDpiY()));
    showStatus(true);
    openAtDesignSize();
    layoutControls();

    Form_Load();
}

KEL_Soft::~KEL_Soft() = default;

void KEL_Soft::showEvent(QShowEvent *event)
{
    // Sized once its bars are laid out as they are shown, before the window manager maps it.
    if (!m_sized) {
        m_sized = true;
        openAtDesignSize();
    }
    QMainWindow::showEvent(event);
}

void KEL_Soft::openAtDesignSize()
{
    // On a screen smaller than the design size (a laptop at 150 %) the window fits whole, title-bar
    // buttons included, and its client area scrolls. The window's layout adds the bars on top.
    m_scroll->setMinimumSize(m_client->minimumSize());
    QSize size = layout()->totalMinimumSize();
    m_scroll->setMinimumSize(0, 0);
    if (const QScreen *s = screen()) {
        // The window manager's frame is not known before the window is mapped.
        const QSize frame(16, 48);
        size = size.boundedTo(s->availableGeometry().size() - frame);
    }
    resize(size);
}

void KEL_Soft::setDialogs(Dialogs *dialogs)
{
    m_dialogs = dialogs;
}

Dialogs &KEL_Soft::dialogs()
{
    return *m_boxes;
}

void KEL_Soft::setPrintTarget(PrintTarget *target)
{
    m_printTarget = target;
}

Form &KEL_Soft::form()
{
    return *m_form;
}

bool KEL_Soft::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        layoutControls();
    return QMainWindow::eventFilter(watched, event);
}

void KEL_Soft::keyPressEvent(QKeyEvent *event)
{
    // With a frame shown, a key here is one a control let through (ESC on a button), and does nothing.
    const int code = characterCode(event);
    if (code >= 0 && control(Ctl::fr_dc)->isHidden() && control(Ctl::Fr_Open)->isHidden()) {
        run([&] { kel::Form_KeyPress(*m_form, int16_t(code)); });
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

template <class Handler>
void KEL_Soft::run(Handler &&handler)
{
    if (m_handlerDepth++ == 0) {
        m_focusBefore = focusWidget();
        m_focusAsked = nullptr;
    }
    try {
        handler();
    } catch (const std::bad_alloc &) {
        // Out of a Qt slot it would end the program and lose the card with its marks. The open
        // command says so itself; any other command stops where it was.
        dialogs().msgBox("Not enough memory to finish the command", kAppTitle, MsgButtons::Ok);
    }
    if (--m_handlerDepth == 0) {
        showGrid();
        restoreFocus();
    }
}

void KEL_Soft::focusControl(Ctl c)
{
    m_focusAsked = control(c);
    m_focusAsked->setFocus(Qt::OtherFocusReason);
}

void KEL_Soft::showGrid()
{
    m_refreshing = true;
    const double dpiY = logicalDpiY();

    std::vector<std::string> notes;
    if (m_module.ViewPage == 2) {
        notes.resize(std::size_t(std::max(m_grid.rows(), 0)));
        for (int r = 1; r < m_grid.rows(); ++r)
            notes[std::size_t(r)] = ScratchedHorseName(m_module, r);
    }
    if (m_module.ViewPage == 1 || (m_module.ViewPage == 2 && m_module.CurrentRace != m_viewedRace))
        m_viewedRace = m_viewedHorse = 0;
    m_table->setGrid(m_grid, notes, m_module.ViewPage == 2 && m_viewedRace != 0 ? m_viewedHorse : -1);
    const int headerRows = m_table->headerRows();
    m_msf->horizontalHeader()->setVisible(headerRows == 1);
    drawColumnWidths();
    for (int r = headerRows; r < m_grid.rows(); ++r) {
        if (m_grid.rowHeight(r) != GridModel::kDefaultRowHeight)
            m_msf->setRowHeight(r - headerRows, twipsToPx(m_grid.rowHeight(r), dpiY));
    }
    // Whole rows where a row is one race or one horse; on the PP page the column matters.
    const bool wholeRows = m_module.ViewPage != 3;
    m_msf->setSelectionBehavior(wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    m_msf->setRowKeys(wholeRows);
    static constexpr const char *kGridNames[] = {"Grid", "Races", "Horses of the race", "Past performances"};
    m_msf->setAccessibleName(
        QString::fromLatin1(kGridNames[m_module.ViewPage >= 0 && m_module.ViewPage <= 3 ? m_module.ViewPage : 0]));

    const QModelIndex current = m_table->index(m_table->viewRow(m_grid.row()), m_grid.col());
    if (current.isValid()) {
        QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect;
        if (wholeRows)
            how |= QItemSelectionModel::Rows;
        m_msf->selectionModel()->setCurrentIndex(current, how);
        m_msf->scrollTo(current);
    } else {
        m_msf->selectionModel()->clear();
    }
    m_refreshing = false;
    showStatus(true);
}

void KEL_Soft::drawColumnWidths()
{
    const double dpiX = logicalDpiX();
    const int page = m_module.ViewPage;
    const auto cols = std::size_t(std::max(m_grid.cols(), 0));
    if (m_dragged.size() != cols)
        m_dragged.assign(cols, -1);
    const int room = page == 2 || page == 3 ? m_msf->width() - twipsToPx(controlInfo(Ctl::MSF).width, dpiX) : 0;
    std::vector<int> lacking(cols, 0);
    std::vector<bool> text(cols, false);
    for (std::size_t c = 0; room > 0 && c < cols; ++c) {
        const int col = int(c);
        text[c] = PageColumnKind(page, col) == ColumnKind::Text && m_grid.colWidth(col) != m_dragged[c];
        if (text[c])
            lacking[c] = m_msf->widestText(col) - twipsToPx(m_grid.colWidth(col), dpiX);
    }
    m_shares = ShareRoom(lacking, text, room);
    const bool refreshing = std::exchange(m_refreshing, true);
    for (std::size_t c = 0; c < cols; ++c)
        m_msf->setColumnWidth(int(c), twipsToPx(m_grid.colWidth(int(c)), dpiX) + m_shares[c]);
    m_refreshing = refreshing;
}

void KEL_Soft::showStatus(bool marksToo)
{
    const auto shown = [](const std::string &text) { return QString::fromStdString(DisplayText(text)); };
    if (marksToo)
        m_statusMarks->setFullText(shown(StatusMarks(m_module)));
    m_statusCurrent->setFullText(shown(StatusCurrent(m_module, m_grid)));
}

QString KEL_Soft::statusMarks() const
{
    return m_statusMarks->fullText();
}

QString KEL_Soft::statusCurrent() const
{
    return m_statusCurrent->fullText();
}

void KEL_Soft::restoreFocus()
{
    // The window's own focus widget, not QApplication's: right after a message box the window
    // is not active again yet, and the application's focus is nobody's.
    QWidget *want = m_focusAsked ? m_focusAsked.data() : m_focusBefore.data();
    if (!want || !want->isVisibleTo(this) || !want->isEnabled()) {
        if (!control(Ctl::fr_dc)->isHidden())
            want = m_msf;
        else if (!control(Ctl::Fr_Open)->isHidden())
            want = m_files;
        else
            want = nullptr;
    }
    if (want)
        want->setFocus(Qt::OtherFocusReason);
    else if (QWidget *focus = focusWidget())
        focus->clearFocus();
}

void KEL_Soft::MSF_ColumnDragged(int column, int /*oldPx*/, int newPx)
{
    if (m_refreshing)
        return;
    const int twips = pxToTwips(newPx, logicalDpiX());
    m_grid.setColWidth(column, twips);
    if (std::size_t(column) < m_dragged.size()) {
        m_dragged[std::size_t(column)] = twips;
        m_shares[std::size_t(column)] = 0;
    }
}

void KEL_Soft::syncCurrentFromView(const QModelIndex &index)
{
    if (m_refreshing || m_handlerDepth > 0 || !index.isValid())
        return;
    m_grid.setRow(m_table->gridRow(index.row()));
    m_grid.setCol(index.column());
    showStatus(false);
}

void KEL_Soft::Form_Load()
{
    m_files->setPath(m_dir->pathOnDisk());
}

void KEL_Soft::File_Open_Click()
{
    run([this] { kel::File_Open_Click(m_module, *m_form); });
    // Folders and cards may have come or gone since the lists were read.
    m_dir->navigate(m_dir->pathOnDisk());
    m_files->refresh();
    m_files->setFocus();
}

void KEL_Soft::Dir1_Change()
{
    m_files->setPath(m_dir->pathOnDisk());
}

void KEL_Soft::BT_Open_Click()
{
    run([this] { kel::BT_Open_Click(m_module, *m_form, dialogs()); });
}

void KEL_Soft::OpenNamedCard(const std::string &path)
{
    run([&] { kel::OpenNamedCard(m_module, *m_form, dialogs(), path); });
}

void KEL_Soft::BT_Cancel_Click()
{
    run([this] { kel::BT_Cancel_Click(*m_form); });
}

void KEL_Soft::MSF_DblClick(const QModelIndex &index)
{
    syncCurrentFromView(index);
    run([this] { kel::MSF_DblClick(m_module, *m_form); });
}

void KEL_Soft::MSF_HeaderDblClick(int column)
{
    // On the other pages it would open whatever row happens to be current, which nobody means.
    if (m_module.ViewPage != 3)
        return;
    m_grid.setCol(column);
    run([this] { kel::MSF_DblClick(m_module, *m_form); });
}

void KEL_Soft::MSF_EnterPress()
{
    const QModelIndex current = m_msf->currentIndex();
    if (!current.isValid())
        return;
    MSF_DblClick(current);
}

void KEL_Soft::MSF_KeyPress(int code)
{
    run([this, code] {
        const bool fromPPs = m_module.ViewPage == 3;
        kel::MSF_KeyPress(m_module, *m_form, int16_t(code));
        if (fromPPs && m_module.ViewPage == 2) {
            m_viewedRace = m_module.CurrentRace;
            m_viewedHorse = m_module.CurrentHorse;
        }
    });
}

void KEL_Soft::Recalculate_Click()
{
    run([this] { kel::Recalculate_Click(*m_form); });
}

void KEL_Soft::ResetData_Click()
{
    run([this] { kel::ResetData_Click(m_module, *m_form, dialogs()); });
}

void KEL_Soft::Printd_Click()
{
    PrintTarget &target = m_printTarget ? *m_printTarget : *m_ownPrintTarget;
    run([&] { kel::Printd_Click(m_module, *m_form, dialogs(), target); });
}

void KEL_Soft::Command4_Click()
{
    run([this] { kel::Command4_Click(m_module, *m_form, dialogs()); });
}

void KEL_Soft::Command6_Click()
{
    run([this] { kel::Command6_Click(*m_form); });
}

void KEL_Soft::Speed_Click()
{
    run([this] { kel::Speed_Click(m_module, *m_form); });
}

void KEL_Soft::LateSpeed_Click()
{
    run([this] { kel::LateSpeed_Click(m_module, *m_form); });
}

} // namespace kel
