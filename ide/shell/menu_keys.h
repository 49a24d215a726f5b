// Menu keys that act on one page only. Debugger/Exit Debug Mode is the Return key (and the
// keypad's Enter) while the focus is on the Debugger page; everywhere else Return keeps its
// ordinary use (breaking a line in an editor, choosing a menu item).
#pragma once

class QWidget;

namespace ide {

class Application;

void bindPageKeys(Application& app, QWidget& debuggerPage);

} // namespace ide
