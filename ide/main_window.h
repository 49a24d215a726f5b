// The main window: its controls, page switching, window title, tooltips and the window
// events (size snapping, maximize handling).
#pragma once

class QMainWindow;
class QWidget;

namespace ide {

inline constexpr int min_panel_width = 800;
inline constexpr int min_panel_height = 600;

// Wires a freshly loaded main window: window events, the tab controls' callbacks, the
// Exit button and the menu items.
void connectMainWindow(QMainWindow& window);
// The control set-up of start-up (clears the tab table, colours, editor languages).
void initMainControls();
// The tooltips of the Compile, Get Device Info and Reset Interface buttons and the status
// lamp; shown only when Settings.showTooltips is 1.
void setTooltips();
// The stop mark used for breakpoints, twice.
void createBreakpointImages();

// 0 Assembler, 1 Debugger, 2 Download: the page the main tab control shows.
int frontPage();
// Brings a main page to the front without running its refresh.
void showPage(int index);
QWidget* mainPage(int index);
// activePage 0 and the Assembler page in front.
void showAssemblerPage();
// "KZ71 Assembler - <last project>".
void updateWindowTitle();
// The main tab control's active-tab change.
void checkActiveTab(int index);
void mViewAssembler();
void mViewDebugger();
void mViewDownload();

// Window events of the main window.
void panelSizeEvent();
void panelMoveEvent();

} // namespace ide
