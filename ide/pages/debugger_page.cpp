#include "pages/debugger_page.h"

#include "app/application.h"
#include "editor/editor_setup.h"
#include "shell/appearance.h"
#include "shell/lamp.h"
#include "shell/page_layout.h"
#include "shell/panel_loader.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

namespace ide {

DebuggerPage::DebuggerPage(Application& app, PageSwitcher& pages, WidgetBinder& binder)
    : app_(app), pages_(pages), page_(binder.bind<QWidget>("debuggerPage")),
      listingTabs_(binder.bind<QTabWidget>("listingTabs")),
      listingEditor0_(binder.bind<QsciScintilla>("listingEditor0")),
      listingName_(binder.bind<QLabel>("listingName")), debugLamp_(binder.bind<Lamp>("debugLamp")),
      runningText_(binder.bind<QLabel>("runningText")),
      clearBreakpoints_(binder.bind<QToolButton>("clearBreakpoints")),
      runToBreakpointButton_(binder.bind<QPushButton>("runToBreakpointButton")),
      runToCursorButton_(binder.bind<QPushButton>("runToCursorButton")),
      singleStepButton_(binder.bind<QPushButton>("singleStepButton")),
      newDebugCycleButton_(binder.bind<QPushButton>("newDebugCycleButton")),
      exitDebugModeButton_(binder.bind<QPushButton>("exitDebugModeButton")),
      resetButton_(binder.bind<QPushButton>("resetButton")),
      showRamContentButton_(binder.bind<QPushButton>("showRamContentButton")),
      dbgHexView_(binder.bind<QsciScintilla>("dbgHexView")),
      flagLamps_{binder.bind<Lamp>("signumLamp"), binder.bind<Lamp>("notEqualLamp"),
                 binder.bind<Lamp>("overflowLamp"), binder.bind<Lamp>("carryLamp")},
      debuggerHint_(binder.bind<QLabel>("debuggerHint")) {}

void DebuggerPage::setUp() {
    installLayout(*page_, [this] { layout(); });
    CommandTable& commands = app_.commands();
    commands.attachButton("mDebuggerRunToBP", runToBreakpointButton_);
    commands.attachButton("mDebuggerRunToCursor", runToCursorButton_);
    commands.attachButton("mDebuggerSingleStep", singleStepButton_);
    commands.attachButton("mDebuggerExitDbgMode", exitDebugModeButton_);
    // The page's own commands, which have no menu item.
    commands.attachButton("cbNewDbgCycle", newDebugCycleButton_);
    commands.attachButton("cbResetBtn", resetButton_);
    commands.attachButton("cbShowRamContent", showRamContentButton_);
    commands.attachButton("clearAllBP", clearBreakpoints_);
}

void DebuggerPage::initControls() {
    for (QPushButton* run : {runToBreakpointButton_, runToCursorButton_, singleStepButton_})
        colourButton(*run, run_green);
    for (QPushButton* other : {newDebugCycleButton_, exitDebugModeButton_})
        colourButton(*other, command_grey);
    setLampColours(*debugLamp_, lamp_on, lamp_off);
    for (Lamp* flag : flagLamps_)
        setLampColours(*flag, run_green, lamp_off);
    configureEditor(*listingEditor0_);
    listingEditor0_->setReadOnly(true);
    fillPage(*listingEditor0_);
    makeHexView(*dbgHexView_, app_.editorLanguages());
    runningText_->hide();
    clearBreakpoints_->setIcon(QIcon(app_.paths().dataFile("icons/stop.ico")));
}

QList<QWidget*> DebuggerPage::debugControls() const {
    QList<QWidget*> controls;
    for (QWidget* child : page_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != debuggerHint_) controls << child;
    return controls;
}

void DebuggerPage::refreshDebuggerPage() {
    app_.shell().activePage = debuggerPageIndex;
    pages_.showPage(debuggerPageIndex);
    // The listings, the hex view and the run controls need the debug file of a build.
    const bool debugFile = QFileInfo(app_.build().dbgFilePath).isFile();
    for (QWidget* control : debugControls())
        control->setVisible(debugFile && control != runningText_);
    debuggerHint_->setVisible(!debugFile);
    // The Chinese hint is shorter: it stands a third of the window's width from the left.
    if (!debugFile && app_.settings()->language == 1)
        debuggerHint_->move(page_->window()->width() / 3, debuggerHint_->y());
}

void DebuggerPage::layout() {
    const int w = page_->width(), h = page_->height();
    applyAnchors(*page_);
    setRect(listingTabs_, 0, 0, w, h - 320);
    dbgHexView_->resize(w - 30, dbgHexView_->height());
}

} // namespace ide
