#include "shell/file_lists.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <QCollator>
#include <QFile>
#include <QKeyEvent>
#include <QStyle>

#include "views/commands.h"

namespace kel {

namespace {

namespace fs = std::filesystem;

constexpr int PathRole = Qt::UserRole;
constexpr int NameOnDiskRole = Qt::UserRole;

fs::path onDisk(const QByteArray &path)
{
    return fs::path(path.toStdString());
}

QByteArray bytes(const fs::path &path)
{
    return QByteArray::fromStdString(path.native());
}

// The nearest folder there is at or above path, absolute and without "." or "..".
QByteArray existingFolder(const QByteArray &path)
{
    std::error_code ec;
    fs::path p = fs::absolute(onDisk(path), ec).lexically_normal();
    if (ec)
        return "/";
    if (!p.has_filename() && p.has_relative_path())
        p = p.parent_path();
    while (!fs::is_directory(p, ec)) {
        if (!p.has_relative_path())
            return "/";
        p = p.parent_path();
    }
    return bytes(p);
}

struct Entry
{
    QString shown;
    QByteArray onDisk;
};

// The entries of a folder that keep() takes, hidden ones left out, sorted as a user reads them.
// Read by the bytes of their names: QDir leaves out names that are not UTF-8.
template <class Keep>
std::vector<Entry> entries(const QByteArray &folder, Keep keep)
{
    std::vector<Entry> found;
    std::error_code ec;
    for (fs::directory_iterator it(onDisk(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (name.empty() || name[0] == '.' || !keep(*it, name))
            continue;
        const QByteArray b = QByteArray::fromStdString(name);
        found.push_back({QFile::decodeName(b), b});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(found.begin(), found.end(), [&](const Entry &a, const Entry &b) {
        const int order = collator.compare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.onDisk < b.onDisk;
    });
    return found;
}

bool isFolder(const fs::directory_entry &entry, const std::string &)
{
    std::error_code ec;
    return entry.is_directory(ec);
}

// Folders, pipes and devices are no cards.
bool isCard(const fs::directory_entry &entry, const std::string &name)
{
    std::error_code ec;
    return IsListedCardName(name) && entry.is_regular_file(ec);
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

QString DirListBox::path() const
{
    return QFile::decodeName(m_path);
}

void DirListBox::setPath(const QByteArray &path)
{
    m_path = existingFolder(path);
    rebuild();
}

void DirListBox::rebuild()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QTreeWidgetItem *current = nullptr;
    fs::path at;
    for (const fs::path &part : onDisk(m_path)) {
        at /= part;
        const QString name = QFile::decodeName(bytes(part));
        current = current ? new QTreeWidgetItem(current, {name}) : new QTreeWidgetItem(this, {name});
        current->setIcon(0, open);
        current->setData(0, PathRole, bytes(at));
    }
    for (const Entry &sub : entries(m_path, isFolder)) {
        auto *item = new QTreeWidgetItem(current, {sub.shown});
        item->setIcon(0, closed);
        item->setData(0, PathRole, bytes(at / sub.onDisk.toStdString()));
    }
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

void DirListBox::enter(QTreeWidgetItem *item)
{
    if (item)
        navigate(item->data(0, PathRole).toByteArray());
}

void DirListBox::navigate(const QByteArray &path)
{
    const QByteArray before = m_path;
    setPath(path);
    if (m_path != before)
        emit pathChanged();
}

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    setSortingEnabled(false);
    connect(this, &QListWidget::itemDoubleClicked, this, &FileListBox::nameDoubleClicked);
}

void FileListBox::setPath(const QByteArray &path)
{
    m_path = path;
    clear();
    refresh();
}

void FileListBox::refresh()
{
    const QByteArray keep = selectedNameOnDisk();
    clear();
    for (const Entry &card : entries(m_path, isCard)) {
        auto *item = new QListWidgetItem(card.shown, this);
        item->setData(NameOnDiskRole, card.onDisk);
        // Still listed and selectable: "Open" says "error TX1", as it always did.
        if (IsTooLongCardName(card.shown.toStdString())) {
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            item->setToolTip(QString::fromUtf8(kLongCardNameNote.data(), qsizetype(kLongCardNameNote.size())));
        }
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

void FileListBox::focusInEvent(QFocusEvent *event)
{
    // The view makes its first item current when it gets the focus with none: its focus frame
    // then stands on a card nobody picked, and Down picks the second.
    const bool none = !currentIndex().isValid();
    QListWidget::focusInEvent(event);
    if (none && selectedItems().isEmpty())
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
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
