#include "shell/main_window.h"

#include "app/application.h"
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "help/help_commands.h"
#include "pages/assembler_page.h"
#include "pages/debugger_page.h"
#include "pages/download_page.h"
#include "settings/settings_dialog.h"
#include "shell/localization.h"
#include "shell/menu_keys.h"
#include "shell/page_layout.h"
#include "shell/panel_loader.h"
#include "shell/toolbar.h"
#include "shell/window_fit.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <Qsci/qsciscintilla.h>

namespace ide {

namespace {

constexpr int exit_button_margin = 10;
constexpr int frame_poll_interval = 50; // ms
constexpr int frame_polls = 60;

// Right press on Exit ends at once; a left press only focuses the button.
class ExitButtonEvents : public QObject {
public:
    ExitButtonEvents(Application& app, QObject* parent) : QObject(parent), app_(app) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress) return false;
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            app_.quitUserInterface();
            return true;
        }
        static_cast<QWidget*>(watched)->setFocus();
        return false;
    }

private:
    Application& app_;
};

} // namespace

class PanelEvents : public QObject {
public:
    PanelEvents(MainWindow& main, Application& app)
        : QObject(&main.window()), main_(main), app_(app) {}
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Resize:
            main_.panelSizeEvent();
            break;
        case QEvent::Move:
            main_.panelMoveEvent();
            break;
        case QEvent::Close:
            // Closing the window by its title bar runs the quit sequence like Exit does.
            if (!app_.quitRequested() && !Quit(app_)) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    MainWindow& main_;
    Application& app_;
};

MainWindow::MainWindow(Application& app, QMainWindow* window) : app_(app), window_(window) {}

MainWindow::~MainWindow() {
    assembler_.reset();
    debugger_.reset();
    download_.reset();
    delete window_;
}

std::unique_ptr<MainWindow> MainWindow::load(Application& app, PanelResult& failure) {
    PanelResult loaded = loadPanel(app.paths(), "big");
    auto* window = qobject_cast<QMainWindow*>(loaded.panel);
    if (window == nullptr) {
        delete loaded.panel;
        failure = loaded.panel ? PanelResult{nullptr, panel_file_bad, "big.ui holds no main window"}
                               : loaded;
        return nullptr;
    }
    std::unique_ptr<MainWindow> main(new MainWindow(app, window));
    WidgetBinder binder(*window, "big");
    main->panel_ = binder.bind<QWidget>("panel");
    main->mainTabs_ = binder.bind<QTabWidget>("mainTabs");
    main->exitButton_ = binder.bind<QPushButton>("exitButton");
    main->betaText_ = binder.bind<QLabel>("betaText");
    main->assembler_ = std::make_unique<AssemblerPage>(app, *main, binder);
    main->debugger_ = std::make_unique<DebuggerPage>(app, *main, binder);
    main->download_ = std::make_unique<DownloadPage>(app, *main, binder);
    QList<QAction*> items;
    for (const QString& name : CommandTable::menuCommands())
        items << binder.bind<QAction>(name.toLatin1().constData());
    if (!binder.complete()) {
        failure = binder.failure();
        return nullptr;
    }
    for (qsizetype i = 0; i < items.size(); ++i)
        app.commands().attach(CommandTable::menuCommands()[i], items[i]);
    main->setUp();
    return main;
}

EditorTabs& MainWindow::editorTabs() {
    return assembler_->editorTabs();
}

