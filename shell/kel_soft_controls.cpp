// The window's controls as the control table lays them out: made, wired to their handlers and
// placed, in twips converted at the screen's resolution.
#include "shell/kel_soft.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "shell/file_lists.h"
#include "shell/grid_table_model.h"
#include "shell/msf_view.h"
#include "shell/status_text.h"
#include "shell/twips.h"
#include "shell/window_style.h"
#include "views/controls.h"

namespace kel {

namespace {

// Tab within the client area leaves the scrolling to the window's focus rule (scrollIntoView):
// QScrollArea's own would centre the grid on its current item again, after it.
class ClientScroll : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

// How a control follows a window made larger than its design size.
enum Anchor { Fixed = 0, GrowW = 1, GrowH = 2, FollowBottom = 4, Centre = 8, HalfRight = 16, Right = 32 };

int anchorOf(Ctl c)
{
    switch (c) {
    case Ctl::fr_dc:
    case Ctl::MSF:
        return GrowW | GrowH;
    case Ctl::LabelCarreras:
        return GrowW;
    case Ctl::Label_Help:
        return FollowBottom | GrowW;
    case Ctl::ResetData:
        return FollowBottom | HalfRight;
    case Ctl::Printd:
        return FollowBottom | Right;
    case Ctl::Recalculate:
    case Ctl::Speed:
    case Ctl::LateSpeed:
        return FollowBottom;
    case Ctl::FrameRecalculate:
    case Ctl::Fr_Open:
        return Centre;
    default:
        return Fixed;
    }
}

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

QWidget *makeControl(const ControlInfo &info, QWidget *parent, QStyle *style)
{
    const QString caption = QString::fromUtf8(info.caption.data(), qsizetype(info.caption.size()));
    QWidget *w = nullptr;
    switch (info.kind) {
    case CtlKind::Frame:
        w = new QGroupBox(caption, parent);
        break;
    case CtlKind::Label: {
        auto *label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        w = label;
        break;
    }
    case CtlKind::Button: {
        auto *button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        button->setStyle(style);
        w = button;
        break;
    }
    case CtlKind::TextBox: {
        auto *edit = new QLineEdit(caption, parent);
        if (info.maxLength > 0)
            edit->setMaxLength(info.maxLength);
        w = edit;
        break;
    }
    case CtlKind::CheckBox: {
        auto *check = new QCheckBox(caption, parent);
        check->setTristate(info.value == 2);
        check->setCheckState(info.value == 0 ? Qt::Unchecked : info.value == 2 ? Qt::PartiallyChecked : Qt::Checked);
        check->setStyle(style);
        w = check;
        break;
    }
    case CtlKind::Grid:
        w = new MsfView(parent);
        break;
    case CtlKind::DirList:
        w = new DirListBox(parent);
        break;
    case CtlKind::FileList:
        w = new FileListBox(parent);
        break;
    }
    return w;
}

std::vector<Ctl> tabOrder()
{
    std::vector<const ControlInfo *> settings;
    for (const ControlInfo &info : kControls)
        if (info.tabIndex > 0)
            settings.push_back(&info);
    std::sort(settings.begin(), settings.end(),
              [](const ControlInfo *a, const ControlInfo *b) { return a->tabIndex < b->tabIndex; });
    std::vector<Ctl> order{Ctl::MSF, Ctl::Recalculate, Ctl::ResetData, Ctl::Printd};
    for (const ControlInfo *info : settings)
        order.push_back(info->ctl);
    order.insert(order.end(), {Ctl::Dir1, Ctl::File1, Ctl::BT_Open, Ctl::BT_Cancel});
    return order;
}

// Names each text box to a screen reader; the two "To:" boxes also say which limit they hold.
struct TextBoxLabel
{
    Ctl box;
    Ctl label;
    const char *description;
};
constexpr TextBoxLabel kTextBoxLabels[] = {
    {Ctl::Text_Date, Ctl::Label1, nullptr},
    {Ctl::Text_Purse1, Ctl::Label2, "lowest purse"},
    {Ctl::Text_Purse2, Ctl::Label3, "highest purse"},
    {Ctl::Text_Distance1, Ctl::Label4, "shortest distance"},
    {Ctl::Text_Distance2, Ctl::Label5, "longest distance"},
};

} // namespace

void KEL_Soft::buildControls()
{
    setFont(windowFont()); // first: every control takes it over
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("File"));
    m_openAction = m_fileMenu->addAction(QStringLiteral("&Open"));
    m_openAction->setObjectName(QStringLiteral("File_Open"));
    m_openAction->setShortcut(QKeySequence::Open);

