#include "app/quit.h"

#include "app/application.h"
#include "editor/editor_tabs.h"
#include "shell/main_window.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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
    // Saving the project belongs to the project files; until they exist there is nothing to save.
    app.popups().askYesNo("Save Project", "Do you want to save project file?");
    saveSettingsOrTell(app);
    const bool clearing = app.settings()->clearAll == 1;
    const QString existing = app.settings().existsPath();
    if (clearing && QFile::exists(existing) && !QFile::remove(existing))
        app.popups().showWarningPopup("Settings cannot be cleared.\nFile deletion failed!", 171);
    app.endDebugSession();
    // Closing the programmer session and the help windows join here when the programmer link
    // and the help exist.
    app.editorLanguages() = EditorLanguages{};
    if (clearing && QFile::exists(cleaner_program))
        QProcess::startDetached(QDir::current().absoluteFilePath(cleaner_program), {},
                                QDir::currentPath());
    app.quitUserInterface();
    return true;
}

} // namespace ide
