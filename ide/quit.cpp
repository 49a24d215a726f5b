#include "quit.h"

#include "editor_setup.h"
#include "editor_tabs.h"
#include "popups.h"
#include "settings.h"
#include "shell_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace ide {
namespace {

bool requested = false;

// Clears the user's leftover temporary files after "Clear ALL settings".
constexpr const char* cleaner_program = "asmwick_01";

void call(const std::function<void()>& hook) {
    if (hook) hook();
}

} // namespace

bool Quit() {
    if (!confirmDiscardAll()) return false;
    if (askYesNo("Save Project", "Do you want to save project file?"))
        call(hooks().saveProjectFile);
    saveSettings(settingsPath().toStdString());
    const bool clearing = settings().clearAll == 1;
    if (clearing && QFile::exists(settings_file_name) && !QFile::remove(settings_file_name))
        showWarningPopup("Settings cannot be cleared.\nFile deletion failed!", 171);
    call(hooks().endDebugSession);
    call(hooks().closeProgrammer);
    releaseEditorLanguages();
    call(hooks().closeHelpWindows);
    if (clearing && QFile::exists(cleaner_program))
        QProcess::startDetached(QDir::current().absoluteFilePath(cleaner_program), {},
                                QDir::currentPath());
    quitUserInterface();
    return true;
}

void quitUserInterface() {
    requested = true;
    QCoreApplication::exit(0);
}

bool quitRequested() {
    return requested;
}

void resetQuitRequest() {
    requested = false;
}

} // namespace ide
