#include "shell/kel_soft.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include "shell/file_lists.h"
#include "shell/grid_table_model.h"
#include "shell/msf_view.h"
#include "shell/qt_dialogs.h"
#include "shell/twips.h"
#include "shell/widget_form.h"
#include "views/commands.h"

namespace kel {

namespace {

// How a control follows the window when it is made larger than its design size.
enum Anchor { Fixed = 0, GrowW = 1, GrowH = 2, FollowBottom = 4, Centre = 8 };

struct Placement
{
    Ctl ctl;
    int left, top, width, height; // twips, relative to the container
    int anchor;
};

constexpr Placement kPlacements[] = {
    {Ctl::fr_dc, 0, 0, 11535, 6855, GrowW | GrowH},
    {Ctl::LabelCarreras, 120, 240, 10575, 1215, GrowW},
    {Ctl::MSF, 120, 1560, 11295, 4335, GrowW | GrowH},
    {Ctl::Recalculate, 120, 6120, 3495, 375, FollowBottom},
    {Ctl::ResetData, 3960, 6120, 3495, 375, FollowBottom},
    {Ctl::Printd, 7800, 6120, 3495, 375, FollowBottom},
    {Ctl::Label_Help, 0, 6600, 10815, 255, FollowBottom | GrowW},
    {Ctl::Speed, 1920, 6480, 255, 375, FollowBottom},
    {Ctl::LateSpeed, 3600, 5880, 255, 375, FollowBottom},
    {Ctl::FrameRecalculate, 2520, 960, 6495, 4935, Centre},
    {Ctl::Fr_Open, 1200, 720, 8175, 5295, Centre},
    {Ctl::Dir1, 360, 360, 5535, 2340, Fixed},
    {Ctl::File1, 360, 2760, 5535, 1455, Fixed},
    {Ctl::BT_Open, 6480, 840, 1335, 255, Fixed},
    {Ctl::BT_Cancel, 6480, 1200, 1335, 255, Fixed},
    {Ctl::Label1, 480, 840, 3375, 255, Fixed},
    {Ctl::Text_Date, 3600, 840, 975, 285, Fixed},
    {Ctl::Check_Dirt, 480, 1440, 3375, 255, Fixed},
    {Ctl::Check_Turf, 480, 1800, 4575, 255, Fixed},
    {Ctl::Check_Fast, 480, 2280, 4695, 255, Fixed},
    {Ctl::Check_Muddy, 480, 2640, 5175, 195, Fixed},
    {Ctl::Label2, 480, 3120, 855, 255, Fixed},
    {Ctl::Text_Purse1, 1680, 3120, 1095, 285, Fixed},
    {Ctl::Label3, 3120, 3120, 735, 255, Fixed},
    {Ctl::Text_Purse2, 3600, 3120, 975, 285, Fixed},
    {Ctl::Label4, 480, 3600, 1095, 255, Fixed},
    {Ctl::Text_Distance1, 1680, 3600, 1095, 285, Fixed},
    {Ctl::Label5, 3120, 3600, 375, 255, Fixed},
    {Ctl::Text_Distance2, 3600, 3600, 975, 285, Fixed},
    {Ctl::Command4, 960, 4320, 2175, 375, Fixed},
    {Ctl::Command6, 3360, 4320, 2175, 375, Fixed},
};

// "MS Sans Serif" 8.25 pt, or the closest sans serif the system has.
QFont windowFont(bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    if (bold)
        label->setFont(windowFont(true));
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &text)
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    check->setChecked(true);
    return check;
}

} // namespace

KEL_Soft::KEL_Soft(const QString &startDir, QWidget *parent)
    : QMainWindow(parent)
    , m_form(std::make_unique<WidgetForm>(*this))
    , m_ownDialogs(std::make_unique<QtDialogs>(this))
    , m_startDir(startDir)
{
    setObjectName(QStringLiteral("KEL_Soft"));
    setWindowTitle(QStringLiteral("KEL Handicapping Software"));
    setFont(windowFont());
    // Keys reach the window itself when no frame is shown.
    setFocusPolicy(Qt::StrongFocus);

    buildControls();
    connectEvents();

    const int w = twipsToPx(kClientWidth, logicalDpiX());
    const int h = twipsToPx(kClientHeight, logicalDpiY());
    m_client->setMinimumSize(w, h);
    resize(w, h + menuBar()->sizeHint().height());
    layoutControls();

    Form_Load();
}

