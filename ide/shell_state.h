// The shell's process-wide state: window handles, page state, where files are looked for,
// and the hooks through which the build, download, debugger and project code plug in.
#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QMainWindow;
class QTimer;
class QToolBar;
class QWidget;

namespace ide {

enum Page { assemblerPageIndex = 0, debuggerPageIndex = 1, downloadPageIndex = 2 };

struct ShellState {
    QPointer<QMainWindow> mainPanel; // null before start-up and on the not-supported path
    QPointer<QWidget> notSupportedPanel;
    QPointer<QWidget> assemblerPage;
    int activePage = assemblerPageIndex;
    int codePage = 1252;
    std::int16_t screenWidth = 0;
    std::int16_t screenHeight = 0;
    int zoomState = 0;  // 2 = maximized
    int activeFlag = 0; // 1 = the main window is the active window
    QPointer<QToolBar> toolbar;
    QPointer<QWidget> settingsPanel;
    QPointer<QWidget> aboutPanel;
    QPointer<QWidget> ramPanel;
    QList<QPixmap> breakpointImages; // the stop mark, twice
    QPointer<QTimer> watchdog;       // "Executable Watchdog"
};

ShellState& shell();
void resetShellState();

// Where the program looks for its files. The working directory holds settings.ini,
// win32.info and the data files; the program directory is where the program lies.
struct Paths {
    QString programDir; // settings.ini is read and written here
    QString panelsDir;  // the .ui panels
    QString dataDir;    // fall-back for data files missing from the working directory
};
Paths& paths();
// Sets the defaults from the running program's location.
void initPaths();
// A data file (relative name): in the working directory, else in dataDir.
QString dataFile(const QString& relative);
QString settingsPath();

// Operations owned by later parts of the IDE. Unset hooks are skipped; the shell calls
// them at the moments the start-up, page switching and quit sequence require.
struct ShellHooks {
    std::function<void()> refreshDebuggerPage;
    std::function<void()> prepareDownloadPage;
    std::function<void()> endDebugSession;
    std::function<void()> closeProgrammer;
    std::function<void()> saveProjectFile;
    std::function<bool()> restoreLastProject; // false: not available, use the untitled file
    std::function<void()> closeHelpWindows;
    std::function<void()> reopenRamWindow;
    std::function<void()> watchdogTimer;
};
ShellHooks& hooks();

// Menu callbacks by name ("mFileNew"); the menu items and toolbar buttons call them.
void registerCommand(const QString& name, std::function<void()> callback);
bool runCommand(const QString& name); // false when nothing is registered under the name
bool hasCommand(const QString& name);

} // namespace ide
