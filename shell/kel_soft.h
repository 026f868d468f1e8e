#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "store/module1.h"
#include "views/dialogs.h"
#include "views/controls.h"
#include "views/form.h"
#include "views/grid_model.h"

class QAction;
class QMenu;
class QScrollArea;

namespace kel {

class DirListBox;
class FileListBox;
class GridTableModel;
class GuideWindow;
class MsfView;
class PreviewPrintTarget;
class PrintTarget;
class QtDialogs;
class StatusText;
class WidgetForm;
class WindowStyle;

// Every user event runs the core handler of the same name; after each handler, and before each box
// a handler shows, the table view shows what the grid holds and the status line is made again.
class KEL_Soft : public QMainWindow
{
    Q_OBJECT

public:
    // startDir is where Dir1 starts; empty, the directory the program was started in.
    explicit KEL_Soft(const QString &startDir = {}, QWidget *parent = nullptr);
    ~KEL_Soft() override;

    // Not owned; null restores the window's own boxes (tests answer from a script).
    void setDialogs(Dialogs *dialogs);
    // Each shown over the page as the handler has built it so far.
    Dialogs &dialogs();
    // Not owned; null restores the print preview (tests print to a recorder).
    void setPrintTarget(PrintTarget *target);
    PreviewPrintTarget &previewTarget() { return *m_ownPrintTarget; }

    // As the command line and a drop do: the file frame moves to the card's folder with the card
    // selected there, and the card is opened by the bytes of its path.
    void openCard(const QByteArray &path);
    // Null until Help, User guide is first opened.
    GuideWindow *userGuide() const;

    const Module1 &module() const { return m_module; }
    GridModel &grid() { return m_grid; }
    Form &form();
    QWidget *control(Ctl c) const { return m_controls[std::size_t(c)]; }
    MsfView *gridView() const { return m_msf; }
    // The design size, or what the window gives it beyond; a smaller window scrolls it.
    QWidget *clientArea() const { return m_client; }
    QString statusMarks() const;
    QString statusCurrent() const;
    // The focus as a handler moves it: there it stays once the handler ends.
    void focusControl(Ctl c);

    // Client-area design size in twips.
    static constexpr int kClientWidth = 11595;
    static constexpr int kClientHeight = 6915;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void connectEvents();
    void layoutControls();
    void buildHelpMenu();
    void acceptCardDrops();
    void scrollIntoView(const QWidget &control);

    class PageFirstDialogs;

    // Then shows the grid as the handler left it and puts the focus back, unless it moved it.
    template <class Handler>
    void run(Handler &&handler);
    void showGrid();
    void drawColumnWidths();
    void showStatus(bool marksToo);
    void openAtDesignSize();
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
    WindowStyle *m_style = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_client = nullptr;
    StatusText *m_statusMarks = nullptr;
    StatusText *m_statusCurrent = nullptr;
    MsfView *m_msf = nullptr;
    GridTableModel *m_table = nullptr;
    DirListBox *m_dir = nullptr;
    FileListBox *m_files = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_openAction = nullptr;
    QPointer<GuideWindow> m_guide;
    QByteArray m_startDir;

    // By column, beyond the design width: the pixels drawn wider than the grid holds, and the width
    // a drag gave (the column then takes no share until a page build sets another).
    std::vector<int> m_shares;
    std::vector<int> m_dragged;
    // The horse whose PPs ESC came back from, marked on the horses page of its race.
    int m_viewedRace = 0;
    int m_viewedHorse = 0;
    bool m_sized = false;

    int m_handlerDepth = 0;
    bool m_refreshing = false;
    QPointer<QWidget> m_focusBefore; // the window's focus when the outermost handler started
    QPointer<QWidget> m_focusAsked;  // where that handler moved it, if it did
};

} // namespace kel