KEL_Soft::~KEL_Soft() = default;

void KEL_Soft::setDialogs(Dialogs *dialogs)
{
    m_dialogs = dialogs;
}

Dialogs &KEL_Soft::dialogs()
{
    return m_dialogs ? *m_dialogs : *m_ownDialogs;
}

Form &KEL_Soft::form()
{
    return *m_form;
}

void KEL_Soft::buildControls()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("File"));
    m_openAction = m_fileMenu->addAction(QStringLiteral("&Open"));
    m_openAction->setObjectName(QStringLiteral("File_Open"));
    m_openAction->setShortcut(QKeySequence::Open);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    auto set = [this](Ctl c, QWidget *w) { m_controls[std::size_t(c)] = w; };

    // The grid frame: labels, the grid and its buttons.
    auto *frDc = new QGroupBox(m_client);
    frDc->setObjectName(QStringLiteral("fr_dc"));
    set(Ctl::fr_dc, frDc);

    auto *carreras = makeLabel(frDc, "LabelCarreras", QString(), true);
    carreras->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    carreras->setWordWrap(true);
    set(Ctl::LabelCarreras, carreras);

    m_msf = new MsfView(frDc);
    m_msf->setObjectName(QStringLiteral("MSF"));
    m_table = new GridTableModel(m_grid, m_msf);
    m_msf->setModel(m_table);
    m_msf->verticalHeader()->setDefaultSectionSize(twipsToPx(GridModel::kDefaultRowHeight, logicalDpiY()));
    set(Ctl::MSF, m_msf);

    auto *recalculate = makeButton(frDc, "Recalculate", QStringLiteral("Recalculate"));
    recalculate->hide();
    set(Ctl::Recalculate, recalculate);
    set(Ctl::ResetData, makeButton(frDc, "ResetData", QStringLiteral("Reset data")));
    set(Ctl::Printd, makeButton(frDc, "Printd", QStringLiteral("Print")));

    auto *help = makeLabel(frDc, "Label_Help", QString(), true);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    set(Ctl::Label_Help, help);

    auto *speed = makeButton(frDc, "Speed", QStringLiteral("Early Speed"));
    speed->hide();
    set(Ctl::Speed, speed);
    auto *lateSpeed = makeButton(frDc, "LateSpeed", QStringLiteral("Late Speed"));
    lateSpeed->hide();
    set(Ctl::LateSpeed, lateSpeed);

    auto *settings = new QGroupBox(QStringLiteral("Settings"), frDc);
    settings->setObjectName(QStringLiteral("FrameRecalculate"));
    settings->setAutoFillBackground(true);
    set(Ctl::FrameRecalculate, settings);
    buildSettingsFrame(settings);
    settings->hide();
    settings->raise();
    frDc->hide();

    // The file-selection frame.
    auto *frOpen = new QGroupBox(QStringLiteral("Open a file, select the location of the file"), m_client);
    frOpen->setObjectName(QStringLiteral("Fr_Open"));
    set(Ctl::Fr_Open, frOpen);
    m_dir = new DirListBox(frOpen);
    m_dir->setObjectName(QStringLiteral("Dir1"));
    m_dir->setPath(m_startDir);
    set(Ctl::Dir1, m_dir);
    m_files = new FileListBox(frOpen);
    m_files->setObjectName(QStringLiteral("File1"));
    set(Ctl::File1, m_files);
    set(Ctl::BT_Open, makeButton(frOpen, "BT_Open", QStringLiteral("Open")));
    set(Ctl::BT_Cancel, makeButton(frOpen, "BT_Cancel", QStringLiteral("Cancel")));
    frOpen->hide();

    QWidget::setTabOrder(m_msf, control(Ctl::Recalculate));
    QWidget::setTabOrder(control(Ctl::Recalculate), control(Ctl::ResetData));
    QWidget::setTabOrder(control(Ctl::ResetData), control(Ctl::Printd));
    QWidget::setTabOrder(m_dir, m_files);
    QWidget::setTabOrder(m_files, control(Ctl::BT_Open));
    QWidget::setTabOrder(control(Ctl::BT_Open), control(Ctl::BT_Cancel));
}

