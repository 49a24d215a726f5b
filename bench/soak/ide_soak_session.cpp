// One long session in the IDE's own process, on Qt's offscreen platform and the simulated
// programmer: every cycle compiles prog.asm from the Assembler page (the real build script and
// tarn), downloads it with its user EEPROM cells from the Download page, reads and verifies it,
// and debugs it on the Debugger page (a breakpoint, a run to it, single steps, Exit Debug Mode).
// The programmer's pauses run on a virtual clock; the build script is waited for in real time.
// Every few cycles it prints a sample of what the process holds (soak_sample.h).
#include "app/application.h"
#include "editor/editor_tabs.h"
#include "pages/debugger_page.h"
#include "programmer/backend_table.h"
#include "programmer/breakpoints.h"
#include "programmer/debugger.h"
#include "shell/main_window.h"
#include "shell/popups.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"
#include "soak_sample.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <cstdio>
#include <memory>

namespace {

// Counts the popups, each a failure of the cycle; answers Yes.
struct CountedPopups final : ide::PopupHandler {
    int show(const ide::Popup& popup) override {
        ++shown;
        std::fprintf(stderr, "popup: %s\n", popup.text.toUtf8().constData());
        return ide::answerYes;
    }
    int shown = 0;
};

class IdeSession {
public:
    explicit IdeSession(const QString& folder)
        : app_({folder, KZ71_BIN_DIR "/panels", KZ71_BIN_DIR}) {
        app_.popups().setHandler(&popups_);
        app_.setClock(virtual_.get());
    }
    ~IdeSession() { app_.discardPanels(); }

    bool start(const QString& source) {
        if (app_.startUp({1024, 768, 1252}) != ide::StartResult::mainWindow) return false;
        return window().editorTabs().openFileInFirstTab(source) >= 0;
    }
    std::shared_ptr<kz71::VirtualClock> clock() { return virtual_; }

    // One cycle; false when any part of it failed or told the user of a problem.
    bool cycle() {
        const int before = popups_.shown;
        bool ok = compile();
        ok = ok && run("mDownloadHexFile") && lampSays("SUCCESS");
        ok = ok && run("mDownloadRdVerify") && lampSays("SUCCESS");
        ok = ok && debug();
        return ok && popups_.shown == before;
    }

private:
    ide::MainWindow& window() { return *app_.mainWindow(); }
    bool run(const char* command) { return app_.commands().run(command); }

    bool compile() {
        const QFileInfo hex("prog.hex");
        const auto before = hex.exists() ? hex.lastModified() : QDateTime();
        app_.setClock(steady_.get()); // the script runs in real time
        const bool ran = run("mAssemblerCompile");
        app_.setClock(virtual_.get());
        QFileInfo after("prog.hex");
        return ran && after.exists() && after.lastModified() >= before;
    }
    bool lampSays(const QString& text) {
        auto* status = window().window().findChild<QLabel*>("statusText");
        return status != nullptr && status->text() == text;
    }
    bool debug() {
        ide::DebuggerPage& page = window().debuggerPage();
        page.refreshDebuggerPage();
        programmer::Debugger& debugger = page.debugger();
        auto toggled = programmer::toggleBreakpointAtLine(debugger, 0, soak::break_line);
        if (toggled == programmer::BreakpointToggle::cleared)
            toggled = programmer::toggleBreakpointAtLine(debugger, 0, soak::break_line);
        bool ok = toggled == programmer::BreakpointToggle::set && run("mDebuggerRunToBP");
        for (int i = 0; i < 3; ++i)
            ok = ok && run("mDebuggerSingleStep");
        ok = ok && run("mDebuggerExitDbgMode");
        return ok && !debugger.state.debugModeActive;
    }

    std::shared_ptr<kz71::VirtualClock> virtual_ = std::make_shared<kz71::VirtualClock>();
    std::shared_ptr<kz71::Clock> steady_ = kz71::steadyClock();
    CountedPopups popups_;
    ide::Application app_;
};

} // namespace

int main(int argc, char** argv) {
    soak::Options options;
    if (!soak::startSession(argc, argv, "ide_soak_session", options)) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication qt(qtArgc, argv);
    std::string error;
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    if (!programmer::selectBackend("sim", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const QString folder = QString::fromStdString(options.folder.string());
    IdeSession session(folder);
    // A small transfer log is full after the first cycles (see soak_session.cpp).
    sim::SimConfig config;
    config.log_capacity = 1024;
    sim::resetSimulator(config, session.clock());
    if (!session.start(folder + "/prog.asm")) {
        std::fprintf(stderr, "the IDE did not start with prog.asm\n");
        return 2;
    }
    int failed = 0;
    soak::sample(0);
    for (int c = 1; c <= options.cycles; ++c) {
        if (!session.cycle()) ++failed;
        // What the event loop does between two commands of a user: objects given up during
        // the cycle (deleteLater) go now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (c % options.every == 0) soak::sample(c);
    }
    return soak::finish(options, failed);
}
