#include "main_window.h"

#include "editor_setup.h"
#include "editor_tab_widget.h"
#include "editor_tabs.h"
#include "lamp.h"
#include "page_layout.h"
#include "panel_loader.h"
#include "quit.h"
#include "settings.h"
#include "shell_state.h"

#include <QAction>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>
#include <vector>

namespace ide {
namespace {

const QColor run_green(0x8D, 0xE9, 0x92);
const QColor command_grey(0xE0, 0xE0, 0xE0);
const QColor lamp_off(0xC0, 0xC0, 0xC0);
const QColor lamp_on(0xFF, 0xB0, 0x62);

QMainWindow* window() {
    return shell().mainPanel;
}

template <typename T = QWidget>
T* mainControl(const char* name) {
    return control<T>(window(), name);
}

QTabWidget* mainTabs() {
    return mainControl<QTabWidget>("mainTabs");
}

void colourButton(const char* name, const QColor& colour, QSize size = {}) {
    auto* button = mainControl<QPushButton>(name);
    if (button == nullptr) return;
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
    if (size.isValid()) button->resize(size);
}

// One font for a row of buttons, shrunk until every text fits the designed width.
void fitTexts(const std::vector<QPushButton*>& buttons) {
    if (buttons.empty()) return;
    QFont font = buttons.front()->font();
    qreal size = QFontInfo(font).pointSizeF();
    auto tooWide = [&] {
        for (QPushButton* b : buttons)
            if (QFontMetrics(font).horizontalAdvance(b->text()) > b->width() - 12) return true;
        return false;
    };
    while (tooWide() && size > 6)
        font.setPointSizeF(size -= 0.5);
    for (QPushButton* b : buttons)
        b->setFont(font);
}

void setLampColours(const char* name, const QColor& on, const QColor& off) {
    if (auto* lamp = mainControl<Lamp>(name)) {
        lamp->setOnColor(on);
        lamp->setOffColor(off);
    }
}

void setChecked(const char* action, bool checked) {
    if (auto* a = mainControl<QAction>(action)) a->setChecked(checked);
}

void setupDebuggerPage() {
    for (const char* name : {"runToBreakpointButton", "runToCursorButton", "singleStepButton"})
        colourButton(name, run_green);
    for (const char* name : {"newDebugCycleButton", "exitDebugModeButton"})
        colourButton(name, command_grey);
    setLampColours("debugLamp", lamp_on, lamp_off);
    for (const char* name : {"signumLamp", "notEqualLamp", "overflowLamp", "carryLamp"})
        setLampColours(name, run_green, lamp_off);
    if (auto* listing = mainControl<QsciScintilla>("listingEditor0")) {
        configureEditor(*listing);
        listing->setReadOnly(true);
        fillPage(*listing);
    }
    if (auto* hex = mainControl<QsciScintilla>("dbgHexView")) makeHexView(*hex);
    if (auto* running = mainControl("runningText")) running->hide();
    if (auto* clear = mainControl<QToolButton>("clearBreakpoints"))
        clear->setIcon(QIcon(dataFile("icons/stop.ico")));
}

void setupDownloadPage() {
    std::vector<QPushButton*> commands;
    for (const char* name : {"getDevInfoButton", "downloadButton", "readVerifyButton",
                             "selectHexButton", "resetInterfaceButton"}) {
        colourButton(name, command_grey, {110, 24});
        if (auto* button = mainControl<QPushButton>(name)) commands.push_back(button);
    }
    fitTexts(commands);
    setLampColours("statusLamp", lamp_on, lamp_off);
    if (auto* hex = mainControl<QsciScintilla>("hexView")) makeHexView(*hex);
    if (auto* table = mainControl<QTableWidget>("userEepromTable")) {
        QStringList rows;
        for (int r = 0; r < 16; ++r)
            rows << QString("%1").arg(r * 8, 2, 16, QChar('0')).toUpper();
        table->setVerticalHeaderLabels(rows);
        table->horizontalHeader()->setDefaultSectionSize(22);
        table->verticalHeader()->setDefaultSectionSize(18);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

// Right press on Exit ends at once; a left press only focuses the button.
class ExitButtonEvents : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress) return false;
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            quitUserInterface();
            return true;
        }
        static_cast<QWidget*>(watched)->setFocus();
        return false;
    }
};

class PanelEvents : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Resize:
            panelSizeEvent();
            break;
        case QEvent::Move:
            panelMoveEvent();
            break;
        case QEvent::Close:
            // Closing the window by its title bar runs the quit sequence like Exit does.
            if (!quitRequested() && !Quit()) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }
};

// "Opcode-Help (F2)": a link-like text that opens the opcode help on a left press.
class OpcodeHelpEvents : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            runCommand("cbOpcodeHelp");
        return false;
    }
};

// Menu items call the command of their name; items whose command is not there are dimmed.
void connectMenuItems(QMainWindow& w) {
    for (QAction* action : w.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if (!name.startsWith('m') || action->menu()) continue;
        if (!hasCommand(name)) action->setEnabled(false);
        QObject::connect(action, &QAction::triggered, action, [name] { runCommand(name); });
    }
}

} // namespace