void KEL_Soft::buildSettingsFrame(QWidget *frame)
{
    auto set = [this](Ctl c, QWidget *w) { m_controls[std::size_t(c)] = w; };

    set(Ctl::Label1, makeLabel(frame, "Label1", QStringLiteral("Date races since:")));
    auto *date = makeEdit(frame, "Text_Date", QStringLiteral("01/01/01"));
    date->setMaxLength(8);
    set(Ctl::Text_Date, date);
    set(Ctl::Check_Dirt, makeCheck(frame, "Check_Dirt", QStringLiteral("Dirt races")));
    set(Ctl::Check_Turf, makeCheck(frame, "Check_Turf", QStringLiteral("Turf races")));
    set(Ctl::Check_Fast, makeCheck(frame, "Check_Fast", QStringLiteral("Fast, good surface races")));
    set(Ctl::Check_Muddy, makeCheck(frame, "Check_Muddy", QStringLiteral("Muddy, sloopy surface races")));
    set(Ctl::Label2, makeLabel(frame, "Label2", QStringLiteral("Purse from:")));
    set(Ctl::Text_Purse1, makeEdit(frame, "Text_Purse1", QStringLiteral("0K")));
    set(Ctl::Label3, makeLabel(frame, "Label3", QStringLiteral("To:")));
    set(Ctl::Text_Purse2, makeEdit(frame, "Text_Purse2", QStringLiteral("10M")));
    set(Ctl::Label4, makeLabel(frame, "Label4", QStringLiteral("Distance from:")));
    set(Ctl::Text_Distance1, makeEdit(frame, "Text_Distance1", QStringLiteral("4 1/2F")));
    set(Ctl::Label5, makeLabel(frame, "Label5", QStringLiteral("To:")));
    set(Ctl::Text_Distance2, makeEdit(frame, "Text_Distance2", QStringLiteral("2 1/2M")));
    set(Ctl::Command4, makeButton(frame, "Command4", QStringLiteral("Go!")));
    set(Ctl::Command6, makeButton(frame, "Command6", QStringLiteral("Cancel")));

    const Ctl order[] = {Ctl::Text_Date,   Ctl::Check_Dirt,     Ctl::Check_Turf,     Ctl::Check_Fast,
                         Ctl::Check_Muddy, Ctl::Text_Purse1,    Ctl::Text_Purse2,    Ctl::Text_Distance1,
                         Ctl::Text_Distance2, Ctl::Command4, Ctl::Command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(control(order[i - 1]), control(order[i]));
}

void KEL_Soft::connectEvents()
{
    connect(m_openAction, &QAction::triggered, this, &KEL_Soft::File_Open_Click);
    connect(m_dir, &DirListBox::pathChanged, this, &KEL_Soft::Dir1_Change);
    connect(m_files, &FileListBox::nameDoubleClicked, this, &KEL_Soft::BT_Open_Click);
    connect(m_files, &FileListBox::enterPressed, this, &KEL_Soft::BT_Open_Click);

    auto click = [this](Ctl c, void (KEL_Soft::*handler)()) {
        connect(static_cast<QPushButton *>(control(c)), &QPushButton::clicked, this, handler);
    };
    click(Ctl::BT_Open, &KEL_Soft::BT_Open_Click);
    click(Ctl::BT_Cancel, &KEL_Soft::BT_Cancel_Click);
    click(Ctl::Recalculate, &KEL_Soft::Recalculate_Click);
    click(Ctl::ResetData, &KEL_Soft::ResetData_Click);
    click(Ctl::Printd, &KEL_Soft::Printd_Click);
    click(Ctl::Command4, &KEL_Soft::Command4_Click);
    click(Ctl::Command6, &KEL_Soft::Command6_Click);
    click(Ctl::Speed, &KEL_Soft::Speed_Click);
    click(Ctl::LateSpeed, &KEL_Soft::LateSpeed_Click);

    connect(m_msf, &QAbstractItemView::doubleClicked, this, &KEL_Soft::MSF_DblClick);
    connect(m_msf->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &KEL_Soft::MSF_HeaderDblClick);
    connect(m_msf, &MsfView::enterPressed, this, &KEL_Soft::MSF_EnterPress);
    connect(m_msf, &MsfView::keyPressed, this, &KEL_Soft::MSF_KeyPress);
    connect(m_msf->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { syncCurrentFromView(current); });
}

void KEL_Soft::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    // Room beyond the design size, shared out by each control's anchor.
    const int dx = std::max(0, m_client->width() - twipsToPx(kClientWidth, dpiX));
    const int dy = std::max(0, m_client->height() - twipsToPx(kClientHeight, dpiY));

    for (const Placement &p : kPlacements) {
        QRect r(twipsToPx(p.left, dpiX), twipsToPx(p.top, dpiY), twipsToPx(p.width, dpiX),
                twipsToPx(p.height, dpiY));
        if (p.anchor & GrowW)
            r.setWidth(r.width() + dx);
        if (p.anchor & GrowH)
            r.setHeight(r.height() + dy);
        if (p.anchor & FollowBottom)
            r.moveTop(r.top() + dy);
        if (p.anchor & Centre)
            r.translate(dx / 2, dy / 2);
        control(p.ctl)->setGeometry(r);
    }
    m_grid.setWidth(11295 + pxToTwips(dx, dpiX));
}

