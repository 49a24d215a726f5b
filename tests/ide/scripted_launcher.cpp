#include "scripted_launcher.h"

namespace ide::test {
namespace {

class ScriptedRun : public LaunchedProgram {
public:
    ScriptedRun(kz71::Clock& clock, ScriptedProgram script, int& terminated)
        : clock_(clock), script_(std::move(script)), started_(clock.now()),
          terminated_(terminated) {}

    bool hasTerminated() override {
        if (ended_) return true;
        if (!script_.runsFor || clock_.now() - started_ < *script_.runsFor) return false;
        ended_ = true;
        if (script_.atEnd) script_.atEnd();
        return true;
    }

    void terminate() override {
        if (ended_) return;
        ended_ = true;
        ++terminated_;
    }

private:
    kz71::Clock& clock_;
    ScriptedProgram script_;
    kz71::Clock::Duration started_;
    int& terminated_;
    bool ended_ = false;
};

} // namespace

ScriptedProgram ScriptedLauncher::next() {
    if (programs.empty()) return {};
    ScriptedProgram script = std::move(programs.front());
    programs.pop_front();
    return script;
}

std::unique_ptr<LaunchedProgram> ScriptedLauncher::launch(const QString& program,
                                                          const QStringList& arguments,
                                                          LaunchFailure& failure) {
    launched.push_back({program, arguments});
    ScriptedProgram script = next();
    if (script.fails) {
        failure = {-1, "No such file or directory"};
        return nullptr;
    }
    return std::make_unique<ScriptedRun>(clock_, std::move(script), terminated);
}

bool ScriptedLauncher::launchDetached(const QString& program, const QStringList& arguments) {
    detached.push_back({program, arguments});
    ScriptedProgram script = next();
    if (!script.fails && script.atEnd) script.atEnd();
    return !script.fails;
}

} // namespace ide::test
