#include "shell/file_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace kel {

namespace {

constexpr int PathRole = Qt::UserRole;

QString existingFolder(QString path)
{
    QFileInfo info(path);
    while (!(info.exists() && info.isDir())) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath() || parent.isEmpty())
            return QDir::rootPath();
        info.setFile(parent);
    }
    return QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &DirListBox::enter);
}

void DirListBox::setPath(const QString &path)
{
    m_path = existingFolder(path);
    rebuild();
}

void DirListBox::rebuild()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain of folders from the root down to the current one.
    QStringList chain;
    for (QDir dir(m_path);; ) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &folder : chain) {
        const QString name = QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QDir(folder).dirName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, folder);
        ++depth;
    }
    QListWidgetItem *current = item(count() - 1);

    const QStringList subs = QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                    QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &sub : subs) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub, this);
        item->setData(PathRole, QDir(m_path).absoluteFilePath(sub));
    }
    setCurrentItem(current);
}

void DirListBox::enter(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString target = item->data(PathRole).toString();
    if (target == m_path)
        return;
    setPath(target);
    emit pathChanged(m_path);
}

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    setSortingEnabled(false);
    connect(this, &QListWidget::itemDoubleClicked, this, &FileListBox::nameDoubleClicked);
}

void FileListBox::setPath(const QString &path)
{
    m_path = path;
    clear();
    refresh();
}

void FileListBox::refresh()
{
    const QString keep = selectedName();
    clear();
    // Name filters of QDir ignore letter case, so "*.kel" lists ".KEL" and ".Kel" too.
    const QStringList names = QDir(m_path).entryList({QStringLiteral("*.kel")}, QDir::Files,
                                                     QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    addItems(names);
    if (!keep.isEmpty()) {
        const auto found = findItems(keep, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (!found.isEmpty())
            setCurrentItem(found.first());
    }
}

QString FileListBox::selectedName() const
{
    const auto items = selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace kel