bool KEL_Soft::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        layoutControls();
    return QMainWindow::eventFilter(watched, event);
}

void KEL_Soft::keyPressEvent(QKeyEvent *event)
{
    // Only with no frame shown does a key belong to the window itself; otherwise it is one a
    // control let through (ESC on a button, say), and those do nothing.
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
    ++m_handlerDepth;
    handler();
    --m_handlerDepth;
    if (m_handlerDepth == 0)
        refreshView();
}

void KEL_Soft::refreshView()
{
    m_refreshing = true;
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();

    m_table->reload();
    const int headerRows = m_table->headerRows();
    m_msf->horizontalHeader()->setVisible(headerRows == 1);
    for (int c = 0; c < m_grid.cols(); ++c)
        m_msf->setColumnWidth(c, twipsToPx(m_grid.colWidth(c), dpiX));
    for (int r = headerRows; r < m_grid.rows(); ++r) {
        if (m_grid.rowHeight(r) != GridModel::kDefaultRowHeight)
            m_msf->setRowHeight(r - headerRows, twipsToPx(m_grid.rowHeight(r), dpiY));
    }
    // Whole rows read best where a row is one race or one horse; on the PP page the column
    // under the pointer matters.
    m_msf->setSelectionBehavior(m_module.ViewPage == 3 ? QAbstractItemView::SelectItems
                                                       : QAbstractItemView::SelectRows);

    const QModelIndex current = m_table->index(m_table->viewRow(m_grid.row()), m_grid.col());
    if (current.isValid()) {
        m_msf->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
        m_msf->scrollTo(current);
    } else {
        m_msf->selectionModel()->clear();
    }

    // Keep the keyboard somewhere the user can see.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !focus->isVisibleTo(this) || !isAncestorOf(focus)) {
        if (!control(Ctl::fr_dc)->isHidden())
            m_msf->setFocus();
        else if (!control(Ctl::Fr_Open)->isHidden())
            m_files->setFocus();
        else
            setFocus();
    }
    m_refreshing = false;
}

void KEL_Soft::syncCurrentFromView(const QModelIndex &index)
{
    if (m_refreshing || m_handlerDepth > 0 || !index.isValid())
        return;
    m_grid.setRow(m_table->gridRow(index.row()));
    m_grid.setCol(index.column());
}

void KEL_Soft::Form_Load()
{
    m_files->setPath(m_dir->path());
}

void KEL_Soft::File_Open_Click()
{
    run([this] { kel::File_Open_Click(m_module, *m_form); });
    // Cards may have come or gone since the list was read.
    m_files->refresh();
    m_files->setFocus();
}

void KEL_Soft::Dir1_Change()
{
    m_files->setPath(m_dir->path());
}

void KEL_Soft::BT_Open_Click()
{
    run([this] { kel::BT_Open_Click(m_module, *m_form, dialogs()); });
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
    // A header double-click widens or restores that column of the PP page. On the other pages
    // it would open whatever row happens to be current, which nobody means.
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
    run([this, code] { kel::MSF_KeyPress(m_module, *m_form, int16_t(code)); });
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
