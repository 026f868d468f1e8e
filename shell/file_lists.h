#pragma once

#include <QByteArray>
#include <QListWidget>
#include <QString>
#include <QTreeWidget>

namespace kel {

// Folders and files are named by their bytes, as the file system spells them: a name that is not
// UTF-8 (as copied from an old system) is shown with replacement characters and still reached.

// Dir1: the folders from the root down to the current one, then the current one's subfolders.
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
    void pathChanged();

private:
    void rebuild();
    void enter(QTreeWidgetItem *item);

    QByteArray m_path;
};

// File1: nothing is selected or current until the user picks a card (Down picks the first). A name
// too long to open is listed greyed, with a tooltip that says why.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    void setPath(const QByteArray &path);
    // Re-reads the folder, keeping the selected name when it is still there.
    void refresh();
    QString selectedName() const;
    QByteArray selectedNameOnDisk() const;
    // As a click would; false, with nothing selected, when the name is not listed.
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
