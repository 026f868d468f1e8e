// The print preview on its own: the keys a keyboard user prints with, the pages drawn only as
// they come into view, the note of fields the paper has no room for, and the progress of a long
// output over the middle of its window.
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include "shell/print_preview.h"
#include "shell/print_target.h"
#include "shell/printer/pdf_output.h"
#include "store/number_text.h"
#include "support/recording_printer.h"

using namespace kel;

namespace {

// A document of the given pages, each with its number and a rule near the top, and a row of
// large letters across the middle of the paper.
void WritePages(RecordingPrinter &doc, int pages)
{
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            doc.newPage();
        doc.setFontSize(9);
        doc.setCurrentX(300);
        doc.printLine("Page " + DecimalText(page));
        doc.drawLine(0, 1000, 11500, 1000, 0);
        doc.setFontSize(40);
        doc.setCurrentX(4000);
        doc.printLine("WWWWWW");
    }
    doc.endDoc();
}

QPushButton *Button(const PrintPreview &preview, const QString &text)
{
    for (QPushButton *b : preview.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

private slots:
    // Ctrl+P and Enter print, Ctrl+Shift+P sets the page up, Tab reaches every button, Enter in
    // the page number goes to the page without printing, ESC closes.
    void printsAndClosesByKeys()
    {
        RecordingPrinter doc;
        WritePages(doc, 30);
        PrintPreview preview;
        preview.resize(800, 600);
        preview.setDocument(&doc, LetterLayout());
        QSignalSpy print(&preview, &PrintPreview::printRequested);
        QSignalSpy setUp(&preview, &PrintPreview::pageSetUpRequested);
        preview.show();
        QVERIFY(QTest::qWaitForWindowActive(&preview));
        QCOMPARE(QApplication::focusWidget(), preview.pages());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(print.count(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(setUp.count(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(print.count(), 2);

        // From the pages: the page number, Page set-up, Print, Close.
        const QList<QWidget *> chain = {preview.findChild<QSpinBox *>(), Button(preview, "Page set-up"),
                                        Button(preview, "Print"), Button(preview, "Close")};
        for (QWidget *next : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(Button(preview, "Print"), Qt::Key_Space);
        QCOMPARE(print.count(), 3);
        QTest::keyClick(Button(preview, "Page set-up"), Qt::Key_Space);
        QCOMPARE(setUp.count(), 2);

        auto *page = preview.findChild<QSpinBox *>();
        page->setFocus();
        page->selectAll();
        QTest::keyClicks(page, "12");
        QTest::keyClick(page, Qt::Key_Return);
        QCOMPARE(print.count(), 3);
        QCOMPARE(preview.pages()->currentPage(), 12);

        QTest::keyClick(page, Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
        QCOMPARE(preview.result(), int(QDialog::Rejected));
        QCOMPARE(print.count(), 3);
    }

    // Hundreds of pages: only those in view are drawn, and few are kept. Page Down, End and Home
    // move by pages, and the page number follows.
    void drawsThePagesInViewOnly()
    {
        RecordingPrinter doc;
        WritePages(doc, 300);
        PrintPreview preview;
        preview.resize(800, 600);
        preview.setDocument(&doc, LetterLayout());
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        PageView *view = preview.pages();
        QCOMPARE(view->pageCount(), 300);
        QCOMPARE(view->currentPage(), 1);
        const QImage shown = view->viewport()->grab().toImage();
        QVERIFY(view->drawnPages() >= 1 && view->drawnPages() <= 2);
        // Page 1 is drawn: its letters are black in the middle of the view.
        bool ink = false;
        for (int y = 0; y < shown.height() && !ink; ++y)
            ink = qGray(shown.pixel(shown.width() / 2, y)) < 60;
        QVERIFY(ink);

        auto *page = preview.findChild<QSpinBox *>();
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(view->currentPage(), 21);
        QCOMPARE(page->value(), 21);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(view->currentPage(), 300);
        view->viewport()->repaint();
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->currentPage(), 1);
        QCOMPARE(page->value(), 1);
        view->viewport()->repaint();
        QVERIFY(view->drawnPages() <= 8);

        // A new size draws again at that size and keeps the page in view.
        view->showPage(40);
        view->zoomBy(2);
        QCOMPARE(view->currentPage(), 40);
        view->fitPage();
        QCOMPARE(view->currentPage(), 40);
    }

    // The fields the paper has no room for are said once, under the pages; every field printed,
    // nothing is said.
    void saysOnceWhichFieldsAreNotPrinted()
    {
        RecordingPrinter doc;
        WritePages(doc, 2);
        PrintPreview preview;
        preview.setDocument(&doc, LetterLayout());
        QCOMPARE(preview.leftOutNote(), QString());
        RecordingPrinter narrow;
        narrow.noteLeftOut("PP Jockey");
        narrow.noteLeftOut("PP Odd");
        narrow.noteLeftOut("PP Jockey");
        WritePages(narrow, 3);
        preview.setDocument(&narrow, LetterLayout());
        QCOMPARE(preview.leftOutNote(),
                 QString("Not printed on this paper, for want of room: PP Jockey, PP Odd. Page set-up can choose "
                         "wider paper or landscape."));
        QCOMPARE(preview.pages()->pageCount(), 3);
    }

    // The progress of a long output stands over the middle of the window it reports on.
    void progressStandsOverTheMiddleOfItsWindow()
    {
        QWidget window;
        window.setGeometry(100, 80, 900, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PrintProgress progress(&window, "Writing /tmp/a-long-name-for-the-report.pdf", true);
        QVERIFY(progress(0, 861));
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        const QPoint off = progress.frameGeometry().center() - window.frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2, qPrintable(QString("%1, %2").arg(off.x()).arg(off.y())));
        progress.cancel();
        QVERIFY(!progress(1, 861));
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_print_preview.moc"
