#include "pages/debugger_page.h"

#include "app/application.h"
#include "debugger/ram_window.h"
#include "editor/editor_files.h"
#include "editor/editor_setup.h"
#include "editor/editor_tabs.h"
#include "files/read_file.h"
#include "programmer/breakpoints.h"
#include "programmer/debug_messages.h"
#include "programmer/run_control.h"
#include "shell/appearance.h"
#include "shell/lamp.h"
#include "shell/localization.h"
#include "shell/page_layout.h"
#include "shell/panel_loader.h"
#include "shell/path_label.h"

#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

constexpr int ms_per_second = 1000;
// The progress of a run shows once it has taken this long.
constexpr std::size_t progress_after_ms = 500;

std::string filePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

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
      dbgHexFileName_(binder.bind<QLabel>("dbgHexFileName")),
      dbgHexView_(binder.bind<QsciScintilla>("dbgHexView")),
      runProgress_(binder.bind<QProgressBar>("runProgress")),
      debuggerHint_(binder.bind<QLabel>("debuggerHint")),
      registers_{{binder.bind<Lamp>("signumLamp"), binder.bind<Lamp>("notEqualLamp"),
                  binder.bind<Lamp>("overflowLamp"), binder.bind<Lamp>("carryLamp")},
                 binder.bind<QLabel>("lastAddressValue"),
                 binder.bind<QLabel>("xValue"),
                 binder.bind<QLabel>("yValue"),
                 binder.bind<QLabel>("zValue"),
                 binder.bind<QLabel>("hb0Value"),
                 binder.bind<QLabel>("hb0Decimal"),
                 binder.bind<QLabel>("ramAddressValue"),
                 binder.bind<QLabel>("ramContentValue"),
                 binder.bind<QLabel>("prevRamAddressValue"),
                 binder.bind<QLabel>("prevRamContentValue")},
      report_(app.popups(), app.busyWindow()),
      pauses_(app.clock(), app.busyWindow()), link_{app.programmerSession(), report_, pauses_} {}

DebuggerPage::~DebuggerPage() {
    if (!debugger_) return;
    if (debugger_->state.debugModeActive) programmer::endDebugSession(*debugger_);
    if (app_.debugModeControl() == debugger_.get()) {
        app_.setDebugModeControl(nullptr);
        app_.setDebugSessionEnd(nullptr);
    }
}

void DebuggerPage::setUp() {
    installLayout(*page_, [this] { layout(); });
    listings_ = std::make_unique<ListingTabs>(*listingTabs_, *listingEditor0_);
    listings_->onToggle = [this](int tab, int line) { toggleBreakpoint(tab, line); };
    screen_ = std::make_unique<DebuggerScreen>(DebuggerControls{listings_.get(), listingName_,
                                                                dbgHexView_, debugLamp_,
                                                                runningText_, registers_},
                                               report_);
    screen_->onRamWindowDiscarded = [this] { app_.shell().ramPanel = nullptr; };
    screen_->onProgramLoading = [this] { showHexFile(); };
    debugger_ = std::make_unique<programmer::Debugger>(link_, *screen_);
    app_.setDebugModeControl(debugger_.get());
    app_.setDebugSessionEnd([this] { endDebugSession(); });
    report_.onProgress(
        [this](std::size_t done, std::size_t total) { showRunProgress(done, total); });
    connect(listingTabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        // cbTabDebEvent: the listing name follows the active tab.
        const auto& files = debugger_->state.listingFiles;
        if (tab >= 0 && tab < static_cast<int>(files.size()))
            showPath(*listingName_, shownPath(files[static_cast<std::size_t>(tab)].path));
    });
    connect(&app_.settings(), &SettingsStore::changed, this, &DebuggerPage::settingsChanged);
    defineCommands();
}

void DebuggerPage::defineCommands() {
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

    // The menu forms bring the page to the front (loading the program) first; without a hex
    // file the page shows its hint and nothing runs.
    auto menuForm = [this](void (DebuggerPage::*command)(), QPushButton* focus) {
        return [this, command, focus](CommandOrigin origin) {
            if (origin == CommandOrigin::menu) {
                if (app_.busyWindow().busy()) return;
                refreshDebuggerPage();
                if (app_.build().hexFilePath.isEmpty()) return;
                focus->setFocus();
            }
            (this->*command)();
        };
    };
    commands.define("mDebuggerSingleStep", this,
                    menuForm(&DebuggerPage::cbSingleStep, singleStepButton_));
    commands.define("mDebuggerRunToBP", this,
                    menuForm(&DebuggerPage::cbRunToBreakpoint, runToBreakpointButton_));
    commands.define("mDebuggerRunToCursor", this,
                    menuForm(&DebuggerPage::cbRunToCursor, runToCursorButton_));
    commands.define("mDebuggerExitDbgMode", this,
                    menuForm(&DebuggerPage::cbExitDbgMode, exitDebugModeButton_));
    commands.define("cbNewDbgCycle", this, [this] { cbNewDbgCycle(); });
    commands.define("cbResetBtn", this, [this] { cbResetBtn(); });
    commands.define("cbShowRamContent", this, [this] { cbShowRAMContent(); });
    commands.define("clearAllBP", this, [this] { clearAllBP(); });
}

