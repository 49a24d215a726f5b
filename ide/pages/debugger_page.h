// The Debugger page: the listing tabs, the hex view, the run buttons, the debug lamp and the
// register displays. Its buttons run the Debugger commands, which stay disabled until the
// debugger defines them.
#pragma once

#include "shell/page.h"

#include <QObject>

class Lamp;
class QLabel;
class QPushButton;
class QsciScintilla;
class QTabWidget;
class QToolButton;
class QWidget;

namespace ide {

class Application;
class WidgetBinder;

class DebuggerPage : public QObject, public Page {
public:
    DebuggerPage(Application& app, PageSwitcher& pages, WidgetBinder& binder);
    void setUp();
    void initControls();

    // Brings the page to the front; without a debug file from a build it shows only the hint.
    void refreshDebuggerPage();

    void pageShown() override { refreshDebuggerPage(); }
    QsciScintilla* documentToPrint() override { return nullptr; } // nothing is printed here

    QWidget& page() { return *page_; }

private:
    void layout();
    // Every control but the hint, which shows when they are hidden.
    QList<QWidget*> debugControls() const;

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
    QsciScintilla* dbgHexView_;
    Lamp* flagLamps_[4];
    QLabel* debuggerHint_;
};

} // namespace ide