void MainWindow::setUp() {
    ShellState& shell = app_.shell();
    shell.mainPanel = window_;
    shell.assemblerPage = &assembler_->page();
    window_->installEventFilter(new PanelEvents(*this, app_));
    installLayout(*panel_, [this] {
        const int w = panel_->width(), h = panel_->height();
        mainTabs_->setGeometry(mainTabs_->x(), mainTabs_->y(), w - mainTabs_->x(),
                               h - mainTabs_->y());
        exitButton_->move(w - exitButton_->width() - exit_button_margin,
                          h - exitButton_->height() - exit_button_margin);
        betaText_->move(exitButton_->x() - betaText_->width() - 8,
                        exitButton_->y() + (exitButton_->height() - betaText_->height()) / 2);
        exitButton_->raise();
    });
    connect(mainTabs_, &QTabWidget::currentChanged, this, &MainWindow::checkActiveTab);
    exitButton_->installEventFilter(new ExitButtonEvents(app_, exitButton_));
    assembler_->setUp();
    debugger_->setUp();
    download_->setUp();
    debugger_->report().forwardDownloadPageTo(&download_->shownReport());
    defineCommands();
    app_.commands().attachButton("mFileExit", exitButton_);
    bindPageKeys(app_, *mainPage(debuggerPageIndex));
    auto* watchdog = new QTimer(window_);
    watchdog->setObjectName("executableWatchdog");
    watchdog->setInterval(window_->property("watchdogInterval").toInt());
    download_->startWatchdog(*watchdog);
    shell.watchdog = watchdog;
    app_.busyWindow().holdWhileBusy(watchdog);
    connect(&app_.settings(), &SettingsStore::changed, this, &MainWindow::settingsChanged);
}

void MainWindow::defineCommands() {
    CommandTable& commands = app_.commands();
    commands.define("mViewAssembler", this, [this] { mViewAssembler(); });
    commands.define("mViewDebugger", this, [this] { mViewDebugger(); });
    commands.define("mViewDownload", this, [this] { mViewDownload(); });
    commands.define("mFilePrint", this, [this] { mFilePrint(); });
    commands.define("mFileExit", this, [this] { Quit(app_); });
    commands.define("mToolsSettings", this, [this] { SettingsDialog::mToolsSettings(app_); });
    defineHelpCommands(app_, *this);
    // The Resolution items carry no callback: choosing them does nothing, and their check
    // marks tell the resolution the window was set up for.
    const SettingsStore& settings = app_.settings();
    for (const char* item : {"toolsResolution800", "toolsResolution1024"})
        commands.define(item, this, [] {});
    commands.setCheckedWhen("toolsResolution800",
                            [&settings] { return settings->resolution != 1024; });
    commands.setCheckedWhen("toolsResolution1024",
                            [&settings] { return settings->resolution == 1024; });
    commands.setCheckedWhen("mToolsLanguagesEnglish",
                            [&settings] { return settings->language == 0; });
    commands.setCheckedWhen("mToolsLanguagesChinese",
                            [&settings] { return settings->language == 1; });
}

void MainWindow::settingsChanged(const SettingsChange& change) {
    if (change.touches(&Settings::showTooltips)) setTooltips();
    if (change.touches(&Settings::allowMaximization)) applyMaximization();
    if (change.touches(&Settings::language) || change.touches(&Settings::resolution))
        app_.commands().refreshChecks();
}

void MainWindow::applyMaximization() {
    SettingsStore& settings = app_.settings();
    const bool allowed = settings->allowMaximization == 1;
    if (window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) != allowed) {
        const bool visible = window_->isVisible();
        window_->setWindowFlag(Qt::WindowMaximizeButtonHint, allowed);
        if (visible && !window_->isVisible()) window_->show(); // new window flags hide a window
    }
    if (!allowed && settings->windowStatus == 1) {
        settings.set(&Settings::windowStatus, 0);
        if (window_->isMaximized()) window_->showNormal();
        saveSettingsOrTell(app_); // the file tells the window's state
    }
}

void MainWindow::initMainControls() {
    editorTabs().clearEditorTabPaths();
    // Before the pages: their hex views take the hex language.
    app_.editorLanguages() = createEditorLanguages(app_.paths());
    assembler_->initControls();
    debugger_->initControls();
    download_->initControls();
    app_.commands().refreshChecks();
    editorTabs().applyEditorSettings(0);
}

void MainWindow::setTooltips() {
    const bool show = app_.settings()->showTooltips == 1;
    assembler_->setTooltips(show);
    download_->setTooltips(show);
    if (show && app_.settings()->language == 1)
        localizeToolTips(*window_, app_.paths().dataFile("chinese/big.lwl"));
}

