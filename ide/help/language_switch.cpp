#include "help/language_switch.h"

#include "app/application.h"
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "shell/localization.h"
#include "shell/main_window.h"
#include "shell/panel_loader.h"
#include "shell/toolbar.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace ide {
namespace {

// The files of the old window's tabs that the new window opens again.
struct OpenFiles {
    QStringList paths; // in tab order
    int marked = -1;   // the file with the main-file mark
    int active = -1;   // the file of the tab in front
};

OpenFiles openFilesOf(EditorTabs& tabs) {
    OpenFiles files;
    for (int tab = 0; tab < tabs.editorTabCount(); ++tab) {
        const EditorTab& row = tabs.editorTab(tab);
        if (!row.hasFile || !QFileInfo(row.path).isFile()) continue;
        if (tabs.hasMainFileMark(tab)) files.marked = static_cast<int>(files.paths.size());
        if (tab == tabs.activeEditorTab()) files.active = static_cast<int>(files.paths.size());
        files.paths << row.path;
    }
    return files;
}

void reopen(EditorTabs& tabs, const OpenFiles& files) {
    QList<int> tabOf; // per file, its new tab or -1
    for (const QString& path : files.paths) {
        const bool first = !tabOf.contains(0);
        tabOf << (first ? tabs.openFileInFirstTab(path) : tabs.openFileInNewTab(path));
    }
    if (!tabOf.contains(0)) {
        tabs.applyUntitledTemplate(); // nothing to open: as after a start without a project
        return;
    }
    if (files.marked >= 0 && tabOf[files.marked] >= 0)
        tabs.setMainFileMark(tabOf[files.marked], true);
    const int front = files.active >= 0 && tabOf[files.active] >= 0 ? tabOf[files.active] : 0;
    tabs.activateEditorTab(front);
    tabs.showCurrentFile(tabs.editorTab(front).path);
}

// The new window takes the old one's place, size and title.
void takePlaceOf(QMainWindow& next, const QMainWindow& old) {
    if (!old.isMaximized()) next.setGeometry(old.geometry());
    next.setWindowTitle(old.windowTitle());
}

// The old window disappears now and is discarded once the command that replaced it has
// returned to the event loop (its menu item may still be delivering the click).
void retire(std::unique_ptr<MainWindow> old, QObject& context) {
    if (!old) return;
    old->window().hide();
    auto held = std::make_shared<std::unique_ptr<MainWindow>>(std::move(old));
    QTimer::singleShot(0, &context, [held] { held->reset(); });
}

} // namespace

MainWindow* mResolution1024(Application& app) {
    MainWindow* old = app.mainWindow();
    const bool wasMaximized = old && old->window().isMaximized();
    // The old window's debugger goes with it; its session must not outlive the switch.
    app.endDebugSession();
    // When settings.ini cannot be written, reading it back would undo the switch.
    const bool saved = saveSettingsOrTell(app);
    PanelResult failure;
    std::unique_ptr<MainWindow> next = MainWindow::load(app, failure);
    if (!next) {
        app.popups().showErrorPopup("Loading new panel failed!\nPlease restart application",
                                    new_panel_failed_code, failure.status ? failure.status : -1,
                                    failure.error);
        Quit(app);
        return nullptr;
    }
    SettingsStore& settings = app.settings();
    settings.set(&Settings::resolution, 1024);
    if (settings->language == 1 &&
        !localizePanel(next->window(), app.paths().dataFile("chinese/big.lwl")))
        app.popups().showWarningPopup("Loading chinese coding failed!", chinese_failed_code);
    if (old) takePlaceOf(next->window(), old->window());
    next->display();
    next->initMainControls();
    createToolbar(next->window(), app);
    const int front = app.shell().activePage;
    next->showPage(front);
    // The Debugger and Download pages fill their views when they come up; the new window's
    // front page must show the program, as the old one did.
    if (front != assemblerPageIndex) next->page(front).pageShown();
    next->setTooltips();
    if (wasMaximized) next->window().showMaximized();
    if (saved) settings.loadSettings();
    MainWindow& shown = *next;
    retire(app.replaceMainWindow(std::move(next)), shown);
    return &shown;
}

void switchLanguage(Application& app, int language) {
    MainWindow* old = app.mainWindow();
    const int previous = app.settings()->language;
    if (old == nullptr || previous == language) return;
    if (!old->editorTabs().confirmDiscardAll()) return;
    const OpenFiles files = openFilesOf(old->editorTabs());
    app.settings().set(&Settings::language, language);
    if (MainWindow* next = mResolution1024(app))
        reopen(next->editorTabs(), files);
    else if (!app.quitRequested())
        app.settings().set(&Settings::language, previous); // the old window stays
}

} // namespace ide
