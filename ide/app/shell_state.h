// ShellState: the shell's record of its windows and page state. It holds the main window or
// the not-supported window, the page in front, the platform facts read at start-up (code
// page, screen size), the last window state read on a move, the toolbar, the dialogs and the
// RAM window while they are open, the breakpoint images and the "Executable Watchdog" timer
// of the main window. The application object owns the one instance.
#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <cstdint>

class QMainWindow;
class QTimer;
class QToolBar;
class QWidget;

namespace ide {

enum PageIndex { assemblerPageIndex = 0, debuggerPageIndex = 1, downloadPageIndex = 2 };

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
    QPointer<QTimer> watchdog;       // "Executable Watchdog" (download/firmware_watchdog.h)
};

} // namespace ide
