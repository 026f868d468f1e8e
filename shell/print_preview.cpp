#include "shell/print_preview.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "shell/printer/painter_printer.h"
#include "store/number_text.h"

namespace kel {

namespace {

constexpr int kMinDpi = 20;
constexpr int kMaxDpi = 600;
constexpr double kZoomStep = 1.25;

int pixels(double twips, int dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Pages"));
    viewport()->setBackgroundRole(QPalette::Mid);
    viewport()->setAutoFillBackground(true);
}

void PageView::setDocument(const RecordedDocument *doc, const QPageLayout &layout)
{
    // The page in view stays in view, also across a document let go in between.
    if (m_doc)
        m_keptPage = std::max(currentPage(), 1);
    m_doc = doc;
    const QRectF paper = layout.fullRect(QPageLayout::Inch);
    const QRectF printable = layout.paintRect(QPageLayout::Inch);
    m_paper = paper.size() * 1440.0;
    m_inset = (printable.topLeft() - paper.topLeft()) * 1440.0;
    m_drawn.clear();
    setDpi(m_fit == Fit::None ? m_dpi : fittingDpi(m_fit), m_fit);
    showPage(std::min(m_keptPage, pageCount()));
    m_shownPage = 0;
    tellPage();
}

int PageView::pageCount() const
{
    // A report without pages prints one empty page.
    return m_doc ? std::max(m_doc->pages(), 1) : 0;
}

int PageView::currentPage() const
{
    if (pageCount() == 0)
        return 0;
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2;
    return std::clamp((middle - kGap / 2) / pageStep() + 1, 1, pageCount());
}

void PageView::showPage(int page)
{
    if (pageCount() == 0)
        return;
    page = std::clamp(page, 1, pageCount());
    verticalScrollBar()->setValue((page - 1) * pageStep());
    viewport()->update();
}

void PageView::fitWidth()
{
    setDpi(fittingDpi(Fit::Width), Fit::Width);
}

void PageView::fitPage()
{
    setDpi(fittingDpi(Fit::Page), Fit::Page);
}

void PageView::zoomBy(double factor)
{
    setDpi(static_cast<int>(std::lround(m_dpi * factor)), Fit::None);
}

int PageView::fittingDpi(Fit fit) const
{
    if (m_paper.isEmpty())
        return m_dpi;
    const double across = (viewport()->width() - 2 * kGap) * 1440.0 / m_paper.width();
    const double down = (viewport()->height() - 2 * kGap) * 1440.0 / m_paper.height();
    return static_cast<int>(std::floor(fit == Fit::Page ? std::min(across, down) : across));
}

void PageView::setDpi(int dpi, Fit fit)
{
    m_fit = fit;
    dpi = std::clamp(dpi, kMinDpi, kMaxDpi);
    if (dpi == m_dpi) {
        updateScrollBars();
        return;
    }
    // The page in the middle stays there.
    const int page = currentPage();
    const double into = page > 0 ? double(verticalScrollBar()->value() - (page - 1) * pageStep()) / pageStep() : 0;
    m_dpi = dpi;
    m_drawn.clear();
    updateScrollBars();
    if (page > 0)
        verticalScrollBar()->setValue((page - 1) * pageStep() + static_cast<int>(std::lround(into * pageStep())));
    viewport()->update();
}

QSize PageView::paperSize() const
{
    return {pixels(m_paper.width(), m_dpi), pixels(m_paper.height(), m_dpi)};
}

QRect PageView::pageRect(int page) const
{
    const QSize paper = paperSize();
    const int spare = viewport()->width() - paper.width();
    const int x = spare >= 2 * kGap ? spare / 2 : kGap - horizontalScrollBar()->value();
    const int y = kGap + (page - 1) * pageStep() - verticalScrollBar()->value();
    return {QPoint(x, y), paper};
}

void PageView::updateScrollBars()
{
    const QSize paper = paperSize();
    const int width = paper.width() + 2 * kGap;
    const int height = pageCount() * pageStep() + kGap;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(std::max(1, paper.height() / 20));
    horizontalScrollBar()->setSingleStep(std::max(1, paper.width() / 20));
}

const QImage &PageView::drawn(int page)
{
    const auto kept = std::find_if(m_drawn.begin(), m_drawn.end(), [page](const Drawn &d) { return d.page == page; });
    if (kept != m_drawn.end()) {
        m_drawn.splice(m_drawn.begin(), m_drawn, kept);
        return m_drawn.front().image;
    }
    // Drawn at the screen's own pixels, at a whole number of dots per inch, so that the fonts
    // take the sizes the paper gives them.
    const double ratio = devicePixelRatioF();
    const int dpi = static_cast<int>(std::lround(m_dpi * ratio));
    QImage image(pixels(m_paper.width(), dpi), pixels(m_paper.height(), dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    if (m_doc) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(m_inset * dpi / 1440.0);
        PainterPrinter printer(painter, m_doc->pageWidth(), m_doc->pageHeight());
        m_doc->replayPage(printer, page);
    }
    image.setDevicePixelRatio(ratio);
    m_drawn.push_front({page, std::move(image)});
    if (m_drawn.size() > kKept)
        m_drawn.pop_back();
    return m_drawn.front().image;
}

void PageView::paintEvent(QPaintEvent *)
{
    if (pageCount() == 0)
        return;
    QPainter painter(viewport());
    const int first = std::clamp(verticalScrollBar()->value() / pageStep() + 1, 1, pageCount());
    for (int page = first; page <= pageCount(); ++page) {
        const QRect r = pageRect(page);
        if (r.top() >= viewport()->height())
            break;
        painter.fillRect(r.translated(2, 2), palette().color(QPalette::Shadow));
        painter.drawImage(r.topLeft(), drawn(page));
    }
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fit != Fit::None)
        setDpi(fittingDpi(m_fit), m_fit);
    updateScrollBars();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
    tellPage();
}

void PageView::tellPage()
{
    const int page = currentPage();
    if (page != m_shownPage) {
        m_shownPage = page;
        emit currentPageChanged(page);
    }
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        showPage(currentPage() - 1);
        break;
    case Qt::Key_PageDown:
        showPage(currentPage() + 1);
        break;
    case Qt::Key_Home:
        showPage(1);
        break;
    case Qt::Key_End:
        showPage(pageCount());
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void PageView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() != 0)
            zoomBy(event->angleDelta().y() > 0 ? kZoomStep : 1 / kZoomStep);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

PrintPreview::PrintPreview(QWidget *parent)
    : QDialog(parent)
    , m_view(new PageView(this))
    , m_pageBox(new QSpinBox(this))
    , m_pageCount(new QLabel(this))
    , m_leftOut(new QLabel(this))
    , m_print(new QPushButton(QStringLiteral("Print"), this))
{
    setWindowTitle(QStringLiteral("Print preview"));

    auto *print = new QAction(QStringLiteral("Print"), this);
    print->setShortcut(QKeySequence::Print);
    auto *pageSetUp = new QAction(QStringLiteral("Page set-up"), this);
    pageSetUp->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    addAction(print);
    addAction(pageSetUp);
    connect(print, &QAction::triggered, this, &PrintPreview::printRequested);
    connect(pageSetUp, &QAction::triggered, this, &PrintPreview::pageSetUpRequested);

    auto *tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto tool = [&](const QString &text, QKeySequence keys, auto slot) {
        QAction *a = tools->addAction(text, this, slot);
        a->setShortcut(keys);
        a->setToolTip(keys.isEmpty() ? text : text + " (" + keys.toString(QKeySequence::NativeText) + ")");
    };
    tool(QStringLiteral("Fit width"), QKeySequence(Qt::CTRL | Qt::Key_1), [this] { m_view->fitWidth(); });
    tool(QStringLiteral("Whole page"), QKeySequence(Qt::CTRL | Qt::Key_2), [this] { m_view->fitPage(); });
    tool(QStringLiteral("Zoom in"), QKeySequence::ZoomIn, [this] { m_view->zoomBy(kZoomStep); });
    tool(QStringLiteral("Zoom out"), QKeySequence::ZoomOut, [this] { m_view->zoomBy(1 / kZoomStep); });
    tools->addSeparator();
    tool(QStringLiteral("First page"), {}, [this] { m_view->showPage(1); });
    tool(QStringLiteral("Previous page"), {}, [this] { m_view->showPage(m_view->currentPage() - 1); });
    auto *pageLabel = new QLabel(QStringLiteral("Page "), this);
    pageLabel->setBuddy(m_pageBox);
    tools->addWidget(pageLabel);
    m_pageBox->setAccessibleName(QStringLiteral("Page"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->installEventFilter(this);
    tools->addWidget(m_pageBox);
    tools->addWidget(m_pageCount);
    tool(QStringLiteral("Next page"), {}, [this] { m_view->showPage(m_view->currentPage() + 1); });
    tool(QStringLiteral("Last page"), {}, [this] { m_view->showPage(m_view->pageCount()); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != m_view->currentPage())
            m_view->showPage(page);
    });
    connect(m_view, &PageView::currentPageChanged, this, &PrintPreview::showPageNumber);

    m_leftOut->setWordWrap(true);
    m_leftOut->setAccessibleName(QStringLiteral("Fields not printed"));
    m_leftOut->setVisible(false);

    m_print->setDefault(true);
    m_print->setToolTip(QStringLiteral("Print (") + print->shortcut().toString(QKeySequence::NativeText) + ")");
    connect(m_print, &QPushButton::clicked, print, &QAction::trigger);
    auto *setUp = new QPushButton(QStringLiteral("Page set-up"), this);
    setUp->setToolTip(QStringLiteral("Page set-up (") + pageSetUp->shortcut().toString(QKeySequence::NativeText) + ")");
    connect(setUp, &QPushButton::clicked, pageSetUp, &QAction::trigger);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setToolTip(QStringLiteral("Close without printing (Esc)"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_leftOut, 1);
    // The buttons keep their size at the right when the note is hidden.
    buttons->addStretch(0);
    buttons->addWidget(setUp);
    buttons->addWidget(m_print);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(tools);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    // Tab goes from the pages to the page number, then along the buttons.
    setTabOrder(m_view, m_pageBox);
    setTabOrder(m_pageBox, setUp);
    setTabOrder(setUp, m_print);
    setTabOrder(m_print, close);
    m_view->setFocus();
}

void PrintPreview::setDocument(const RecordedDocument *doc, const QPageLayout &layout)
{
    m_view->setDocument(doc, layout);
    m_pageBox->setRange(std::min(1, m_view->pageCount()), m_view->pageCount());
    m_pageCount->setText(" of " + QString::fromStdString(DecimalText(m_view->pageCount())) + ' ');
    showPageNumber(m_view->currentPage());
    const QString note = doc ? leftOutText(doc->leftOut()) : QString();
    m_leftOut->setText(note);
    m_leftOut->setVisible(!note.isEmpty());
}

QString PrintPreview::leftOutNote() const
{
    return m_leftOut->text();
}

QString PrintPreview::leftOutText(const std::vector<std::string> &fields)
{
    if (fields.empty())
        return {};
    QStringList names;
    for (const std::string &f : fields)
        names << QString::fromStdString(f);
    return "Not printed on this paper, for want of room: " + names.join(QStringLiteral(", "))
           + ". Page set-up can choose wider paper or landscape.";
}

bool PrintPreview::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the page number goes to that page; it does not print.
    if (watched == m_pageBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_pageBox->interpretText();
            m_view->showPage(m_pageBox->value());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrintPreview::showPageNumber(int page)
{
    const QSignalBlocker quiet(m_pageBox);
    m_pageBox->setValue(page);
}

} // namespace kel
