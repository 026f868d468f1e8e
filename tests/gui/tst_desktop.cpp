// The window as a desktop application: a card named on the command line or dropped on the window
// takes the road of File, Open, and the Help menu.
#include <filesystem>
#include <fstream>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "kel_version.h"
#include "shell/file_lists.h"
#include "shell/kel_soft.h"
#include "views/controls.h"
#include "support/scripted_dialogs.h"
#include "support/shown_window.h"
#include "views/memory_form.h"

using namespace kel;

namespace {

const char kCard[] = "1;AQU;02/02/25;6F;Dirt;Claiming;10K;A;\r\n"
                     "1;Lonely Runner;120;0 0-0-0;B. g. 4 Sire-Dam;Smith, J;Jones, T;ML 2/1;B;\r\n";

const char kSelectMessage[] = "Select a kel file in the lower window";

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_cards;

    // The card's path as the file system spells it.
    QByteArray card(const QByteArray &name) const { return QFile::encodeName(m_cards) + "/" + name; }

    // Started somewhere else than the cards' folder, as from a file manager.
    std::unique_ptr<KEL_Soft> window(ScriptedDialogs &dialogs) { return testing::shownWindow(m_tmp.path(), dialogs); }

    QByteArray selected(KEL_Soft &w) { return static_cast<FileListBox *>(w.control(Ctl::File1))->selectedNameOnDisk(); }

