// The Debugger page: the listing tabs, the hex view, the run buttons, the debug lamp, the
// register displays and the "RAM Content" window. The page owns the debugger core and the
// long-lived programmer link it works over (debug mode keeps the session open between the
// user's actions), and defines the Debugger commands: the menu items, the toolbar buttons and
// the page's buttons.
#pragma once

#include "debugger/debugger_report.h"
#include "debugger/debugger_screen.h"
#include "debugger/listing_tabs.h"
#include "programmer/debugger.h"
#include "programmer/programmer_link.h"
#include "shell/busy_window.h"
#include "shell/page.h"

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <memory>

class Lamp;
class QLabel;
class QProgressBar;
class QPushButton;
class QsciScintilla;
class QTabWidget;
class QToolButton;
class QWidget;

namespace ide {

class Application;
class RamWindow;
class SettingsChange;
class WidgetBinder;

class DebuggerPage : public QObject, public Page {
public:
    DebuggerPage(Application& app, PageSwitcher& pages, WidgetBinder& binder);
    ~DebuggerPage() override;
    void setUp();
    void initControls();

    // Brings the page to the front and loads the program of the last build when it has not
    // been loaded yet (so breakpoints can be set before the first run); without a debug file
    // it shows only the hint.
    void refreshDebuggerPage();
    // Ends debug mode if it is active and has the program loaded again the next time: after a
    // build, before a download, when the window is reloaded and on quit.
    void endDebugSession();

    // The run commands, as the page's buttons give them.
    void cbSingleStep();
    void cbRunToBreakpoint();
    void cbRunToCursor();
    void cbNewDbgCycle();
    void cbExitDbgMode();
    void cbResetBtn();
    void clearAllBP();
    // The "RAM Content" window.
    void cbShowRAMContent();
    void cbRefreshRAMContent();
    void cbCloseRAMContentPanel();
    // The main window was resized: the RAM window takes its place beside it again. Moved:
    // the RAM window goes along.
    void mainWindowResized();
    void mainWindowMoved();

    void pageShown() override { refreshDebuggerPage(); }
    QsciScintilla* documentToPrint() override { return nullptr; } // nothing is printed here

    QWidget& page() { return *page_; }
    programmer::Debugger& debugger() { return *debugger_; }
    DebuggerReport& report() { return report_; }
    DebuggerScreen& screen() { return *screen_; }
    ListingTabs& listings() { return *listings_; }

private:
    void layout();
    void defineCommands();
    // Every control but the hint, which shows when they are hidden.
    QList<QWidget*> debugControls() const;
    // Settings, chip interface and the build's file paths, as the debugger needs them now; a
    // program built or selected anew ends the session of the old one.
    void takeShellState();
    // The hex view and its name show the program's hex file; the listings follow the settings.
    void showHexFile();
    void toggleBreakpoint(int tab, int line);
    void settingsChanged(const SettingsChange& change);
    void showRunProgress(std::size_t done, std::size_t total);
    // The stop mark of the shell, for the listing margins.
    QPixmap breakpointMark() const;
    // Runs a command with its button in the running colour and the windows busy; refused while
    // a long operation runs.
    template <typename Command>
    void runCommand(QPushButton* button, Command&& command);

    Application& app_;
    PageSwitcher& pages_;
    QWidget* page_;
    QTabWidget* listingTabs_;
    QsciScintilla* listingEditor0_;
    QLabel* listingName_;
    Lamp* debugLamp_;
    QLabel* runningText_;
    QToolButton* clearBreakpoints_;
    QPushButton* runToBreakpointButton_;
    QPushButton* runToCursorButton_;
    QPushButton* singleStepButton_;
    QPushButton* newDebugCycleButton_;
    QPushButton* exitDebugModeButton_;
    QPushButton* resetButton_;
    QPushButton* showRamContentButton_;
    QLabel* dbgHexFileName_;
    QsciScintilla* dbgHexView_;
    QProgressBar* runProgress_;
    QLabel* debuggerHint_;
    RegisterControls registers_;

    // Made once the panel's controls are bound (setUp).
    std::unique_ptr<ListingTabs> listings_;
    DebuggerReport report_;
    // The link's pauses keep the windows painted while a command holds them busy.
    PaintingClock pauses_;
    programmer::ProgrammerLink link_;
    std::unique_ptr<DebuggerScreen> screen_;
    std::unique_ptr<programmer::Debugger> debugger_;
    QPoint lastMainWindowPosition_;
};

} // namespace ide
