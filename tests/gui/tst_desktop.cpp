// The window as a desktop application: a card named on the command line or dropped on the window,
// the command line itself, and the Help menu.
#include <filesystem>
#include <fstream>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "kel_version.h"
#include "shell/file_lists.h"
#include "shell/guide_window.h"
#include "shell/kel_soft.h"
#include "shell/msf_view.h"
#include "views/controls.h"
#include "support/scripted_dialogs.h"
#include "support/shown_window.h"
#include "views/memory_form.h"

using namespace kel;

namespace {

const char kCard[] = "1;AQU;02/02/25;6F;Dirt;Claiming;10K;A;\r\n"
                     "1;Lonely Runner;120;0 0-0-0;B. g. 4 Sire-Dam;Smith, J;Jones, T;ML 2/1;B;\r\n"
                     "Others;1\xBA 120 (2);3;6F;1:10;d-f;25K;3.5;Smith;1-2;01/02/25;AQU;97%;x;95%;C;\r\n";

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
        std::filesystem::create_directory(card("a\xF1o").toStdString());
        std::ofstream(card("a\xF1o/small.kel").toStdString(), std::ios::binary) << kCard;
        QVERIFY(QFile::link(m_cards, QDir(m_tmp.path()).filePath("link")));
        m_cards = QDir(m_cards).canonicalPath();
    }

    // QTemporaryDir cannot remove a name that is not UTF-8.
    void cleanupTestCase()
    {
        std::filesystem::remove(card("\xE9t\xE9.kel").toStdString());
        std::filesystem::remove_all(card("a\xF1o").toStdString());
    }

    // A card named on the command line or dropped: the card the path names, its folder in the file
    // frame with the card selected there, or the open command's message naming it. Started empty,
    // a refusal leaves the file frame up; the lists never move to another folder than the card's.
    void openCardOpensTheCardNamed_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("folder"); // where Dir1 is afterwards
        QTest::addColumn<QByteArray>("selected");
        const QByteArray cards = QFile::encodeName(m_cards);
        const QByteArray start = QFile::encodeName(QDir(m_tmp.path()).canonicalPath());
        const QString cannot = "Cannot read " + m_cards + "/";
        QTest::newRow("card") << card("card.kel") << "" << cards << QByteArray("card.kel");
        QTest::newRow("upper-case extension") << card("OTHER.KEL") << "" << cards << QByteArray("OTHER.KEL");
        QTest::newRow("name not UTF-8") << card("\xE9t\xE9.kel") << "" << cards << QByteArray("\xE9t\xE9.kel");
        QTest::newRow("folder not UTF-8")
            << card("a\xF1o/small.kel") << "" << cards + "/a\xF1o" << QByteArray("small.kel");
        QTest::newRow("through ..") << card("a\xF1o/../card.kel") << "" << cards << QByteArray("card.kel");
        QTest::newRow("through a link") << QFile::encodeName(m_tmp.path()) + "/link/card.kel"
                                        << "" << cards << QByteArray("card.kel");
        QTest::newRow("name of 15 characters")
            << card("abcdefghijk.kel") << "error TX1" << cards << QByteArray("abcdefghijk.kel");
        QTest::newRow("missing") << card("gone.kel") << cannot + "gone.kel: No such file or directory" << cards
                                 << QByteArray();
        QTest::newRow("folder missing") << card("gone/small.kel")
                                        << cannot + "gone/small.kel: No such file or directory" << start
                                        << QByteArray();
        QTest::newRow("not a card") << card("notes.txt") << cannot + "notes.txt: the name does not end in .kel" << cards
                                    << QByteArray();
        QTest::newRow("folder") << card("folder.kel") << cannot + "folder.kel: it is a directory" << cards
                                << QByteArray();
    }
    void openCardOpensTheCardNamed()
    {
        QFETCH(QByteArray, path);
        QFETCH(QString, message);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, selected);
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        w->openCard(path);

        QCOMPARE(static_cast<DirListBox *>(w->control(Ctl::Dir1))->pathOnDisk(), folder);
        QCOMPARE(this->selected(*w), selected);
        const bool opened = message.isEmpty();
        QCOMPARE(w->module().ViewPage, int16_t(opened ? 1 : 0));
        QCOMPARE(w->control(Ctl::fr_dc)->isVisible(), opened);
        QCOMPARE(w->control(Ctl::Fr_Open)->isVisible(), !opened);
        QCOMPARE(dialogs.shown().size(), std::size_t(opened ? 0 : 1));
        if (!opened) {
            QCOMPARE(QString::fromStdString(dialogs.shown()[0].prompt), message);
            QCOMPARE(QString::fromStdString(dialogs.shown()[0].title), QString("KEL Soft"));
        } else {
            QCOMPARE(QByteArray::fromStdString(w->module().cardPath), folder + "/" + selected);
            QCOMPARE(QString::fromStdString(std::string(w->module().Data(1, 1, 0, 2))), QString("Lonely Runner"));
        }
    }

    // A card refused on the command line or dropped leaves the card on show on its page, with its
    // marks, and the card selected before is not the one opened.
    void aRefusedCardKeepsTheCardOnShow()
    {
        ScriptedDialogs dialogs;
        auto w = window(dialogs);
        w->openCard(card("card.kel"));
        const QPoint race = w->gridView()->visualRect(w->gridView()->model()->index(0, 0)).center();
        QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, race);
        QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, race);
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QTest::keyClick(w->gridView(), Qt::Key_S);
        QCOMPARE(w->module().Data(1, 1, 1, 0), std::string_view("S"));
        const auto row = [&] {
            QStringList cells;
            for (int c = 0; c < w->gridView()->model()->columnCount(); ++c)
                cells << w->gridView()->model()->index(0, c).data().toString();
            return cells;
        };
        const QStringList before = row();
        QVERIFY(before.contains("-"));

        w->openCard(card("gone/deeper/x.kel"));
        w->openCard(card("gone.kel"));
        QVERIFY(drop(*w, {card("abcdefghijk.kel")}));
        QTRY_COMPARE(dialogs.shown().size(), std::size_t(3));
        QCOMPARE(dialogs.shown()[2].prompt, std::string("error TX1"));
        QCOMPARE(selected(*w), QByteArray("abcdefghijk.kel"));
        QCOMPARE(w->module().ViewPage, int16_t(2));
        QVERIFY(w->control(Ctl::fr_dc)->isVisible());
        QVERIFY(!w->control(Ctl::Fr_Open)->isVisible());
        QCOMPARE(row(), before);
        QCOMPARE(w->module().Data(1, 1, 1, 0), std::string_view("S"));
        QCOMPARE(QString::fromStdString(w->module().cardPath), QFile::decodeName(card("card.kel")));
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

        QVERIFY(drop(*w, {card("a\xF1o/small.kel")}));
        QTRY_COMPARE(QByteArray::fromStdString(w->module().cardPath), card("a\xF1o/small.kel"));
        QVERIFY(dialogs.shown().empty());
    }

    // The program as started from a terminal. What needs no window answers without a display; a
    // second card or an unknown option is refused before the window opens; without a graphical
    // session the program says so instead of Qt's abort.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("session"); // "" none, "offscreen", or a DISPLAY to try
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // the start of standard error
        const QString version = "kelsoft " + QString::fromLatin1(kVersion.data(), qsizetype(kVersion.size())) + "\n";
        const QString usage = "usage: kelsoft [CARD.kel]";
        const QString path = QFile::decodeName(card("card.kel"));
        QTest::newRow("--version") << QStringList{"--version"} << "" << 0 << version << "";
        QTest::newRow("--help") << QStringList{"--help"} << "" << 0 << "Usage: kelsoft [options] [CARD.kel]\n"
                                << "";
        QTest::newRow("Qt's options") << QStringList{"-platform", "offscreen", "-style=fusion", "--version"} << "" << 0
                                      << version << "";
        QTest::newRow("two cards") << QStringList{path, path} << "offscreen" << 2 << ""
                                   << "kelsoft: only one card can be opened at a time\n" + usage;
        QTest::newRow("unknown option") << QStringList{"--frobnicate", path} << "offscreen" << 2 << ""
                                        << "kelsoft: Unknown option 'frobnicate'.\n" + usage;
        QTest::newRow("no display") << QStringList{path} << "" << 1 << ""
                                    << "kelsoft: the window needs a graphical session, and neither DISPLAY nor "
                                       "WAYLAND_DISPLAY is set\n";
        QTest::newRow("no display there") << QStringList{path} << ":7531" << 1 << ""
                                          << "kelsoft: the window needs a graphical session, and none could be "
                                             "reached (DISPLAY=:7531, WAYLAND_DISPLAY not set)\n";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, session);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (session == "offscreen")
            env.insert("QT_QPA_PLATFORM", session);
        else if (!session.isEmpty())
            env.insert("DISPLAY", session);
        QProcess kelsoft;
        kelsoft.setProcessEnvironment(env);
        kelsoft.start(KEL_WINDOW_BIN, args);
        QVERIFY(kelsoft.waitForFinished(20000));
        QCOMPARE(kelsoft.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kelsoft.exitCode(), status);
        const QString stdOut = QString::fromUtf8(kelsoft.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(kelsoft.readAllStandardError());
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
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
        GuideWindow *guide = w->userGuide();
        QVERIFY(guide && guide->isVisible() && guide->isWindow());
        QTextBrowser *text = guide->browser();
        QVERIFY(text->document()->toPlainText().startsWith("kelsoft user guide"));
        // Every picture the guide shows is built in.
        const QString markdown = text->document()->toMarkdown();
        static const QRegularExpression picture(R"(!\[[^\]]*\]\(([^)]+)\))");
        int pictures = 0;
        for (auto it = picture.globalMatch(markdown); it.hasNext(); ++pictures) {
            const QString file = it.next().captured(1);
            QVERIFY2(QFile::exists(":/guide/" + file), qPrintable(file));
        }
        QVERIFY(pictures > 0);

        // Ctrl+F finds as the user types, Enter goes on, round the end; ESC closes the find bar
        // first, then the guide; a second click brings the same window back, and Ctrl+W closes it.
        QCOMPARE(guide->focusWidget(), text);
        QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
        QLineEdit *find = guide->findText();
        QVERIFY(find->isVisible());
        QCOMPARE(guide->focusWidget(), find);
        QTest::keyClicks(find, "Reset dat");
        QCOMPARE(text->textCursor().selectedText(), QString("Reset dat"));
        const int first = text->textCursor().selectionStart();
        const int places = int(text->document()->toPlainText().count("Reset dat"));
        QVERIFY(places > 2);
        for (int i = 1; i < places; ++i)
            QTest::keyClick(find, Qt::Key_Return);
        const int last = text->textCursor().selectionStart();
        QVERIFY(last > first);
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(text->textCursor().selectionStart(), first); // round the end to the start
        QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(text->textCursor().selectionStart(), last); // and back round it
        find->setText("no such words anywhere");
        QVERIFY(!guide->findNext());
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        QVERIFY(guide->isVisible());
        QTest::keyClick(text, Qt::Key_Escape);
        QVERIFY(!guide->isVisible());
        help[0]->trigger();
        QCOMPARE(w->userGuide(), guide);
        QVERIFY(guide->isVisible());
        QTest::keyClick(text, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!guide->isVisible());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
