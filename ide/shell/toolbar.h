// The "ASM Toolbar" above the pages. Each button is the command object of its menu item, so
// it is enabled, dimmed and given its shortcut together with the item.
#pragma once

class QMainWindow;
class QToolBar;

namespace ide {

class Application;

QToolBar* createToolbar(QMainWindow& window, Application& app);

} // namespace ide
