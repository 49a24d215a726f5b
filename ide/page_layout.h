// Keeps the main window's controls laid out when it is resized: the tab control fills the
// panel, the Exit button stays at the bottom, and each page places its controls relative to
// its bottom and right edges.
#pragma once

class QMainWindow;
class QWidget;

namespace ide {

// Installs the layout rules on a loaded main window (its pages must not be resized yet).
void installPageLayouts(QMainWindow& window);

void layoutMainPanel(QWidget& panel);
void layoutAssemblerPage(QWidget& page);
void layoutDebuggerPage(QWidget& page);
void layoutDownloadPage(QWidget& page);

} // namespace ide
