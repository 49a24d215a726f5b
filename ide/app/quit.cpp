#include "app/quit.h"

#include "app/application.h"
#include "download/download_commands.h"
#include "editor/editor_tabs.h"
#include "pages/assembler_page.h"
#include "pages/download_page.h"
#include "project/projects.h"
#include "shell/main_window.h"

#include <QDir>
#include <QFile>

namespace ide {
namespace {

// Clears the user's leftover temporary files after "Clear ALL settings".
constexpr const char* cleaner_program = "asmwick_01";

} // namespace

void tellSettingsNotSaved(Application& app) {
    app.popups().showErrorPopup(
        QString("Settings cannot be saved.\nFile %1 cannot be written!").arg(app.settings().path()),
        settings_not_saved_code);
}

bool saveSettingsOrTell(Application& app) {
    if (app.settings().saveSettings()) return true;
    tellSettingsNotSaved(app);
    return false;
}

bool Quit(Application& app) {
    MainWindow* window = app.mainWindow();
    if (window && !window->editorTabs().confirmDiscardAll()) return false;
    // Only the main window has a project to save; a failed save is told and the quit goes on.
    if (app.popups().askYesNo("Save Project", "Do you want to save project file?") && window)
        window->assemblerPage().projects().saveProjectFile();
    saveSettingsOrTell(app);
    const bool clearing = app.settings()->clearAll == 1;
    const QString existing = app.settings().existsPath();
    if (clearing && QFile::exists(existing) && !QFile::remove(existing))
        app.popups().showWarningPopup("Settings cannot be cleared.\nFile deletion failed!", 171);
    app.endDebugSession();
    if (window) window->downloadPage().commands().closeProgrammerSession();
    app.editorLanguages() = EditorLanguages{};
    app.helpWindows().closeAll();
    if (clearing && QFile::exists(cleaner_program))
        app.launcher().launchDetached(QDir::current().absoluteFilePath(cleaner_program), {});
    app.quitUserInterface();
    return true;
}

} // namespace ide
