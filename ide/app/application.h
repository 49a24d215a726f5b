// The application object: it owns the process-wide records of the IDE and its services, and
// hands them to the windows, pages and dialogs. Nothing else in the IDE is process-wide, so a
// test makes one per case and throws it away afterwards.
//
// The debugger's records (DebugState, AddressAssignmentTable) belong to the Debugger page's
// programmer::Debugger, which serves as debugModeControl() here.
#pragma once

#include "app/options.h"
#include "app/paths.h"
#include "app/shell_state.h"
#include "build/launcher.h"
#include "editor/editor_setup.h"
#include "help/help_windows.h"
#include "programmer/download_image.h"
#include "programmer/programmer_link.h"
#include "protocol/clock.h"
#include "settings/settings_store.h"
#include "shell/busy_window.h"
#include "shell/commands.h"
#include "shell/popups.h"
#include "shell/user_dialogs.h"

#include <QEventLoop>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace ide {

class MainWindow;
class NotSupportedWindow;

// The project's main file and the output files of the last build (the hex path may also be
// chosen on the Download page).
struct BuildOutputs {
    QString mainFilePath;
    QString hexFilePath;
    QString eprFilePath;
    QString dbgFilePath;
    // Set on the build script's first time-out and never cleared: the one automatic restart
    // of a run of the IDE.
    bool launchRetried = false;
};

// What start-up learns about the machine: the primary screen and the locale's code page.
struct Platform {
    int screenWidth = 0;
    int screenHeight = 0;
    int codePage = 1252;
};

enum class StartResult { mainWindow, notSupported, failed };

class Application {
public:
    explicit Application(Paths paths, Options options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const Options& options() const { return options_; }
    Paths& paths() { return paths_; }
    ShellState& shell() { return shell_; }
    SettingsStore& settings() { return settings_; }
    CommandTable& commands() { return commands_; }
    Popups& popups() { return popups_; }
    BuildOutputs& build() { return build_; }
    EditorLanguages& editorLanguages() { return languages_; }
    // The one connection to the programmer (every download opens and closes it, the debugger
    // holds it open while debug mode is active), and the image of the last download.
    programmer::ProgrammerSession& programmerSession() { return programmerSession_; }
    programmer::DownloadImage& downloadImage() { return downloadImage_; }
    HelpWindows& helpWindows() { return help_; }
    // The windows while a long operation runs: no input, painting served, the watchdog held.
    BusyWindow& busyWindow() { return busy_; }

    UserDialogs& dialogs() { return dialogs_ ? *dialogs_ : *qtDialogs_; }
    // Replaces the Qt file and print dialogs (tests); nullptr restores them.
    void setDialogs(UserDialogs* dialogs) { dialogs_ = dialogs; }
    kz71::Clock& clock() { return clock_ ? *clock_ : *steadyClock_; }
    // Replaces the steady clock (tests); nullptr restores it.
    void setClock(kz71::Clock* clock) { clock_ = clock; }
    Launcher& launcher() { return launcher_ ? *launcher_ : *processLauncher_; }
    // Replaces the process launcher (tests); nullptr restores it.
    void setLauncher(Launcher* launcher) { launcher_ = launcher; }

    // endDebugSession: ends a running debug session. The build's final steps and the quit
    // sequence call it; the debugger installs what it does (until then no session can run).
    void endDebugSession() {
        if (debugSessionEnd_) debugSessionEnd_();
    }
    void setDebugSessionEnd(std::function<void()> end) { debugSessionEnd_ = std::move(end); }

    // The Debugger page's debugger, which every download ends first; null while there is no
    // Debugger page.
    programmer::DebugModeControl* debugModeControl() { return debugModeControl_; }
    void setDebugModeControl(programmer::DebugModeControl* control) { debugModeControl_ = control; }

    // Start-up up to the event loop (app/startup.cpp). `failed` means the program ends with -1.
    StartResult startUp(const Platform& platform);
    // The main window, or null (before start-up, on the not-supported path, after a failure).
    MainWindow* mainWindow() { return mainWindow_.get(); }
    // Puts `next` in the place of the main window (a language switch); returns the old one.
    std::unique_ptr<MainWindow> replaceMainWindow(std::unique_ptr<MainWindow> next);
    // Discards the windows made by startUp.
    void discardPanels();

    // Runs the event loop until quitUserInterface; returns at once if that was called before.
    void exec();
    // Ends the event loop once the callback that asks for it has returned; a popup it shows
    // on the way is still shown and waited for. Nothing is asked or saved.
    void quitUserInterface();
    bool quitRequested() const { return quitRequested_; }

private:
    Options options_;
    Paths paths_;
    ShellState shell_;
    SettingsStore settings_;
    CommandTable commands_;
    Popups popups_;
    BuildOutputs build_;
    EditorLanguages languages_;
    programmer::ProgrammerSession programmerSession_;
    programmer::DownloadImage downloadImage_;
    HelpWindows help_{paths_, popups_};
    BusyWindow busy_;
    programmer::DebugModeControl* debugModeControl_ = nullptr;
    std::unique_ptr<UserDialogs> qtDialogs_;
    UserDialogs* dialogs_ = nullptr;
    std::shared_ptr<kz71::Clock> steadyClock_;
    kz71::Clock* clock_ = nullptr;
    std::unique_ptr<Launcher> processLauncher_;
    Launcher* launcher_ = nullptr;
    std::function<void()> debugSessionEnd_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<NotSupportedWindow> notSupported_;
    QEventLoop mainLoop_;
    bool quitRequested_ = false;
};

} // namespace ide