void MainWindow::createBreakpointImages() {
    QPixmap stop(app_.paths().dataFile("icons/stop.ico"));
    if (!stop.isNull()) stop = stop.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    app_.shell().breakpointImages = {stop, stop};
}

void MainWindow::display() {
    if (app_.settings()->allowMaximization == 0)
        window_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    fitIntoScreen();
    window_->show();
    fitIntoScreen();
    // A window manager adds its frame some time after the window is shown: fit again once
    // the frame is known (looked for during the first seconds only).
    auto* framed = new QTimer(window_);
    framed->setInterval(frame_poll_interval);
    connect(framed, &QTimer::timeout, framed, [this, framed, polls = 0]() mutable {
        const bool known = !frameMargins().isNull();
        if (known) fitIntoScreen();
        if (known || ++polls >= frame_polls) framed->deleteLater();
    });
    framed->start();
}

QMargins MainWindow::frameMargins() const {
    return frameMarginsOf(*window_, QMargins());
}

void MainWindow::fitIntoScreen() {
    QScreen* screen = window_->screen();
    if (screen == nullptr || window_->isMaximized() || window_->isFullScreen()) return;
    const QRect fitted =
        fitFrameInto(window_->geometry(), frameMargins(), screen->availableGeometry());
    if (fitted != window_->geometry()) window_->setGeometry(fitted);
}

int MainWindow::frontPage() const {
    return mainTabs_->currentIndex();
}

void MainWindow::showPage(int index) {
    QSignalBlocker quiet(mainTabs_);
    mainTabs_->setCurrentIndex(index);
}

QWidget* MainWindow::mainPage(int index) const {
    return mainTabs_->widget(index);
}

Page& MainWindow::page(int index) {
    if (index == debuggerPageIndex) return *debugger_;
    if (index == downloadPageIndex) return *download_;
    return *assembler_;
}

void MainWindow::showAssemblerPage() {
    app_.shell().activePage = assemblerPageIndex;
    showPage(assemblerPageIndex);
}

void MainWindow::updateWindowTitle() {
    window_->setWindowTitle(
        QString("KZ71 Assembler - %1").arg(QString::fromStdString(app_.settings()->lastProject)));
}

void MainWindow::checkActiveTab(int index) {
    app_.shell().activePage = index;
    if (index == debuggerPageIndex || index == downloadPageIndex) page(index).pageShown();
    if (index != debuggerPageIndex && app_.shell().ramPanel) app_.shell().ramPanel->hide();
}

void MainWindow::mViewAssembler() {
    showAssemblerPage();
}

void MainWindow::mViewDebugger() {
    debugger_->refreshDebuggerPage();
}

void MainWindow::mViewDownload() {
    download_->prepareDownloadPage();
}

void MainWindow::mFilePrint() {
    if (QsciScintilla* document = page(frontPage()).documentToPrint())
        app_.dialogs().printEditor(*document);
}

void MainWindow::panelSizeEvent() {
    app_.settings().set(&Settings::windowStatus, window_->isMaximized() ? 1 : 0);
    debugger_->mainWindowResized();
    // A maximized window takes the size the desktop gives it, even on an 800 x 600 screen.
    if (window_->isMaximized() || window_->isFullScreen()) return;
    QSize smallest{min_panel_width, min_panel_height};
    if (QScreen* screen = window_->screen())
        smallest = smallestClientSize(smallest, frameMargins(), screen->availableGeometry());
    if (window_->height() < smallest.height())
        window_->resize(window_->width(), smallest.height());
    else if (window_->width() < smallest.width())
        window_->resize(smallest.width(), window_->height());
}

void MainWindow::panelMoveEvent() {
    debugger_->mainWindowMoved();
    ShellState& shell = app_.shell();
    shell.zoomState = window_->isMaximized() ? 2 : 0;
    shell.activeFlag = window_->isActiveWindow() ? 1 : 0;
    const Settings& s = app_.settings().values();
    if (s.windowStatus == 1 && s.allowMaximization == 1 &&
        (shell.zoomState == 2 || shell.activeFlag == 0) && !window_->isMaximized())
        window_->showMaximized();
}

} // namespace ide
