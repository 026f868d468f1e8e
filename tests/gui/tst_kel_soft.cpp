// The real window driven as a user drives it: menu, folder tree, file list, buttons, mouse on
// the grid and keys. Modal boxes are answered by a script, or are the real boxes closed by the
// keys a user presses, so that the focus takes the user's road.
#include <functional>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "shell/file_lists.h"
#include "shell/grid_table_model.h"
#include "shell/kel_soft.h"
#include "shell/msf_view.h"
#include "shell/print_preview.h"
#include "shell/print_target.h"
#include "shell/twips.h"
#include "views/controls.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

using namespace kel;

namespace {

// Three races. Race 1 has a horse with a dirt and a turf PP, a horse without PPs and a third
// horse; "\xBA" is the ordinal sign as the cards write it.
const char kCard[]
    = "1;TST;01/05/25;6F;Dirt;Claiming;20K;A;\r\n"
      "1;Alpha Dancer;120;3 1-0-0;B. g. 4 Sire-Dam;Smith, J;Jones, T;ML 2/1;B;\r\n"
      "Bravo-Charlie-Delta;2\xBA 120 (1);3-2-2;6F;1:10.20;d-f;20K;3.10;Smith, J;2/8;12/01/24;GP;99%;;98%;C;\r\n"
      "Echo-Foxtrot-Golf;1\xBA 120 (2);1-1-1;1 1/16M;1:43.00;t-fm;25K;2.40;Smith, J;1/9;11/01/24;GP;97%;;96%;C;\r\n"
      "2;Bravo Star;118;0 0-0-0;Ch. m. 5 Sire-Dam;Lopez, P;Ruiz, A;ML 5/1;B;\r\n"
      "3;Cosmic Ray;122;2 0-1-0;Dk b. c. 4 Sire-Dam;Ortiz, I;Cox, B;ML 3/1;B;\r\n"
      "Alpha-Bravo-Echo;3\xBA 122 (4);5-4-3;6 1/2F;1:17.80;d-g;30K;6.00;Ortiz, I;3/7;12/15/24;AQU;101%;;100%;C;\r\n"
      "2;TST;01/05/25;1M;Turf;Allowance;50K;A;\r\n"
      "1;Delta Queen;119;1 0-0-0;B. f. 3 Sire-Dam;Prat, F;Brown, C;ML 4/1;B;\r\n"
      "Golf-Hotel-India;4\xBA 119 (5);6-5-4;1M;1:36.00;t-f;50K;9.00;Prat, F;4/8;12/20/24;GP;102%;;101%;C;\r\n"
      "2;Echo Bay;121;0 0-0-0;Gr. g. 5 Sire-Dam;Saez, L;Pletcher, T;ML 6/1;B;\r\n"
      "3;TST;01/05/25;7F;Dirt;Maiden;40K;A;\r\n"
      "1;Foxy Lady;118;0 0-0-0;B. f. 3 Sire-Dam;Reyes, L;Joseph, S;ML 8/1;B;\r\n";

const char kOtherCard[] = "1;AQU;02/02/25;6F;Dirt;Other card;10K;A;\r\n"
                          "1;Lonely Runner;120;0 0-0-0;B. g. 4 Sire-Dam;Smith, J;Jones, T;ML 2/1;B;\r\n";

// Presses one key on each real modal box as it comes up, into the box's focus widget as a
// user's key goes, after `seen` has looked at the box and the window under it.
struct BoxKeys
{
    BoxKeys(QList<Qt::Key> keys, std::function<void(QWidget *)> seen = {})
    {
        QObject::connect(&timer, &QTimer::timeout, [this, keys, seen]() mutable {
            QWidget *box = QApplication::activeModalWidget();
            if (!box || box == last || keys.isEmpty() || !box->focusWidget())
                return;
            last = box;
            if (seen)
                seen(box);
            QTest::keyClick(box->focusWidget(), keys.takeFirst());
        });
        timer.start(5);
    }
    QTimer timer;
    QPointer<QWidget> last;
};

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

template <class T = QWidget>
T *ctl(KEL_Soft &w, Ctl c)
{
    return qobject_cast<T *>(w.control(c));
}

} // namespace