void connectMainWindow(QMainWindow& w) {
    w.installEventFilter(new PanelEvents(&w));
    installPageLayouts(w);
    if (auto* tabs = control<QTabWidget>(&w, "mainTabs"))
        QObject::connect(tabs, &QTabWidget::currentChanged, tabs, checkActiveTab);
    if (auto* exit = control<QPushButton>(&w, "exitButton")) {
        exit->installEventFilter(new ExitButtonEvents(exit));
        QObject::connect(exit, &QPushButton::clicked, exit, [] { Quit(); });
    }
    if (auto* compile = control<QPushButton>(&w, "compileButton")) {
        compile->setEnabled(hasCommand("cbCompile"));
        QObject::connect(compile, &QPushButton::clicked, compile, [] { runCommand("cbCompile"); });
    }
    if (auto* help = control<QWidget>(&w, "opcodeHelpText")) {
        help->setCursor(Qt::PointingHandCursor);
        QPalette palette = help->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::Link));
        help->setPalette(palette);
        help->installEventFilter(new OpcodeHelpEvents(help));
        help->setEnabled(hasCommand("cbOpcodeHelp"));
    }
    connectMenuItems(w);
    auto* watchdog = new QTimer(&w);
    watchdog->setObjectName("executableWatchdog");
    watchdog->setInterval(w.property("watchdogInterval").toInt());
    QObject::connect(watchdog, &QTimer::timeout, watchdog, [] {
        if (hooks().watchdogTimer) hooks().watchdogTimer();
    });
    watchdog->start();
    shell().watchdog = watchdog;
}

void initMainControls() {
    clearEditorTabPaths();
    createEditorLanguages(); // before the pages: their hex views take the hex language
    colourButton("compileButton", run_green, {60, 28});
    if (auto* editor0 = mainControl<QsciScintilla>("editor0")) {
        fillPage(*editor0);
        configureEditor(*editor0);
    }
    setupDebuggerPage();
    setupDownloadPage();
    const bool chinese = settings().language == 1;
    setChecked("mToolsLanguagesEnglish", !chinese);
    setChecked("mToolsLanguagesChinese", chinese);
    applyEditorSettings(0);
}

void setTooltips() {
    const bool show = settings().showTooltips == 1;
    const std::pair<const char*, const char*> tips[] = {
        {"compileButton", "Compile program"},
        {"getDevInfoButton", "Get programmer information"},
        {"resetInterfaceButton", "Reset USB interface and message output box"},
        {"statusLamp", "Indicator shows status of last performed action"},
    };
    for (const auto& [name, tip] : tips)
        if (auto* w = mainControl(name)) w->setToolTip(show ? QString(tip) : QString());
}

void createBreakpointImages() {
    QPixmap stop(dataFile("icons/stop.ico"));
    if (!stop.isNull()) stop = stop.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shell().breakpointImages = {stop, stop};
}

int frontPage() {
    QTabWidget* tabs = mainTabs();
    return tabs ? tabs->currentIndex() : shell().activePage;
}

void showPage(int index) {
    if (QTabWidget* tabs = mainTabs()) {
        QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(index);
    }
}

QWidget* mainPage(int index) {
    QTabWidget* tabs = mainTabs();
    return tabs ? tabs->widget(index) : nullptr;
}

void showAssemblerPage() {
    shell().activePage = assemblerPageIndex;
    showPage(assemblerPageIndex);
}

void updateWindowTitle() {
    if (window())
        window()->setWindowTitle(
            QString("KZ71 Assembler - %1").arg(QString::fromStdString(settings().lastProject)));
}

void checkActiveTab(int index) {
    shell().activePage = index;
    if (index == debuggerPageIndex && hooks().refreshDebuggerPage) hooks().refreshDebuggerPage();
    if (index == downloadPageIndex && hooks().prepareDownloadPage) hooks().prepareDownloadPage();
    if (index != debuggerPageIndex && shell().ramPanel) shell().ramPanel->hide();
}

void mViewAssembler() {
    showAssemblerPage();
}

void mViewDebugger() {
    shell().activePage = debuggerPageIndex;
    showPage(debuggerPageIndex);
    if (hooks().refreshDebuggerPage) hooks().refreshDebuggerPage();
}

void mViewDownload() {
    shell().activePage = downloadPageIndex;
    showPage(downloadPageIndex);
    if (hooks().prepareDownloadPage) hooks().prepareDownloadPage();
}

void panelSizeEvent() {
    QMainWindow* w = window();
    if (w == nullptr) return;
    settings().windowStatus = w->isMaximized() ? 1 : 0;
    if (shell().ramPanel && hooks().reopenRamWindow) hooks().reopenRamWindow();
    // A maximized window takes the size the desktop gives it, even on an 800 x 600 screen.
    if (w->isMaximized() || w->isFullScreen()) return;
    if (w->height() < min_panel_height)
        w->resize(w->width(), min_panel_height);
    else if (w->width() < min_panel_width)
        w->resize(min_panel_width, w->height());
}

void panelMoveEvent() {
    QMainWindow* w = window();
    if (w == nullptr) return;
    shell().zoomState = w->isMaximized() ? 2 : 0;
    shell().activeFlag = w->isActiveWindow() ? 1 : 0;
    const Settings& s = settings();
    if (s.windowStatus == 1 && s.allowMaximization == 1 &&
        (shell().zoomState == 2 || shell().activeFlag == 0) && !w->isMaximized())
        w->showMaximized();
}

} // namespace ide
