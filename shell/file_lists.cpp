#include "shell/file_lists.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace kel {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int NameOnDiskRole = Qt::UserRole;

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

DirListBox::DirListBox(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Every level is always open: the expand arrows would only mislead.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    setSelectionMode(SingleSelection);
    setIndentation(fontMetrics().averageCharWidth() * 2);
    connect(this, &QTreeWidget::itemActivated, this, &DirListBox::enter);
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

    // The chain of folders from the root down to the current one, each inside the one above.
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem *current = nullptr;
    for (const QString &folder : chain) {
        const QDir dir(folder);
        const QString name = dir.isRoot() ? QDir::toNativeSeparators(folder) : dir.dirName();
        current = current ? new QTreeWidgetItem(current, {name}) : new QTreeWidgetItem(this, {name});
        current->setIcon(0, open);
        current->setData(0, PathRole, folder);
    }

    const QDir here(m_path);
    const QStringList subs
        = here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &sub : subs) {
        auto *item = new QTreeWidgetItem(current, {sub});
        item->setIcon(0, closed);
        item->setData(0, PathRole, here.absoluteFilePath(sub));
    }
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

void DirListBox::enter(QTreeWidgetItem *item)
{
    if (item)
        navigate(item->data(0, PathRole).toString());
}

void DirListBox::navigate(const QString &path)
{
    const QString before = m_path;
    setPath(path);
    if (m_path != before)
        emit pathChanged(m_path);
}

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
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
    const QByteArray keep = selectedNameOnDisk();
    clear();
    // Every "*.kel" entry in any letter case, read by the bytes of its name: QDir leaves out
    // names that are not UTF-8, as a card copied from an old system may have. Such a name is
    // shown with replacement characters and opened by its bytes.
    struct Card
    {
        QString shown;
        QByteArray onDisk;
    };
    std::vector<Card> cards;
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(QFile::encodeName(m_path).toStdString(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().native();
        // Hidden files are not listed; folders, pipes and devices are no cards.
        std::error_code typeError;
        if (name.size() < 4 || name[0] == '.'
            || QByteArray::fromStdString(name.substr(name.size() - 4)).toLower() != ".kel"
            || !it->is_regular_file(typeError))
            continue;
        const QByteArray onDisk = QByteArray::fromStdString(name);
        cards.push_back({QFile::decodeName(onDisk), onDisk});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(cards.begin(), cards.end(), [&](const Card &a, const Card &b) {
        const int order = collator.compare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.onDisk < b.onDisk;
    });
    for (const Card &card : cards) {
        auto *item = new QListWidgetItem(card.shown, this);
        item->setData(NameOnDiskRole, card.onDisk);
        if (card.onDisk == keep)
            setCurrentItem(item);
    }
}

QString FileListBox::selectedName() const
{
    const auto items = selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

QByteArray FileListBox::selectedNameOnDisk() const
{
    const auto items = selectedItems();
    return items.isEmpty() ? QByteArray() : items.first()->data(NameOnDiskRole).toByteArray();
}

bool FileListBox::selectName(const QByteArray &nameOnDisk)
{
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(NameOnDiskRole).toByteArray() == nameOnDisk) {
            setCurrentItem(item(i));
            return true;
        }
    }
    setCurrentItem(nullptr);
    clearSelection();
    return false;
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
