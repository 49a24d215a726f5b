// The "ASM Toolbar" above the pages; every button triggers a menu item.
#pragma once

class QMainWindow;

namespace ide {

void createToolbar(QMainWindow& window);

} // namespace ide