    m_scroll = new ClientScroll(this);
    m_scroll->setObjectName(QStringLiteral("clientScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidgetResizable(true);
    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("client"));
    m_scroll->setWidget(m_client);
    setCentralWidget(m_scroll);
    m_client->installEventFilter(this);

    auto *status = new QWidget(statusBar());
    status->setObjectName(QStringLiteral("StatusLine"));
    status->setAccessibleName(QStringLiteral("Status line"));
    auto *lines = new QVBoxLayout(status);
    lines->setContentsMargins(2, 0, 2, 0);
    lines->setSpacing(0);
    m_statusMarks = new StatusText(status);
    m_statusMarks->setObjectName(QStringLiteral("StatusMarks"));
    m_statusCurrent = new StatusText(status);
    m_statusCurrent->setObjectName(QStringLiteral("StatusCurrent"));
    lines->addWidget(m_statusMarks);
    lines->addWidget(m_statusCurrent);
    statusBar()->addWidget(status, 1);

    m_style = new WindowStyle;
    m_style->setParent(this);

    // Containers come before their controls in the table.
    for (const ControlInfo &info : kControls) {
        QWidget *parent = info.container ? control(*info.container) : m_client;
        QWidget *w = makeControl(info, parent, m_style);
        w->setObjectName(QString::fromUtf8(info.name.data(), qsizetype(info.name.size())));
        if (!info.visible)
            w->hide();
        m_controls[std::size_t(info.ctl)] = w;
    }

    m_msf = static_cast<MsfView *>(control(Ctl::MSF));
    m_dir = static_cast<DirListBox *>(control(Ctl::Dir1));
    m_files = static_cast<FileListBox *>(control(Ctl::File1));

    auto *carreras = static_cast<QLabel *>(control(Ctl::LabelCarreras));
    carreras->setFont(windowFont(true));
    carreras->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    carreras->setWordWrap(true);
    auto *help = static_cast<QLabel *>(control(Ctl::Label_Help));
    help->setFont(windowFont(true));
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Every control has a name a screen reader can say.
    for (const TextBoxLabel &t : kTextBoxLabels) {
        auto *label = static_cast<QLabel *>(control(t.label));
        label->setBuddy(control(t.box));
        control(t.box)->setAccessibleName(label->text());
        if (t.description)
            control(t.box)->setAccessibleDescription(QString::fromLatin1(t.description));
    }
    control(Ctl::fr_dc)->setAccessibleName(QStringLiteral("Card"));
    m_msf->setAccessibleName(QStringLiteral("Grid")); // then named by the page it shows
    m_dir->setAccessibleName(QStringLiteral("Folders"));
    m_files->setAccessibleName(QStringLiteral("kel files"));

    // The Settings frame lies over the grid.
    control(Ctl::FrameRecalculate)->setAutoFillBackground(true);
    control(Ctl::FrameRecalculate)->raise();

    m_table = new GridTableModel(m_msf);
    m_msf->setModel(m_table);
    m_msf->verticalHeader()->setDefaultSectionSize(twipsToPx(GridModel::kDefaultRowHeight, logicalDpiY()));
    m_dir->setPath(m_startDir);

    const std::vector<Ctl> order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
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
    // In a window smaller than its design size the control that gets the focus scrolls into view,
    // also when a command gives it (the date, by "Recalculate").
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_client->isAncestorOf(now))
            scrollIntoView(*now);
    });
    // Enter in a text box of the Settings frame runs "Go!", nine Tabs away otherwise.
    for (const TextBoxLabel &t : kTextBoxLabels)
        connect(static_cast<QLineEdit *>(control(t.box)), &QLineEdit::returnPressed, this, &KEL_Soft::Command4_Click);

    connect(m_msf, &QAbstractItemView::doubleClicked, this, &KEL_Soft::MSF_DblClick);
    connect(m_msf->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &KEL_Soft::MSF_HeaderDblClick);
    connect(m_msf->horizontalHeader(), &QHeaderView::sectionResized, this, &KEL_Soft::MSF_ColumnDragged);
    connect(m_msf, &MsfView::enterPressed, this, &KEL_Soft::MSF_EnterPress);
    connect(m_msf, &MsfView::keyPressed, this, &KEL_Soft::MSF_KeyPress);
    connect(m_msf->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { syncCurrentFromView(current); });
}

void KEL_Soft::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int dx = std::max(0, m_client->width() - twipsToPx(kClientWidth, dpiX));
    const int dy = std::max(0, m_client->height() - twipsToPx(kClientHeight, dpiY));

    for (const ControlInfo &info : kControls) {
        QRect r(twipsToPx(info.left, dpiX), twipsToPx(info.top, dpiY), twipsToPx(info.width, dpiX),
                twipsToPx(info.height, dpiY));
        const int anchor = anchorOf(info.ctl);
        if (anchor & GrowW)
            r.setWidth(r.width() + dx);
        if (anchor & GrowH)
            r.setHeight(r.height() + dy);
        if (anchor & FollowBottom)
            r.moveTop(r.top() + dy);
        if (anchor & Centre)
            r.translate(dx / 2, dy / 2);
        if (anchor & HalfRight)
            r.translate(dx / 2, 0);
        if (anchor & Right)
            r.translate(dx, 0);
        control(info.ctl)->setGeometry(r);
    }
    m_grid.setWidth(controlInfo(Ctl::MSF).width + pxToTwips(dx, dpiX));
    drawColumnWidths();
}

void KEL_Soft::scrollIntoView(const QWidget &control)
{
    // The whole control when it fits, else its start: Qt's ensureWidgetVisible centres a control
    // larger than the view on its current item, scrolling away the start of every row.
    const QRect at(control.mapTo(m_client, QPoint(0, 0)), control.size());
    const QSize view = m_scroll->viewport()->size();
    const auto show = [](QScrollBar *bar, int start, int length, int viewLength) {
        const int shown = bar->value();
        if (length > viewLength ? start < shown || start >= shown + viewLength : start < shown)
            bar->setValue(start);
        else if (length <= viewLength && start + length > shown + viewLength)
            bar->setValue(start + length - viewLength);
    };
    show(m_scroll->horizontalScrollBar(), at.left(), at.width(), view.width());
    show(m_scroll->verticalScrollBar(), at.top(), at.height(), view.height());
}

} // namespace kel
