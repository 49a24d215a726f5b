// The main window ("big" panel): the main tab control with its three pages, the Exit button,
// the menu bar and toolbar, page switching, window title, tooltips and the window events
// (size snapping, fitting into the screen, maximize handling).
#pragma once

#include "shell/page.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <memory>

class QLabel;
class QMainWindow;
class QPushButton;
class QTabWidget;

namespace ide {

class Application;
class AssemblerPage;
class DebuggerPage;
class DownloadPage;
class EditorTabs;
class SettingsChange;
struct PanelResult;

inline constexpr int min_panel_width = 800;
inline constexpr int min_panel_height = 600;

class MainWindow : public QObject, public PageSwitcher {
public:
    // Loads "big", binds the controllers of the window and its pages and wires them. Null
    // (and `failure` says why) when the panel cannot be loaded or lacks a widget.
    static std::unique_ptr<MainWindow> load(Application& app, PanelResult& failure);
    ~MainWindow() override;

    QMainWindow& window() { return *window_; }
    AssemblerPage& assemblerPage() { return *assembler_; }
    DebuggerPage& debuggerPage() { return *debugger_; }
    DownloadPage& downloadPage() { return *download_; }
    EditorTabs& editorTabs();

    // The control set-up of start-up (clears the tab table, colours, editor languages).
    void initMainControls();
    // The tooltips of the Compile, Get Device Info and Reset Interface buttons and the status
    // lamp; shown only when Settings.showTooltips is 1.
    void setTooltips();
    // The stop mark used for breakpoints, twice.
    void createBreakpointImages();
    // Shows the window, its whole frame inside the screen's available area.
    void display();

    int frontPage() const override;
    void showPage(int index) override;
    void showAssemblerPage() override;
    QWidget* mainPage(int index) const;
    Page& page(int index);
    // "KZ71 Assembler - <last project>".
    void updateWindowTitle();
    // The main tab control's active-tab change.
    void checkActiveTab(int index);
    void mViewAssembler();
    void mViewDebugger();
    void mViewDownload();
    // File/Print: the document of the page in front.
    void mFilePrint();

    // Window events of the main window.
    void panelSizeEvent();
    void panelMoveEvent();
    // Moves and shrinks the window so that its frame lies inside the screen's available area.
    void fitIntoScreen();

private:
    MainWindow(Application& app, QMainWindow* window);
    void setUp();
    void defineCommands();
    void settingsChanged(const SettingsChange& change);
    void applyMaximization();
    QMargins frameMargins() const;

    Application& app_;
    QMainWindow* window_;
    QWidget* panel_;
    QTabWidget* mainTabs_;
    QPushButton* exitButton_;
    QLabel* betaText_;
    std::unique_ptr<AssemblerPage> assembler_;
    std::unique_ptr<DebuggerPage> debugger_;
    std::unique_ptr<DownloadPage> download_;
};

} // namespace ide
