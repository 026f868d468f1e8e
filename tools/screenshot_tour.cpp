#include "tools/screenshot_tour.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>

#include "shell/file_lists.h"
#include "shell/kel_soft.h"
#include "shell/msf_view.h"
#include "store/number_text.h"

namespace kel {

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void pressKey(QWidget *w, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
    settle();
}

bool fail(const QString &why)
{
    QTextStream(stderr) << "screenshot tour: " << why << '\n';
    return false;
}

} // namespace

bool runScreenshotTour(KEL_Soft &window, const QString &card, const QString &outDir, int race, int horse)
{
    const QFileInfo info(card);
    if (!info.isFile())
        return fail(card + " is not a file");
    QDir().mkpath(outDir);
    auto shoot = [&](const char *name) {
        settle();
        const QString path = QDir(outDir).filePath(QLatin1String(name));
        if (!window.grab().save(path))
            return fail("cannot write " + path);
        return true;
    };

    window.findChild<QAction *>(QStringLiteral("File_Open"))->trigger();
    auto *dir = static_cast<DirListBox *>(window.control(Ctl::Dir1));
    dir->navigate(QFile::encodeName(info.absolutePath()));
    auto *files = static_cast<FileListBox *>(window.control(Ctl::File1));
    const auto found = files->findItems(info.fileName(), Qt::MatchExactly);
    if (found.isEmpty())
        return fail(info.fileName() + " is not listed");
    files->setCurrentItem(found.first());
    if (!shoot("open_file.png"))
        return false;

    static_cast<QPushButton *>(window.control(Ctl::BT_Open))->click();
    if (window.module().ViewPage != 1)
        return fail("the card did not open");
    if (!shoot("race_list.png"))
        return false;

    // Enter on a row does what a double-click does.
    MsfView *grid = window.gridView();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(race - 1, 0));
    pressKey(grid, Qt::Key_Return, QStringLiteral("\r"));
    if (window.module().ViewPage != 2)
        return fail("race " + QString::fromStdString(DecimalText(race)) + " did not open");
    if (!shoot("horses.png"))
        return false;

    grid->setCurrentIndex(grid->model()->index(horse - 1, 1));
    pressKey(grid, Qt::Key_Return, QStringLiteral("\r"));
    if (window.module().ViewPage != 3)
        return fail("horse " + QString::fromStdString(DecimalText(horse)) + " did not open");
    if (!shoot("past_performances.png"))
        return false;

    pressKey(grid, Qt::Key_Escape, QStringLiteral("\x1b"));
    static_cast<QPushButton *>(window.control(Ctl::Recalculate))->click();
    if (!shoot("settings.png"))
        return false;

    // A later date, and Enter in its box runs "Go!": the status line tells what is left out, and
    // the horse whose PPs were read is still marked.
    auto *date = static_cast<QLineEdit *>(window.control(Ctl::Text_Date));
    date->setText(QStringLiteral("09/01/24"));
    pressKey(date, Qt::Key_Return, QStringLiteral("\r"));
    if (window.control(Ctl::FrameRecalculate)->isVisible())
        return fail("Go! did not run");
    if (!shoot("status_line.png"))
        return false;

    // As large as the screen, as maximised (no window manager needed): the text columns share
    // the room and the buttons spread out.
    window.setGeometry(window.screen()->availableGeometry());
    if (!shoot("maximised.png"))
        return false;

    // Smaller than its design size, as on a laptop screen at 150 %: the client area scrolls, and
    // "Print", given the focus, has come into view; the menu bar and the status line stay.
    window.resize(620, 400);
    window.activateWindow();
    settle();
    window.control(Ctl::Printd)->setFocus();
    return shoot("smaller.png");
}

} // namespace kel