    // Sends one drag of these files over the window and, when it is taken, drops them.
    bool drop(KEL_Soft &w, const QList<QByteArray> &paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QByteArray &p : paths)
            urls << QUrl::fromEncoded("file://" + p.toPercentEncoding("/"));
        data.setUrls(urls);
        const QPoint at = w.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &dropped);
        QCoreApplication::processEvents();
        return dropped.isAccepted();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QVERIFY(QDir().mkpath(QDir(m_tmp.path()).filePath("cards")));
        m_cards = QDir(m_tmp.path()).filePath("cards");
        // "\xE9t\xE9.kel" is Latin-1, as a card copied from an old system may be named.
        for (const char *name : {"card.kel", "OTHER.KEL", "\xE9t\xE9.kel", "abcdefghijk.kel", "notes.txt"}) {
            std::ofstream(card(name).toStdString(), std::ios::binary) << kCard;
        }
        QVERIFY(QDir().mkpath(QFile::decodeName(card("folder.kel"))));
        m_cards = QDir(m_cards).canonicalPath();
    }

    // QTemporaryDir cannot remove a name that is not UTF-8.
    void cleanupTestCase() { std::filesystem::remove(card("\xE9t\xE9.kel").toStdString()); }

    // A card named on the command line: the file frame at the card's folder, the card selected,
    // "Open" pressed; each refusal gives the open command's own message.
    void openCardTakesTheOpenRoad_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const QString opens;
        QTest::newRow("card") << QByteArray("card.kel") << opens << opens;
        QTest::newRow("upper-case extension") << QByteArray("OTHER.KEL") << opens << opens;
        QTest::newRow("name not UTF-8") << QByteArray("\xE9t\xE9.kel") << opens << opens;
        QTest::newRow("name of 15 characters") << QByteArray("abcdefghijk.kel") << QString("error TX1") << "KEL Soft";
        QTest::newRow("missing") << QByteArray("gone.kel") << kSelectMessage << "Incomplete entry";
        QTest::newRow("not a card") << QByteArray("notes.txt") << kSelectMessage << "Incomplete entry";
        QTest::newRow("folder") << QByteArray("folder.kel") << kSelectMessage << "Incomplete entry";
    }
    void openCardTakesTheOpenRoad()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, message);
        QFETCH(QString, title);
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        w->openCard(card(name));

        QCOMPARE(static_cast<DirListBox *>(w->control(Ctl::Dir1))->path(), m_cards);
        const bool opened = message.isEmpty();
        QCOMPARE(w->module().ViewPage, int16_t(opened ? 1 : 0));
        QCOMPARE(w->control(Ctl::fr_dc)->isVisible(), opened);
        QCOMPARE(w->control(Ctl::Fr_Open)->isVisible(), !opened);
        QCOMPARE(selected(*w), title == "Incomplete entry" ? QByteArray() : name);
        QCOMPARE(dialogs.shown().size(), std::size_t(opened ? 0 : 1));
        if (!opened) {
            QCOMPARE(QString::fromStdString(dialogs.shown()[0].prompt), message);
            QCOMPARE(QString::fromStdString(dialogs.shown()[0].title), title);
        }
    }

    // A card that is not listed never opens the one selected before it, and a folder that is
    // gone gives way to the nearest one that is there.
    void unlistedCardSelectsNothing()
    {
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        w->openCard(card("card.kel"));
        QCOMPARE(w->module().ViewPage, int16_t(1));
        w->openCard(card("gone/deeper/x.kel"));
        QCOMPARE(static_cast<DirListBox *>(w->control(Ctl::Dir1))->path(), m_cards);
        QCOMPARE(selected(*w), QByteArray());
        QCOMPARE(dialogs.prompts(), std::vector<std::string>{kSelectMessage});
        // The card read before is still the one in the window.
        QCOMPARE(QString::fromStdString(std::string(w->module().Data(1, 1, 0, 2))), QString("Lonely Runner"));
    }

    // Only one local .kel file is taken; a text box of the Settings frame does not swallow it.
    void dropACard()
    {
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        QVERIFY(!drop(*w, {card("notes.txt")}));
        QVERIFY(!drop(*w, {card("card.kel"), card("OTHER.KEL")}));
        QCOMPARE(w->module().ViewPage, int16_t(0));
        for (QLineEdit *edit : w->findChildren<QLineEdit *>())
            QVERIFY(!edit->acceptDrops());

        QVERIFY(drop(*w, {card("\xE9t\xE9.kel")}));
        QTRY_COMPARE(w->module().ViewPage, int16_t(1));
        QVERIFY(w->control(Ctl::fr_dc)->isVisible());
        QCOMPARE(selected(*w), QByteArray("\xE9t\xE9.kel"));

        QVERIFY(drop(*w, {card("abcdefghijk.kel")}));
        QTRY_COMPARE(dialogs.prompts(), std::vector<std::string>{"error TX1"});
    }

    // File keeps its one item; Help follows it with the guide and the About box.
    void helpMenu()
    {
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        const QList<QAction *> menus = w->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[1]->menu(), w->findChild<QMenu *>("Help"));
        QCOMPARE(w->findChild<QMenu *>("File")->actions().size(), 1);
        const QList<QAction *> help = w->findChild<QMenu *>("Help")->actions();
        QCOMPARE(help.size(), 2);
        QCOMPARE(help[0]->text(), QString("User guide"));
        QCOMPARE(help[1]->text(), QString("About kelsoft"));

        help[1]->trigger();
        QCOMPARE(dialogs.shown().size(), std::size_t(1));
        const ShownBox &about = dialogs.shown()[0];
        QCOMPARE(QString::fromStdString(about.title), QString("About kelsoft"));
        QVERIFY(about.prompt.starts_with("kelsoft " + std::string(kVersion) + "\n"));
        QVERIFY(about.prompt.find("MIT License") != std::string::npos);

        QVERIFY(!w->userGuide());
        help[0]->trigger();
        QTextBrowser *guide = w->userGuide();
        QVERIFY(guide && guide->isVisible() && guide->isWindow());
        QVERIFY(guide->document()->toPlainText().startsWith("kelsoft user guide"));
        // Every picture the guide shows is built in.
        const QString markdown = guide->document()->toMarkdown();
        static const QRegularExpression picture(R"(!\[[^\]]*\]\(([^)]+)\))");
        int pictures = 0;
        for (auto it = picture.globalMatch(markdown); it.hasNext(); ++pictures) {
            const QString file = it.next().captured(1);
            QVERIFY2(QFile::exists(":/guide/" + file), qPrintable(file));
        }
        QVERIFY(pictures > 0);
        // A second click brings the same window back.
        guide->close();
        help[0]->trigger();
        QCOMPARE(w->userGuide(), guide);
        QVERIFY(guide->isVisible());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
