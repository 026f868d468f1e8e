#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QImage>
#include <QPageLayout>

#include <list>

#include "printing/recorded_document.h"

class QAction;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kel {

// The pages of a recorded document one under the other, as they lie on their paper. A page is
// drawn when it comes into view and only the last few drawn are kept, so that a report of
// hundreds of pages shows at once and holds little. Page Up and Page Down go a page back and on,
// Home and End to the first and last; Ctrl and the wheel zoom.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    // The document must stay until the next call or the view's end; null lets it go.
    void setDocument(const RecordedDocument *doc, const QPageLayout &layout);
    int pageCount() const;
    // The page in the middle of the view, from 1; 0 without pages.
    int currentPage() const;
    // Scrolls the page's top into view.
    void showPage(int page);

    // Screen dots per inch of the paper: the paper's width or its whole page in the view, or a
    // size of its own, which the view then keeps.
    void fitWidth();
    void fitPage();
    void zoomBy(double factor);
    int dpi() const { return m_dpi; }

    // Pages drawn and kept for the screen.
    int drawnPages() const { return static_cast<int>(m_drawn.size()); }

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    enum class Fit { Width, Page, None };
    void setDpi(int dpi, Fit fit);
    int fittingDpi(Fit fit) const;
    // Sizes in screen pixels at the current size.
    QSize paperSize() const;
    int pageStep() const { return paperSize().height() + kGap; }
    // Where the page lies in the view's own coordinates.
    QRect pageRect(int page) const;
    const QImage &drawn(int page);
    void updateScrollBars();
    void tellPage();

    static constexpr int kGap = 12;
    static constexpr int kKept = 8;

    const RecordedDocument *m_doc = nullptr;
    QSizeF m_paper;  // twips
    QPointF m_inset; // where the printable area starts on the paper, twips
    int m_dpi = 72;
    Fit m_fit = Fit::Width;
    int m_shownPage = 0;
    int m_keptPage = 1;
    struct Drawn
    {
        int page;
        QImage image;
    };
    std::list<Drawn> m_drawn; // the latest first
};

// The print preview: a report's pages, Print (Ctrl+P, also Enter: the default button) and Page
// set-up (Ctrl+Shift+P), both buttons that take the focus, and Close (ESC). Its status says which
// page is in view and, when fields have no room on the chosen paper, which fields are not
// printed. What Print and Page set-up do is the caller's.
class PrintPreview : public QDialog
{
    Q_OBJECT

public:
    explicit PrintPreview(QWidget *parent = nullptr);

    // Shows the document's pages on paper of the layout; the document must stay until the next
    // call or the preview's end.
    void setDocument(const RecordedDocument *doc, const QPageLayout &layout);
    PageView *pages() const { return m_view; }
    // The note of the fields the paper has no room for; empty when every field is printed.
    QString leftOutNote() const;

    // "Not printed on this paper, for want of room: PP Jockey, PP Odd, PP Race Pos. ..."; empty
    // for none.
    static QString leftOutText(const std::vector<std::string> &fields);

signals:
    void printRequested();
    void pageSetUpRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPageNumber(int page);

    PageView *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QLabel *m_leftOut;
    QPushButton *m_print;
};

} // namespace kel