class TestKelSoft : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_cards; // a folder below the start folder, holding the cards
    ScriptedDialogs *m_dialogs = nullptr;

    bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    std::unique_ptr<KEL_Soft> window(ScriptedDialogs &dialogs)
    {
        auto w = std::make_unique<KEL_Soft>(m_tmp.path());
        w->setDialogs(&dialogs);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("window not active");
        return w;
    }

    // A closed box hands the window back to the window manager, which activates it later: only
    // then does the focus the window kept become the application's.
    QWidget *focusAfterBox(KEL_Soft &w)
    {
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w) ? QApplication::focusWidget() : nullptr;
    }

    void doubleClick(QAbstractItemView *view, const QPoint &pos)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, pos);
    }

    QPoint cellCentre(KEL_Soft &w, int gridRow, int col)
    {
        MsfView *view = w.gridView();
        auto *model = static_cast<GridTableModel *>(view->model());
        const QModelIndex idx = model->index(model->viewRow(gridRow), col);
        view->scrollTo(idx);
        return view->visualRect(idx).center();
    }

    void doubleClickCell(KEL_Soft &w, int gridRow, int col) { doubleClick(w.gridView(), cellCentre(w, gridRow, col)); }

    void chooseFolder(KEL_Soft &w, const QString &name)
    {
        auto *dir = ctl<QTreeWidget>(w, Ctl::Dir1);
        const auto items = dir->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY2(!items.isEmpty(), qPrintable(name));
        doubleClick(dir, dir->visualItemRect(items.first()).center());
    }

    void pickFile(KEL_Soft &w, const QString &name)
    {
        auto *files = ctl<QListWidget>(w, Ctl::File1);
        const auto items = files->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable(name));
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(items.first()).center());
    }

    // File, Open; the cards folder; the card; "Open".
    void openCard(KEL_Soft &w, const QString &name)
    {
        w.findChild<QAction *>("File_Open")->trigger();
        if (static_cast<DirListBox *>(w.control(Ctl::Dir1))->path() != m_cards)
            chooseFolder(w, "cards");
        pickFile(w, name);
        QTest::mouseClick(ctl(w, Ctl::BT_Open), Qt::LeftButton);
    }

    QString cell(KEL_Soft &w, int r, int c) { return str(w.grid().cell(r, c)); }
    std::string_view mark(KEL_Soft &w, int r, int h, int p) { return w.module().Data(r, h, p, 0); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_cards = QDir(m_tmp.path()).filePath("cards");
        QVERIFY(QDir().mkpath(m_cards));
        QVERIFY(QDir().mkpath(QDir(m_cards).filePath("empty")));
        // A folder named like a card is not a card.
        QVERIFY(QDir().mkpath(QDir(m_cards).filePath("folder.kel")));
        QVERIFY(writeFile(QDir(m_cards).filePath("card.kel"), kCard));
        QVERIFY(writeFile(QDir(m_cards).filePath("OTHER.KEL"), kOtherCard));
        QVERIFY(writeFile(QDir(m_cards).filePath("Mixed.Kel"), kOtherCard));
        QVERIFY(writeFile(QDir(m_cards).filePath("abcdefghij.kel"), kOtherCard));  // 14 characters
        QVERIFY(writeFile(QDir(m_cards).filePath("abcdefghijk.kel"), kOtherCard)); // 15 characters
        QVERIFY(writeFile(QDir(m_cards).filePath(".hidden.kel"), kOtherCard));     // hidden: not listed
        QVERIFY(writeFile(QDir(m_cards).filePath("notes.txt"), "not a card"));
        QByteArray overfull = "1;TST;01/05/25;6F;A;\r\n"; // one horse more than a race holds
        for (int h = 1; h <= 22; ++h)
            overfull += QByteArray::number(h) + ";Horse;120;B;\r\n";
        QVERIFY(writeFile(QDir(m_cards).filePath("overfull.kel"), overfull));
        m_cards = QDir(m_cards).canonicalPath();
    }

    void init() { m_dialogs = new ScriptedDialogs; }
    void cleanup()
    {
        delete m_dialogs;
        m_dialogs = nullptr;
    }

    // The window as it opens: every control where the layout puts it, with its caption, and
    // no frame shown.
    void opensEmptyWithTheLayout()
    {
        auto w = window(*m_dialogs);
        QCOMPARE(w->windowTitle(), QString("KEL Handicapping Software"));
        const double dpiX = w->logicalDpiX();
        const double dpiY = w->logicalDpiY();
        QCOMPARE(w->clientArea()->size(), QSize(twipsToPx(11595, dpiX), twipsToPx(6915, dpiY)));
        QCOMPARE(w->statusMarks(), QString("No card open"));

        auto *menu = w->findChild<QMenu *>("File");
        QVERIFY(menu);
        QCOMPARE(menu->title().remove('&'), QString("File"));
        auto *open = w->findChild<QAction *>("File_Open");
        QCOMPARE(open->text().remove('&'), QString("Open"));
        QCOMPARE(open->shortcut(), QKeySequence(QKeySequence::Open));

        for (const ControlInfo &info : kControls) {
            QWidget *c = w->control(info.ctl);
            const QString name = str(info.name);
            QCOMPARE(c->objectName(), name);
            QCOMPARE(c->parentWidget(), info.container ? w->control(*info.container) : w->clientArea());
            const QRect want(twipsToPx(info.left, dpiX), twipsToPx(info.top, dpiY), twipsToPx(info.width, dpiX),
                             twipsToPx(info.height, dpiY));
            QVERIFY2(c->geometry() == want, qPrintable(name));
            QVERIFY2(c->isHidden() == !info.visible, qPrintable(name));
            QVERIFY2(w->form().caption(info.ctl) == info.caption, qPrintable(name));
            // A name for a screen reader: the caption, or the label the control stands behind.
            const QString spoken = QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name);
            QVERIFY2(!spoken.isEmpty() || (info.kind == CtlKind::Label && info.caption.empty()), qPrintable(name));
        }
        for (auto [box, label] : {std::pair{Ctl::Text_Date, "Date races since:"},
                                  {Ctl::Text_Purse1, "Purse from:"},
                                  {Ctl::Text_Purse2, "To:"},
                                  {Ctl::Text_Distance2, "To:"}})
            QCOMPARE(QAccessible::queryAccessibleInterface(w->control(box))->text(QAccessible::Name), QString(label));
        QCOMPARE(w->control(Ctl::Text_Purse2)->accessibleDescription(), QString("highest purse"));
        QVERIFY(!ctl(*w, Ctl::fr_dc)->isVisible());
        QVERIFY(!ctl(*w, Ctl::Fr_Open)->isVisible());
        QVERIFY(ctl(*w, Ctl::LabelCarreras)->font().bold());
        QVERIFY(ctl(*w, Ctl::Label_Help)->font().bold());
        QVERIFY(!ctl(*w, Ctl::Label1)->font().bold());
        QCOMPARE(ctl<QLineEdit>(*w, Ctl::Text_Date)->maxLength(), 8);
        QCOMPARE(w->form().value(Ctl::Check_Muddy), 1);
        QCOMPARE(w->module().ViewPage, int16_t(0));

        // Tab walks the Settings frame in its own order.
        QWidget *next = w->control(Ctl::Text_Date);
        for (Ctl c : {Ctl::Check_Dirt, Ctl::Check_Turf, Ctl::Check_Fast, Ctl::Check_Muddy, Ctl::Text_Purse1,
                      Ctl::Text_Purse2, Ctl::Text_Distance1, Ctl::Text_Distance2, Ctl::Command4, Ctl::Command6}) {
            next = next->nextInFocusChain();
            QCOMPARE(next, w->control(c));
        }

        // The window itself is never in the Tab chain.
        QCOMPARE(w->focusPolicy(), Qt::NoFocus);

        // Nothing is shown, so ESC reaches the window and ends the program.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    // File, Open (by Ctrl+O), the folder tree, the case-blind file list, Cancel, ESC.
    void fileFrameAndCancel()
    {
        auto w = window(*m_dialogs);
        auto *files = ctl<QListWidget>(*w, Ctl::File1);
        auto *dir = static_cast<DirListBox *>(w->control(Ctl::Dir1));
        QCOMPARE(dir->path(), QDir(m_tmp.path()).canonicalPath());
        QCOMPARE(files->count(), 0);

        QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(ctl(*w, Ctl::Fr_Open)->isVisible());
        QVERIFY(!ctl(*w, Ctl::fr_dc)->isVisible());

        chooseFolder(*w, "cards");
        QCOMPARE(dir->path(), m_cards);
        QStringList listed;
        for (int i = 0; i < files->count(); ++i)
            listed << files->item(i)->text();
        listed.sort(Qt::CaseInsensitive);
        QCOMPARE(listed, QStringList({"abcdefghij.kel", "abcdefghijk.kel", "card.kel", "Mixed.Kel", "OTHER.KEL",
                                      "overfull.kel"}));
        QVERIFY(files->selectedItems().isEmpty());
        // A name too long to open is listed greyed, with the reason and the remedy.
        for (const char *name : {"abcdefghij.kel", "abcdefghijk.kel"}) {
            const QListWidgetItem *item = files->findItems(name, Qt::MatchExactly).first();
            const bool tooLong = QString(name).size() > 14;
            QCOMPARE(item->toolTip().startsWith("Names over 14 characters"), tooLong);
            QCOMPARE(item->foreground().color() == files->palette().color(QPalette::Disabled, QPalette::Text), tooLong);
        }
        // No card is current until the user moves: Down picks the first.
        files->setFocus();
        QVERIFY(!files->currentIndex().isValid());
        QTest::keyClick(files, Qt::Key_Down);
        QCOMPARE(files->selectedItems().value(0), files->item(0));
        files->clearSelection();
        files->setCurrentItem(nullptr);

        // Down into a folder without cards, and back up through the tree.
        chooseFolder(*w, "empty");
        QCOMPARE(files->count(), 0);
        chooseFolder(*w, "cards");
        QCOMPARE(files->count(), 6);

        // ESC on the file frame does nothing.
        QTest::keyClick(files, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QVERIFY(ctl(*w, Ctl::Fr_Open)->isVisible());

        QTest::mouseClick(ctl(*w, Ctl::BT_Cancel), Qt::LeftButton);
        QVERIFY(!ctl(*w, Ctl::Fr_Open)->isVisible());
        QVERIFY(!ctl(*w, Ctl::fr_dc)->isVisible());
        QVERIFY(m_dialogs->shown().empty());

        // File, Open brings the frame back where it was; Cancel and ESC end the program.
        w->findChild<QAction *>("File_Open")->trigger();
        QCOMPARE(dir->path(), m_cards);
        QTest::mouseClick(ctl(*w, Ctl::BT_Cancel), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    // Open, the three pages by double-click and ESC, the column that widens and restores.
    void browseTheCard()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        QVERIFY(m_dialogs->shown().empty());
        QVERIFY(ctl(*w, Ctl::fr_dc)->isVisible());
        QVERIFY(!ctl(*w, Ctl::Fr_Open)->isVisible());
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QCOMPARE(ctl<QLabel>(*w, Ctl::LabelCarreras)->text(), QString("card.kel"));
        QCOMPARE(ctl<QLabel>(*w, Ctl::Label_Help)->text(), QString("Select a race doing doubleclik over the grid row"));
        MsfView *view = w->gridView();
        QCOMPARE(view->model()->rowCount(), 3);
        QVERIFY(view->horizontalHeader()->isHidden());
        QCOMPARE(view->model()->index(1, 0).data().toString(), QString("2 TST 01/05/25 1M Turf Allowance 50K"));
        QCOMPARE(view->columnWidth(0), twipsToPx(11295, w->logicalDpiX()));
        QCOMPARE(QApplication::focusWidget(), view);
        // The view shows the grid's current cell: the last race after the build.
        QCOMPARE(view->currentIndex().row(), 2);
        // The status line: the card and its marks, and what Enter opens; Home and End go to the
        // first and the last row, as Ctrl+Home and Ctrl+End do.
        QCOMPARE(w->statusMarks(), QString("card.kel \u00b7 The card: every PP counts"));
        QCOMPARE(w->statusCurrent(), QString("Enter opens race 3"));
        for (auto [key, modifiers, row] : {std::tuple{Qt::Key_Home, Qt::NoModifier, 0},
                                           {Qt::Key_End, Qt::NoModifier, 2},
                                           {Qt::Key_Home, Qt::ControlModifier, 0}}) {
            QTest::keyClick(view, key, modifiers);
            QCOMPARE(view->currentIndex().row(), row);
        }
        QCOMPARE(w->statusCurrent(), QString("Enter opens race 1"));
        // Tab from the last button goes round to the grid, never to the window itself.
        ctl(*w, Ctl::Printd)->setFocus();
        QTest::keyClick(ctl(*w, Ctl::Printd), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view);

        doubleClickCell(*w, 0, 0);
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QCOMPARE(w->module().CurrentRace, int16_t(1));
        QVERIFY(!view->horizontalHeader()->isHidden());
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("Horse Name"));
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(view->model()->index(0, 1).data().toString(), QString("Alpha Dancer"));
        QCOMPARE(view->model()->index(0, 7).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignTop));
        QCOMPARE(view->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignTop));
        QCOMPARE(view->columnWidth(1), twipsToPx(2000, w->logicalDpiX()));
        QCOMPARE(view->columnWidth(11), twipsToPx(1, w->logicalDpiX()));
        QCOMPARE(ctl<QLabel>(*w, Ctl::LabelCarreras)->text(), QString("1 TST \n01/05/25  - 6F  - Dirt Claiming 20K "));
        QVERIFY(ctl(*w, Ctl::Recalculate)->isVisible());
        QCOMPARE(w->statusMarks(), QString("card.kel \u00b7 Race 1: every PP counts"));
        QVERIFY2(w->statusCurrent().startsWith("S scratches: 3 Cosmic Ray \u00b7 Record: "),
                 qPrintable(w->statusCurrent()));
        QVERIFY(w->statusCurrent().endsWith(" \u00b7 Jockey: Ortiz, I \u00b7 Trainer: Cox, B"));
        QTest::keyClick(view, Qt::Key_Home);
        QVERIFY(w->statusCurrent().startsWith("S scratches: 1 Alpha Dancer"));

        doubleClickCell(*w, 1, 1);
        QCOMPARE(w->module().ViewPage, int16_t(3));
        QCOMPARE(w->module().CurrentHorse, int16_t(1));
        QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QString("Date"));
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(view->model()->index(0, 5).data().toString(), QString::fromUtf8("2\u00ba 120 (1)"));
        QVERIFY(!ctl(*w, Ctl::Recalculate)->isVisible());
        QVERIFY(!ctl(*w, Ctl::ResetData)->isVisible());
        QVERIFY(!ctl(*w, Ctl::Printd)->isVisible());

        // A double-click widens the column under the pointer; a second one restores the page.
        doubleClickCell(*w, 1, 2);
        QCOMPARE(w->grid().colWidth(2), 5505);
        QCOMPARE(view->columnWidth(2), twipsToPx(5505, w->logicalDpiX()));
        QCOMPARE(w->grid().colWidth(1), 500);
        doubleClickCell(*w, 2, 2);
        QCOMPARE(w->grid().colWidth(2), 750);
        QCOMPARE(view->columnWidth(2), twipsToPx(750, w->logicalDpiX()));
        // The header is part of the grid too.
        const QHeaderView *header = view->horizontalHeader();
        const QPoint onHeader(header->sectionViewportPosition(11) + 5, header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, onHeader);
        QCOMPARE(w->grid().colWidth(11), 5505);

        // On the PP page the status line shows the current cell under its header.
        view->setCurrentIndex(view->model()->index(0, 8));
        QCOMPARE(w->statusCurrent(), QString("T Cond: d-f"));

        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QCOMPARE(w->module().CurrentRace, int16_t(1));
        // Back on the horses, the one whose PPs were read is marked, while the current row is
        // the last, as after every build.
        QVERIFY(view->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!view->model()->index(0, 1).data(Qt::FontRole).isValid());
        QVERIFY(!view->model()->index(2, 0).data(Qt::FontRole).isValid());
        QCOMPARE(view->currentIndex().row(), 2);
        QTest::keyClick(view, 'S');
        QVERIFY(view->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QCOMPARE(w->module().CurrentRace, int16_t(0));

        // Enter on a row does what a double-click does; arrows move the current row first.
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QCOMPARE(w->module().CurrentRace, int16_t(2));
        QCOMPARE(view->model()->index(0, 1).data().toString(), QString("Delta Queen"));
    }

    // S and s scratch the horse of the current row on the horses page, and only there; Ctrl+S
    // and Alt+S do not.
    void scratchWithS()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        MsfView *view = w->gridView();
        QTest::keyClick(view, 'S');
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QVERIFY(mark(*w, 1, 1, 1).empty());

        doubleClickCell(*w, 0, 0);
        view->setCurrentIndex(view->model()->index(0, 4));
        QTest::keyClick(view, 'S', Qt::ControlModifier);
        QTest::keyClick(view, 's', Qt::AltModifier);
        QVERIFY(mark(*w, 1, 1, 1).empty());
        QTest::keyClick(view, 'S');
        QCOMPARE(mark(*w, 1, 1, 1), std::string_view("S"));
        QCOMPARE(mark(*w, 1, 1, 2), std::string_view("S"));
        QCOMPARE(cell(*w, 1, 0), QString("1"));
        QCOMPARE(cell(*w, 1, 1), QString("-"));
        QCOMPARE(w->grid().row(), 1);
        QCOMPARE(w->grid().col(), 1);
        QCOMPARE(view->currentIndex(), view->model()->index(0, 1));
        QCOMPARE(QApplication::focusWidget(), view);

        // A horse without PPs, by lower-case s, after clicking its row.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*w, 2, 2));
        QTest::keyClick(view, 's');
        QCOMPARE(mark(*w, 1, 2, 1), std::string_view("S"));
        QCOMPARE(cell(*w, 2, 4), QString("-"));
        QVERIFY(mark(*w, 1, 3, 1).empty());

        // The scratched horse's PP page has no rows at all.
        doubleClickCell(*w, 1, 1);
        QCOMPARE(w->module().ViewPage, int16_t(3));
        QCOMPARE(view->model()->rowCount(), 0);
        QVERIFY(view->horizontalHeader()->isHidden());
        QTest::keyClick(view, 'S');
        QCOMPARE(w->module().ViewPage, int16_t(3));
    }

    // Recalculate, untick "Dirt races", Go!; a date too short; the frame's Cancel.
    void settingsFrame()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 0, 0);
        QWidget *frame = w->control(Ctl::FrameRecalculate);

        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        QVERIFY(frame->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->control(Ctl::Text_Date));
        QTest::mouseClick(ctl(*w, Ctl::Command6), Qt::LeftButton);
        QVERIFY(!frame->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->gridView());

        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        auto *date = ctl<QLineEdit>(*w, Ctl::Text_Date);
        date->selectAll();
        QTest::keyClicks(date, "1/1/01");
        QTest::mouseClick(ctl(*w, Ctl::Command4), Qt::LeftButton);
        QCOMPARE(m_dialogs->prompts(), std::vector<std::string>{"Date must be in format mm/dd/yy"});
        QCOMPARE(m_dialogs->shown().front().title, std::string("Check entry"));
        QVERIFY(frame->isVisible());
        QVERIFY(mark(*w, 1, 1, 1).empty());

        date->selectAll();
        QTest::keyClicks(date, "01/01/01x");
        QCOMPARE(date->text(), QString("01/01/01"));
        auto *dirt = ctl<QCheckBox>(*w, Ctl::Check_Dirt);
        QTest::mouseClick(dirt, Qt::LeftButton, {}, QPoint(6, dirt->height() / 2));
        QCOMPARE(dirt->checkState(), Qt::Unchecked);
        QTest::mouseClick(ctl(*w, Ctl::Command4), Qt::LeftButton);
        QVERIFY(!frame->isVisible());
        QCOMPARE(mark(*w, 1, 1, 1), std::string_view("F")); // dirt
        QVERIFY(mark(*w, 1, 1, 2).empty());                 // turf
        QCOMPARE(mark(*w, 1, 3, 1), std::string_view("F"));
        QVERIFY(mark(*w, 2, 1, 1).empty()); // another race is out of scope
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QCOMPARE(QApplication::focusWidget(), w->gridView());
        // The filtered PP leaves no row on the PP page.
        doubleClickCell(*w, 1, 0);
        QCOMPARE(w->gridView()->model()->rowCount(), 1);
        QCOMPARE(cell(*w, 1, 0), QString("11/01/24"));
        // What was typed stays for the next time.
        QTest::keyClick(w->gridView(), Qt::Key_Escape);
        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        QCOMPARE(date->text(), QString("01/01/01"));
        QCOMPARE(dirt->checkState(), Qt::Unchecked);
        QCOMPARE(w->statusMarks(), QString("card.kel \u00b7 Filter since 01/01/01, no dirt on race 1: 2 PPs left out "
                                           "\u00b7 Reset data clears them"));

        // A button with the focus has a frame of the highlight colour inside its edge.
        QWidget *go = w->control(Ctl::Command4);
        const auto edge = [&] { return go->grab().toImage().pixelColor(3, go->height() / 2); };
        const QColor highlight = go->palette().color(QPalette::Highlight);
        QVERIFY(edge() != highlight);
        go->setFocus();
        QCOMPARE(edge(), highlight);

        // Enter in a text box runs "Go!".
        dirt->setCheckState(Qt::Checked);
        ctl<QLineEdit>(*w, Ctl::Text_Purse2)->setText("20K");
        QTest::keyClick(w->control(Ctl::Text_Purse2), Qt::Key_Return);
        QVERIFY(!frame->isVisible());
        QCOMPARE(mark(*w, 1, 1, 2), std::string_view("F")); // the 25K turf PP
        QCOMPARE(QApplication::focusWidget(), w->gridView());
        QVERIFY(w->statusMarks().contains("Filter since 01/01/01, purse 0K to 20K (after 1 other) on race 1: 3 PPs"));
    }

    void resetData_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("scratchMark"); // of the scratched horse, after the reset
        QTest::addColumn<QString>("filterMark");  // of the filtered PP, after the reset
        QTest::newRow("Yes clears both") << int(MsgAnswer::Yes) << QString() << QString();
        QTest::newRow("No keeps scratches") << int(MsgAnswer::No) << "S" << QString();
        QTest::newRow("Cancel changes nothing") << int(MsgAnswer::Cancel) << "S"
                                                << "F";
    }

    void resetData()
    {
        QFETCH(int, answer);
        QFETCH(QString, scratchMark);
        QFETCH(QString, filterMark);
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 0, 0);
        MsfView *view = w->gridView();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, 'S');
        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        auto *dirt = ctl<QCheckBox>(*w, Ctl::Check_Dirt);
        QTest::mouseClick(dirt, Qt::LeftButton, {}, QPoint(6, dirt->height() / 2));
        QTest::mouseClick(ctl(*w, Ctl::Command4), Qt::LeftButton);
        QCOMPARE(mark(*w, 1, 3, 1), std::string_view("F"));
        QCOMPARE(cell(*w, 1, 1), QString("-"));

        m_dialogs->answer(MsgAnswer(answer));
        QTest::mouseClick(ctl(*w, Ctl::ResetData), Qt::LeftButton);
        QCOMPARE(m_dialogs->prompts().back(), std::string("Do you want to reset the scratches too?"));
        QCOMPARE(m_dialogs->shown().back().title, std::string("Enter option"));
        QCOMPARE(m_dialogs->shown().back().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(str(mark(*w, 1, 1, 1)), scratchMark);
        QCOMPARE(str(mark(*w, 1, 3, 1)), filterMark);
        // The horses page shows what the store now says.
        QCOMPARE(cell(*w, 1, 1), scratchMark == "S" ? QString("-") : QString("Alpha Dancer"));
        QCOMPARE(view->model()->index(0, 1).data().toString(), cell(*w, 1, 1));
    }

    // ESC on the race list hides the grid; the next ESC reaches the window and ends the program.
    void escapeTwiceFromTheRaceList()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        // ESC while a button of the grid frame has the focus does nothing.
        ctl(*w, Ctl::ResetData)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(ctl(*w, Ctl::fr_dc)->isVisible());
        QVERIFY(w->isVisible());

        QTest::keyClick(w->gridView(), Qt::Key_Escape);
        QVERIFY(!ctl(*w, Ctl::fr_dc)->isVisible());
        QVERIFY(w->isVisible());
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    // Refused opens say why. Open with no name selected has let the card go and leaves the file
    // frame up; a name of 14 characters opens, and one in capitals.
    void refusedOpens()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 1, 0);
        QCOMPARE(w->module().CurrentRace, int16_t(2));

        // No name selected: "Open", then Enter in the file list.
        w->findChild<QAction *>("File_Open")->trigger();
        auto *files = ctl<QListWidget>(*w, Ctl::File1);
        files->clearSelection();
        QTest::mouseClick(ctl(*w, Ctl::BT_Open), Qt::LeftButton);
        QTest::keyClick(files, Qt::Key_Return);
        QCOMPARE(m_dialogs->prompts(), std::vector<std::string>(2, "Select a kel file in the lower window"));
        QCOMPARE(m_dialogs->shown().front().title, std::string("Incomplete entry"));
        QVERIFY(ctl(*w, Ctl::Fr_Open)->isVisible());

        // The grid still holds the page it was on, but the card is gone from the store.
        QCOMPARE(w->module().Data(2, 1, 0, 2), std::string_view());
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QCOMPARE(cell(*w, 1, 1), QString("Delta Queen"));

        // Fourteen characters open, by a double-click on the name.
        m_dialogs->clearShown();
        const auto item = files->findItems("abcdefghij.kel", Qt::MatchExactly).first();
        doubleClick(files, files->visualItemRect(item).center());
        QVERIFY(m_dialogs->shown().empty());
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QCOMPARE(ctl<QLabel>(*w, Ctl::LabelCarreras)->text(), QString("abcdefghij.kel"));
        QCOMPARE(w->gridView()->model()->rowCount(), 1);

        // A listed name in capitals opens too.
        openCard(*w, "OTHER.KEL");
        QVERIFY(m_dialogs->shown().empty());
        QCOMPARE(cell(*w, 0, 0), QString("1 AQU 02/02/25 6F Dirt Other card 10K"));
    }

    // "Print" after its questions goes to the print target; a cancelled target prints nothing.
    void printFromTheRaceList()
    {
        auto w = window(*m_dialogs);
        RecordingTarget target;
        w->setPrintTarget(&target);
        openCard(*w, "card.kel");

        target.cancel = true;
        m_dialogs->answer(MsgAnswer::No).type("1").type("3");
        QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
        QCOMPARE(target.asked, 1);
        QCOMPARE(target.printer.documents(), 0);
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QCOMPARE(w->gridView()->model()->rowCount(), 3);

        target.cancel = false;
        m_dialogs->answer(MsgAnswer::No).type("1").type("3");
        QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
        QCOMPARE(target.printer.documents(), 1);
        QCOMPARE(target.printer.endDocCalls(), 1);
        QStringList printed;
        for (const auto &e : target.printer.texts())
            printed << str(e.text);
        QVERIFY(printed.contains("Alpha Dancer"));
        QVERIFY(printed.contains("Foxy Lady"));
        // Back on the race list, shown as the grid holds it.
        QCOMPARE(w->module().ViewPage, int16_t(1));
        QCOMPARE(w->gridView()->model()->rowCount(), 3);
        QVERIFY(w->gridView()->horizontalHeader()->isHidden());
    }

    // "Print" shows the pages in a preview; its "Print" goes through the print dialog to the
    // PDF file it names, beside the card unless the user names another, on the page chosen. A
    // write that fails, or would go over the card, is told in a message box naming the file and
    // the reason.
    void printThroughThePreview()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        QPrinter &printer = w->previewTarget().printer();
        int previewPages = -1;
        QString proposed;
        const auto printFromPreview = [&](const QString &file, QPageLayout::Orientation orientation) {
            QTimer::singleShot(0, [&, file, orientation] {
                auto *preview = qobject_cast<PrintPreview *>(QApplication::activeModalWidget());
                QVERIFY(preview);
                previewPages = preview->pages()->pageCount();
                proposed = printer.outputFileName();
                // To a file even where a printer is installed: no test prints on paper.
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(file);
                printer.setPageOrientation(orientation);
                // The print dialog is answered as soon as it shows.
                QTimer::singleShot(0, [] { qobject_cast<QDialog *>(QApplication::activeModalWidget())->accept(); });
                const auto actions = preview->findChildren<QAction *>();
                const auto print
                    = std::find_if(actions.begin(), actions.end(), [](QAction *a) { return a->text() == "Print"; });
                QVERIFY(print != actions.end());
                (*print)->trigger();
            });
        };

        const QString pdf = QDir(m_tmp.path()).filePath("chosen.pdf");
        printFromPreview(pdf, QPageLayout::Landscape);
        m_dialogs->answer(MsgAnswer::No).type("1").type("3");
        QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
        QCOMPARE(previewPages, 1);
        QCOMPARE(proposed, QDir(m_cards).filePath("card-races-1-3.pdf"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        // Recorded again for the landscape page: letter turned, 792 x 612 points.
        QVERIFY(bytes.contains("/MediaBox [0 0 792.000000 612.000000]"));
        QCOMPARE(m_dialogs->shown().size(), 3u);
        QCOMPARE(w->module().ViewPage, int16_t(1));

        printFromPreview("/dev/full", QPageLayout::Portrait);
        m_dialogs->answer(MsgAnswer::No).type("2").type("2");
        QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
        QCOMPARE(proposed, QDir(m_cards).filePath("card-race-2.pdf"));
        QCOMPARE(m_dialogs->shown().back().prompt,
                 std::string("Cannot write the report to /dev/full: No space left on device"));

        // Never over the card, by whatever path it is named.
        const QString card = QDir(m_cards).filePath("card.kel");
        const QString link = QDir(m_tmp.path()).filePath("link-to-card.pdf");
        QVERIFY(QFile::link(card, link));
        for (const QString &file : {card, link, m_cards + "/../cards/card.kel"}) {
            printFromPreview(file, QPageLayout::Portrait);
            m_dialogs->answer(MsgAnswer::No).type("1").type("1");
            QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
            QCOMPARE(QString::fromStdString(m_dialogs->shown().back().prompt),
                     "Cannot write the report to " + file + ": it is the card itself");
            QFile kept(card);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray(kCard));
        }
    }

    // A larger window gives the grid the room; the grid's own width follows in twips.
    void resizeGrowsTheGrid()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        QWidget *grid = w->gridView();
        const QSize before = grid->size();
        QCOMPARE(w->grid().width(), 11295);
        w->resize(w->width() + 200, w->height() + 100);
        QTRY_COMPARE(grid->width(), before.width() + 200);
        QCOMPARE(grid->height(), before.height() + 100);
        QCOMPARE(w->grid().width(), 11295 + pxToTwips(200, w->logicalDpiX()));
        QCOMPARE(ctl(*w, Ctl::Label_Help)->y(), twipsToPx(6600, w->logicalDpiY()) + 100);
        // A new race list spans the wider grid.
        QTest::keyClick(w->gridView(), Qt::Key_Escape);
        openCard(*w, "card.kel");
        QCOMPARE(w->grid().colWidth(0), w->grid().width());

        // On the horses page the room goes to the text columns as they are drawn, first to those
        // that cut their texts; the grid keeps the page's widths. The buttons spread out.
        const double dpiX = w->logicalDpiX();
        MsfView *view = w->gridView();
        doubleClickCell(*w, 0, 0);
        int room = 0;
        for (int c = 0; c < w->grid().cols(); ++c)
            room += view->columnWidth(c) - twipsToPx(w->grid().colWidth(c), dpiX);
        QCOMPARE(room, 200);
        QCOMPARE(w->grid().colWidth(9), 650);
        QCOMPARE(view->columnWidth(0), twipsToPx(400, dpiX));
        QVERIFY(view->columnWidth(9) > twipsToPx(650, dpiX));
        QCOMPARE(view->toolTipAt(cellCentre(*w, 3, 9)), QString()); // "Ortiz, I" is whole
        QCOMPARE(ctl(*w, Ctl::Recalculate)->x(), twipsToPx(120, dpiX));
        QCOMPARE(ctl(*w, Ctl::ResetData)->x(), twipsToPx(3960, dpiX) + 100);
        QCOMPARE(ctl(*w, Ctl::Printd)->x(), twipsToPx(7800, dpiX) + 200);
        // A widened PP column is still read back at 5505 twips.
        doubleClickCell(*w, 1, 1);
        doubleClickCell(*w, 1, 11);
        QCOMPARE(w->grid().colWidth(11), 5505);

        // Smaller than its design size, the window scrolls its client area, which keeps it.
        const QSize design = w->clientArea()->size() - QSize(200, 100);
        w->resize(400, 300);
        QTRY_COMPARE(w->clientArea()->size(), design);
        QScrollBar *across = w->findChild<QScrollArea *>()->horizontalScrollBar();
        QVERIFY(across->maximum() > 0);
        // A control that gets the focus comes into view: a button whole, the grid by its start.
        QTest::keyClick(w->gridView(), Qt::Key_Escape);
        QWidget *print = ctl(*w, Ctl::Printd);
        print->setFocus();
        QCOMPARE(print->visibleRegion().boundingRect(), print->rect());
        QTest::keyClick(print, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->gridView());
        QCOMPARE(across->value(), w->gridView()->mapTo(w->clientArea(), QPoint()).x());
    }

    // Real boxes closed by keys give the focus back to the control that had it: "s" after the
    // date message cannot scratch a horse behind the Settings frame. "Reset data" answers No to
    // Enter; a cancelled input box abandons "Print".
    void focusReturnsWhereItWasAfterABox()
    {
        auto w = window(*m_dialogs);
        w->setDialogs(nullptr);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 0, 0);
        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), "1/1/01"); // over the selected date
        QCOMPARE(ctl<QLineEdit>(*w, Ctl::Text_Date)->text(), QString("1/1/01"));
        BoxKeys enter({Qt::Key_Return});
        QTest::mouseClick(ctl(*w, Ctl::Command4), Qt::LeftButton);
        QCOMPARE(focusAfterBox(*w), ctl(*w, Ctl::Command4));
        QTest::keyClick(QApplication::focusWidget(), 's');
        QVERIFY(ctl(*w, Ctl::FrameRecalculate)->isVisible());
        QVERIFY(mark(*w, 1, 3, 1).empty());

        QTest::mouseClick(ctl(*w, Ctl::Command6), Qt::LeftButton);
        QTest::keyClick(w->gridView(), 'S');
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            BoxKeys keys({key});
            QTest::mouseClick(ctl(*w, Ctl::ResetData), Qt::LeftButton);
            QCOMPARE(focusAfterBox(*w), key == Qt::Key_Escape ? ctl(*w, Ctl::ResetData) : w->gridView());
            QCOMPARE(mark(*w, 1, 3, 1), std::string_view("S"));
        }
        BoxKeys yesThenEsc({Qt::Key_Return, Qt::Key_Escape}); // "Print last pp's?", "How many ...?"
        QTest::mouseClick(ctl(*w, Ctl::Printd), Qt::LeftButton);
        QCOMPARE(focusAfterBox(*w), ctl(*w, Ctl::Printd));

        // A failure shows the warning icon, in a box wide enough for its title ("KEL Soft" over
        // the short "error TX1").
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int width = 0;
        BoxKeys ok({Qt::Key_Return}, [&](QWidget *box) {
            icon = qobject_cast<QMessageBox *>(box)->icon();
            width = box->width() - 3 * QFontMetrics(box->font()).horizontalAdvance(box->windowTitle());
        });
        openCard(*w, "abcdefghijk.kel");
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY(width > 0);
    }

    // The message about an overfull card stands over the new race list, fully drawn; a click
    // beside the rows or a Ctrl+click leaves the highlight on the current row.
    void overfullMessageAndHighlight()
    {
        auto w = window(*m_dialogs);
        w->setDialogs(nullptr);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 0, 0);
        MsfView *view = w->gridView();
        QString under;
        BoxKeys ok({Qt::Key_Return}, [&](QWidget *) {
            under = QString("%1x%2 %3 %4").arg(view->model()->rowCount()).arg(view->model()->columnCount());
            under = under.arg(int(view->horizontalHeader()->isVisibleTo(view))).arg(view->columnWidth(0));
        });
        openCard(*w, "overfull.kel");
        QCOMPARE(under, QString("1x1 0 %1").arg(twipsToPx(w->grid().width(), w->logicalDpiX())));

        openCard(*w, "card.kel");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*w, 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 5));
        QVERIFY(view->selectionModel()->isRowSelected(1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(*w, 1, 0));
        QVERIFY(view->selectionModel()->isRowSelected(1));
        QCOMPARE(view->currentIndex().row(), 1);
    }

    // Cut texts end in "…" and show whole as a tooltip, a scratched row's "-" names the horse; a
    // dragged edge widens a column until the next page build.
    void cutTextsAndDraggedColumns()
    {
        auto w = window(*m_dialogs);
        openCard(*w, "card.kel");
        doubleClickCell(*w, 0, 0);
        MsfView *view = w->gridView();
        auto *header = static_cast<MsfHeader *>(view->horizontalHeader());
        for (int px : {6, 400}) {
            view->setColumnWidth(9, px);
            QCOMPARE(view->toolTipAt(cellCentre(*w, 3, 9)), px == 6 ? QString("Ortiz, I") : QString());
            QCOMPARE(header->toolTipAt({header->sectionViewportPosition(9) + 2, 5}), px == 6 ? "Jockey" : QString());
        }
        QTest::keyClick(view, 'S');
        QCOMPARE(view->toolTipAt(cellCentre(*w, 3, 1)), QString("Cosmic Ray"));
        QCOMPARE(cell(*w, 3, 0), QString("3"));
        QCOMPARE(view->toolTipAt(cellCentre(*w, 3, 0)), QString()); // only its "-" cells name it

        // Drag the Jockey edge 40 pixels; "Cancel" builds no page, S does.
        const int edge = header->sectionViewportPosition(9) + view->columnWidth(9) - 1;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, {edge, 5});
        QTest::mouseMove(header->viewport(), {edge + 40, 5});
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, {edge + 40, 5});
        const int wide = twipsToPx(650, w->logicalDpiX()) + 40;
        QCOMPARE(w->grid().colWidth(9), pxToTwips(wide, w->logicalDpiX()));
        QTest::mouseClick(ctl(*w, Ctl::Recalculate), Qt::LeftButton);
        QTest::mouseClick(ctl(*w, Ctl::Command6), Qt::LeftButton);
        QCOMPARE(view->columnWidth(9), wide);
        QTest::keyClick(view, 'S');
        QCOMPARE(view->columnWidth(9), twipsToPx(650, w->logicalDpiX()));
    }

    // The table model is a well-behaved Qt model whatever shape the grid takes.
    void tableModelOverAnyGrid()
    {
        GridModel grid;
        GridTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (auto [rows, cols, fixed] : {std::tuple{0, 0, 0}, {3, 2, 1}, {1, 16, 1}, {0, 16, 1}, {5, 1, 0}}) {
            grid.setCols(cols);
            grid.setRows(rows);
            grid.setFixedRows(fixed);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c)
                    grid.setCell(r, c, std::to_string(r) + "," + std::to_string(c));
            model.setGrid(grid);
            const int header = fixed >= 1 && rows >= 1 ? 1 : 0;
            QCOMPARE(model.headerRows(), header);
            QCOMPARE(model.rowCount(), rows - header);
            QCOMPARE(model.rowCount(model.index(0, 0)), 0);
            if (header)
                QCOMPARE(model.headerData(cols - 1, Qt::Horizontal, Qt::DisplayRole).toString(),
                         QString("0,%1").arg(cols - 1));
            if (rows - header > 0)
                QCOMPARE(model.index(rows - header - 1, 0).data().toString(), QString("%1,0").arg(rows - 1));
            QVERIFY(!model.index(rows - header, 0).data().isValid());
        }
    }
};

QTEST_MAIN(TestKelSoft)
#include "tst_kel_soft.moc"
