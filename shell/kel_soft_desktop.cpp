// What makes KEL_Soft a desktop application beyond its one window: a card named on the command
// line or dropped on the window, and the Help menu.
#include "shell/kel_soft.h"

#include <filesystem>
#include <string>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QTextBrowser>
#include <QUrl>

#include "kel_version.h"
#include "shell/file_lists.h"
#include "shell/guide_window.h"
#include "views/commands.h"

namespace kel {

namespace {

// The path of the one local .kel file being dragged, as the file system spells it, or nothing.
QByteArray draggedCard(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    // The URL's own percent-encoding keeps the bytes of a name that is not UTF-8.
    const QByteArray path = QByteArray::fromPercentEncoding(urls.first().path(QUrl::FullyEncoded).toLatin1());
    return path.toLower().endsWith(".kel") ? path : QByteArray();
}

} // namespace

void KEL_Soft::openCard(const QByteArray &path)
{
    namespace fs = std::filesystem;
    const fs::path named(path.toStdString());
    std::string card = named.native();
    // The folder through links and "..", when it is there: the lists never move to another one.
    std::error_code ec;
    const fs::path folder = fs::canonical(fs::absolute(named, ec).parent_path(), ec);
    if (!ec && named.has_filename() && fs::is_directory(folder, ec)) {
        card = (folder / named.filename()).native();
        m_dir->navigate(QByteArray::fromStdString(folder.native()));
        m_files->refresh();
        m_files->selectName(QByteArray::fromStdString(named.filename().native()));
    }
    OpenNamedCard(card);
}

void KEL_Soft::acceptCardDrops()
{
    setAcceptDrops(true);
    // A card dropped on a text box of the Settings frame opens too, instead of becoming its text.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setAcceptDrops(false);
}

void KEL_Soft::dragEnterEvent(QDragEnterEvent *event)
{
    if (!draggedCard(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void KEL_Soft::dropEvent(QDropEvent *event)
{
    const QByteArray path = draggedCard(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop: a box of the open command must not hold up the file manager the card came from.
    QMetaObject::invokeMethod(
        this, [this, path] { openCard(path); }, Qt::QueuedConnection);
}

void KEL_Soft::buildHelpMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    QAction *guide = help->addAction(QStringLiteral("User guide"));
    guide->setObjectName(QStringLiteral("Help_UserGuide"));
    guide->setShortcut(QKeySequence::HelpContents);
    connect(guide, &QAction::triggered, this, &KEL_Soft::Help_UserGuide_Click);
    QAction *about = help->addAction(QStringLiteral("About kelsoft"));
    about->setObjectName(QStringLiteral("Help_About"));
    connect(about, &QAction::triggered, this, &KEL_Soft::Help_About_Click);
}

// The guide is built into the program, so it matches the version that shows it.
void KEL_Soft::Help_UserGuide_Click()
{
    if (!m_guide) {
        m_guide = new GuideWindow(this);
        m_guide->browser()->setSource(QUrl(QStringLiteral("qrc:/guide/user-guide.md")),
                                      QTextDocument::MarkdownResource);
        // The guide's pictures are as wide as this window; the margins and a scroll bar come on top.
        m_guide->resize(width() + 80, height() * 3 / 2);
    }
    m_guide->show();
    m_guide->raise();
    m_guide->activateWindow();
}

GuideWindow *KEL_Soft::userGuide() const
{
    return m_guide;
}

void KEL_Soft::Help_About_Click()
{
    const std::string text = "kelsoft " + std::string(kVersion)
                             + "\n\nRates the horses of a race card from their past performances, for handicappers."
                               "\n\nCopyright (c) 2026 kelsoft contributors. MIT License.";
    dialogs().note(text, "About kelsoft");
}

} // namespace kel