void DebuggerPage::initControls() {
    for (QPushButton* run : {runToBreakpointButton_, runToCursorButton_, singleStepButton_})
        colourButton(*run, run_green);
    for (QPushButton* other : {newDebugCycleButton_, exitDebugModeButton_})
        colourButton(*other, command_grey);
    setLampColours(*debugLamp_, lamp_on, lamp_off);
    for (Lamp* flag : registers_.flags)
        setLampColours(*flag, run_green, lamp_off);
    listings_->configure(app_.settings().values(), app_.editorLanguages(), QPixmap());
    makeHexView(*dbgHexView_, app_.editorLanguages());
    runningText_->hide();
    runProgress_->hide();
    runProgress_->setFormat("%v s / %m s");
    clearBreakpoints_->setIcon(QIcon(app_.paths().dataFile("icons/stop.ico")));
    screen_->rememberDesignedTexts();
}

void DebuggerPage::settingsChanged(const SettingsChange& change) {
    if (change.touches(&Settings::lineNumbering) || change.touches(&Settings::lineNumberingGray) ||
        change.touches(&Settings::syntaxHighlighting))
        listings_->configure(app_.settings().values(), app_.editorLanguages(), breakpointMark());
}

QPixmap DebuggerPage::breakpointMark() const {
    const QList<QPixmap>& images = app_.shell().breakpointImages;
    return images.size() > 1 ? images[1] : QPixmap();
}

QList<QWidget*> DebuggerPage::debugControls() const {
    QList<QWidget*> controls;
    for (QWidget* child : page_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != debuggerHint_ && child != runningText_ && child != runProgress_)
            controls << child;
    return controls;
}

void DebuggerPage::takeShellState() {
    const Settings& s = app_.settings().values();
    programmer::DebugSettings& d = debugger_->settings;
    d.enlargeDebugTimeout = s.enlargeDebugTimeout == 1;
    d.suppressDebugBpMessages = s.suppressDebugBpMessages == 1;
    d.suppressEofPopup = s.suppressEofPopup == 1;
    d.suppressDebugInfoRefreshing = s.suppressDebugInfoRefreshing == 1;
    d.suppressProperFileDetection = s.suppressProperFileDetection == 1;
    link_.chipInterface = {s.useIic == 1, static_cast<std::uint16_t>(s.iicAddress)};
    const std::string hex = filePath(app_.build().hexFilePath);
    const std::string dbg = filePath(app_.build().dbgFilePath);
    if (hex == debugger_->hexFilePath && dbg == debugger_->dbgFilePath) return;
    // Another program: the old one's session ends and the new one loads.
    programmer::endDebugSession(*debugger_);
    debugger_->hexFilePath = hex;
    debugger_->dbgFilePath = dbg;
}

void DebuggerPage::refreshDebuggerPage() {
    app_.shell().activePage = debuggerPageIndex;
    pages_.showPage(debuggerPageIndex);
    if (RamWindow* ram = screen_->ramWindow()) {
        ram->panel().show();
        ram->panel().raise();
        page_->window()->activateWindow();
    }
    if (app_.busyWindow().busy()) return;
    takeShellState();
    if (debugger_->state.debugPageReady) return;
    // The listings, the hex view and the run controls need the debug file of a build.
    const bool program = programmer::debugFileExists(*debugger_);
    for (QWidget* control : debugControls())
        control->setVisible(program);
    debuggerHint_->setVisible(!program);
    screen_->setViewsShown(program);
    // The Chinese hint is shorter: it stands a third of the window's width from the left.
    if (!program && app_.settings()->language == 1)
        debuggerHint_->move(page_->window()->width() / 3, debuggerHint_->y());
    if (program) programmer::loadDebugProgram(*debugger_);
}

void DebuggerPage::showHexFile() {
    listings_->configure(app_.settings().values(), app_.editorLanguages(), breakpointMark());
    const QString hex = shownPath(debugger_->hexFilePath);
    const FileBytes file = readFileBytes(hex, max_source_file_bytes);
    dbgHexView_->setReadOnly(false);
    // An unreadable hex file leaves the view empty; loading the program tells why.
    showSourceText(*dbgHexView_, file.status == files::ReadStatus::ok ? file.bytes : QByteArray());
    dbgHexView_->setReadOnly(true);
    screen_->hexTextReplaced();
    showPath(*dbgHexFileName_, hex);
}

void DebuggerPage::endDebugSession() {
    if (!app_.busyWindow().busy()) programmer::endDebugSession(*debugger_);
}

