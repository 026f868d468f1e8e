#pragma once

#include <QByteArray>
#include <QListWidget>
#include <QString>
#include <QTreeWidget>

namespace kel {

// Folders and files are named by their bytes, as the file system spells them: a name that is not
// UTF-8 (as copied from an old system) is shown with replacement characters and still reached.

// Dir1: the folders from the root down to the current one, then the current one's subfolders.
// Activating an entry (double-click or Enter) makes it the current folder.
class DirListBox : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DirListBox(QWidget *parent = nullptr);

    // The current folder, absolute, as shown and as spelled on disk.
    QString path() const;
    QByteArray pathOnDisk() const { return m_path; }
    // A folder that does not exist (any more) falls back to its nearest existing parent.
    void setPath(const QByteArray &path);
    // Moves there as the user would, with the change reported.
    void navigate(const QByteArray &path);

signals:
    // The user moved to another folder.
    void pathChanged();

private:
    void rebuild();
    void enter(QTreeWidgetItem *item);

    QByteArray m_path;
};

// File1: the card files of one folder, "*.kel" in any letter case, sorted by name. Nothing is
// selected, and no name is current, until the user picks one: Down picks the first. A name the
// open command refuses for its length is listed greyed, with a tooltip that says why.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    void setPath(const QByteArray &path);
    // Re-reads the folder, keeping the selected name when it is still there.
    void refresh();
    // The selected name as shown, or an empty string.
    QString selectedName() const;
    // The selected name as spelled on disk, or nothing.
    QByteArray selectedNameOnDisk() const;
    // Selects the name spelled so on disk, as a click on it would; without such a name nothing is
    // selected. Returns whether the name was listed.
    bool selectName(const QByteArray &nameOnDisk);

signals:
    void enterPressed();
    void nameDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QByteArray m_path;
};

} // namespace kel
