#pragma once

#include <array>
#include <memory>

#include <QMainWindow>
#include <QPointer>

#include "store/module1.h"
#include "views/dialogs.h"
#include "views/controls.h"
#include "views/form.h"
#include "views/grid_model.h"

class QAction;
class QMenu;
class QTextBrowser;

namespace kel {

class DirListBox;
class FileListBox;
class GridTableModel;
class MsfView;
class PreviewPrintTarget;
class PrintTarget;
class QtDialogs;
class WidgetForm;

// The one window of the program. It owns the card (Module1) and the grid MSF, lays its controls
// out in twips, and turns every user event into the core handler of the same name; after each
// handler (and before each box a handler shows) the table view shows what the grid holds.
class KEL_Soft : public QMainWindow
{
    Q_OBJECT

public:
    // startDir is where Dir1 starts; empty, the directory the program was started in.
    explicit KEL_Soft(const QString &startDir = {}, QWidget *parent = nullptr);
    ~KEL_Soft() override;

    // Replaces the message and input boxes (tests answer from a script); null restores the
    // window's own. The window does not take ownership.
    void setDialogs(Dialogs *dialogs);
    // The boxes the handlers show: those set, or the window's own, each shown over the page as
    // the handler has built it so far.
    Dialogs &dialogs();
    // Replaces where "Print" sends the report (tests print to a recorder); null restores the
    // print preview. The window does not take ownership.
    void setPrintTarget(PrintTarget *target);
    PreviewPrintTarget &previewTarget() { return *m_ownPrintTarget; }

    // Opens the card a path names, as the command line and a drop do (OpenNamedCard): the file
    // frame moves to the card's folder with the card selected there, and the card is opened by
    // the bytes of its path. A refused open leaves the card on show as it was.
    void openCard(const QByteArray &path);
    // The guide window of Help, User guide, once it has been opened.
    QTextBrowser *userGuide() const;

    const Module1 &module() const { return m_module; }
    GridModel &grid() { return m_grid; }
    Form &form();
    QWidget *control(Ctl c) const { return m_controls[std::size_t(c)]; }
    MsfView *gridView() const { return m_msf; }
    // The focus as a handler moves it: there it stays once the handler ends.
    void focusControl(Ctl c);

    // Client-area design size in twips.
    static constexpr int kClientWidth = 11595;
    static constexpr int kClientHeight = 6915;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A .kel file dropped anywhere on the window takes the road of openCard.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void connectEvents();
    void layoutControls();
    void buildHelpMenu();
    void acceptCardDrops();

    class PageFirstDialogs;

    // Runs one handler, then shows the grid as the handler left it and puts the focus back
    // where it was, unless the handler moved it.
    template <class Handler>
    void run(Handler &&handler);
    void showGrid();
    void restoreFocus();
    void syncCurrentFromView(const QModelIndex &index);
    void MSF_ColumnDragged(int column, int oldPx, int newPx);

    void Form_Load();
    void File_Open_Click();
    void Dir1_Change();
    void BT_Open_Click();
    void OpenNamedCard(const std::string &path);
    void BT_Cancel_Click();
    void MSF_DblClick(const QModelIndex &index);
    void MSF_HeaderDblClick(int column);
    void MSF_EnterPress();
    void MSF_KeyPress(int code);
    void Recalculate_Click();
    void ResetData_Click();
    void Printd_Click();
    void Command4_Click();
    void Command6_Click();
    void Speed_Click();
    void LateSpeed_Click();
    void Help_UserGuide_Click();
    void Help_About_Click();

    Module1 m_module;
    GridModel m_grid;
    std::unique_ptr<WidgetForm> m_form;
    std::unique_ptr<QtDialogs> m_ownDialogs;
    Dialogs *m_dialogs = nullptr;
    std::unique_ptr<PageFirstDialogs> m_boxes;
    std::unique_ptr<PreviewPrintTarget> m_ownPrintTarget;
    PrintTarget *m_printTarget = nullptr;

    std::array<QWidget *, kCtlCount> m_controls{};
    QWidget *m_client = nullptr;
    MsfView *m_msf = nullptr;
    GridTableModel *m_table = nullptr;
    DirListBox *m_dir = nullptr;
    FileListBox *m_files = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_openAction = nullptr;
    QPointer<QTextBrowser> m_guide;
    QByteArray m_startDir;

    int m_handlerDepth = 0;
    bool m_refreshing = false;
    QPointer<QWidget> m_focusBefore; // the window's focus when the outermost handler started
    QPointer<QWidget> m_focusAsked;  // where that handler moved it, if it did
};

} // namespace kel