template <typename Command>
void DebuggerPage::runCommand(QPushButton* button, Command&& command) {
    BusyWindow& busy = app_.busyWindow();
    if (busy.busy()) return;
    struct Running {
        BusyScope busy;
        QPushButton* button;
        QProgressBar* progress;
        Running(BusyWindow& windows, QPushButton* b, QProgressBar* p)
            : busy(windows), button(b), progress(p) {
            if (button) {
                colourButton(*button, running_red);
                button->repaint();
            }
        }
        ~Running() {
            if (button) colourButton(*button, run_green);
            progress->hide();
        }
    } running(busy, button, runProgress_);
    takeShellState();
    command();
}

void DebuggerPage::showRunProgress(std::size_t done, std::size_t total) {
    if (done < progress_after_ms || total == 0) return;
    runProgress_->setRange(0, static_cast<int>(total / ms_per_second));
    runProgress_->setValue(static_cast<int>(done / ms_per_second));
    runProgress_->show();
}

void DebuggerPage::cbSingleStep() {
    runCommand(singleStepButton_, [this] { programmer::singleStep(*debugger_); });
}

void DebuggerPage::cbRunToBreakpoint() {
    runCommand(runToBreakpointButton_, [this] { programmer::runToBreakpoint(*debugger_); });
}

void DebuggerPage::cbRunToCursor() {
    runCommand(runToCursorButton_, [this] {
        programmer::runToCursor(*debugger_, listings_->activeTab(), listings_->cursorLine() + 1);
    });
}

void DebuggerPage::cbNewDbgCycle() {
    runCommand(nullptr, [this] { programmer::newDebugCycle(*debugger_); });
}

void DebuggerPage::cbExitDbgMode() {
    runCommand(nullptr, [this] { programmer::exitDebugMode(*debugger_); });
}

void DebuggerPage::cbResetBtn() {
    runCommand(nullptr, [this] { programmer::resetChip(*debugger_); });
}

void DebuggerPage::clearAllBP() {
    runCommand(nullptr, [this] { programmer::clearAllBP(*debugger_); });
}

void DebuggerPage::toggleBreakpoint(int tab, int line) {
    runCommand(nullptr, [&] { programmer::toggleBreakpointAtLine(*debugger_, tab, line + 1); });
}

void DebuggerPage::cbShowRAMContent() {
    bool opened = false;
    runCommand(nullptr, [this, &opened] {
        if (!programmer::ramWindowMayOpen(*debugger_)) return;
        if (RamWindow* open = screen_->ramWindow()) {
            open->panel().show();
            open->panel().raise();
            return;
        }
        PanelResult failure;
        RamWindow* window = RamWindow::load(app_.paths(), *page_->window(), failure);
        if (window == nullptr) {
            app_.popups().showErrorPopup(QString::fromUtf8(programmer::debug_message::ram_panel),
                                         programmer::debug_message::ram_panel_code,
                                         failure.status ? failure.status : -1, failure.error);
            return;
        }
        if (app_.settings()->language == 1 &&
            !localizePanel(window->panel(), app_.paths().dataFile("chinese/RAM.lwl")))
            app_.popups().showWarningPopup(
                QString::fromUtf8(programmer::debug_message::ram_localization),
                programmer::debug_message::ram_localization_code);
        window->onRefresh = [this] { cbRefreshRAMContent(); };
        window->onClose = [this] { cbCloseRAMContentPanel(); };
        app_.shell().ramPanel = &window->panel();
        screen_->openRamWindow(window);
        // Shown first: its frame is known then, and the place keeps the whole window on screen.
        window->panel().show();
        window->place(*page_->window(), app_.settings()->resolution);
        window->colourCells();
        programmer::ramWindowOpened(*debugger_);
        lastMainWindowPosition_ = page_->window()->pos();
        opened = true;
    });
    if (!opened) return;
    showRamContentButton_->setFocus();
    refreshDebuggerPage();
}

void DebuggerPage::cbRefreshRAMContent() {
    RamWindow* window = screen_->ramWindow();
    if (window == nullptr) return;
    runCommand(nullptr, [this, window] {
        window->showRefreshRunning(true);
        programmer::refreshRamContent(*debugger_);
        window->showRefreshRunning(false);
    });
}

void DebuggerPage::cbCloseRAMContentPanel() {
    if (app_.busyWindow().busy() || screen_->ramWindow() == nullptr) return;
    page_->window()->activateWindow();
    screen_->closeRamWindow();
    programmer::ramWindowClosed(*debugger_);
}

void DebuggerPage::mainWindowResized() {
    if (RamWindow* window = screen_->ramWindow()) {
        window->place(*page_->window(), app_.settings()->resolution);
        lastMainWindowPosition_ = page_->window()->pos();
    }
}

void DebuggerPage::mainWindowMoved() {
    const QPoint position = page_->window()->pos();
    if (RamWindow* window = screen_->ramWindow())
        window->panel().move(window->panel().pos() + position - lastMainWindowPosition_);
    lastMainWindowPosition_ = position;
}

void DebuggerPage::layout() {
    const int w = page_->width(), h = page_->height();
    applyAnchors(*page_);
    setRect(listingTabs_, 0, 0, w, h - 320);
    dbgHexView_->resize(w - 30, dbgHexView_->height());
}

} // namespace ide
