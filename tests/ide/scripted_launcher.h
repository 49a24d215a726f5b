// A launcher for the GUI tests: each started program behaves as scripted, on the test's
// virtual clock, so a build that waits 50 seconds costs nothing.
#pragma once

#include "build/launcher.h"
#include "protocol/clock.h"

#include <QList>
#include <deque>
#include <functional>
#include <optional>

namespace ide::test {

struct LaunchRecord {
    QString program;
    QStringList arguments;
};

struct ScriptedProgram {
    bool fails = false; // cannot be started
    // Ends this long after its start; never when nullopt.
    std::optional<kz71::Clock::Duration> runsFor = kz71::Clock::Duration::zero();
    // Runs when the program ends (it leaves its files then).
    std::function<void()> atEnd;
};

class ScriptedLauncher : public Launcher {
public:
    explicit ScriptedLauncher(kz71::Clock& clock) : clock_(clock) {}

    std::unique_ptr<LaunchedProgram> launch(const QString& program, const QStringList& arguments,
                                            LaunchFailure& failure) override;
    bool launchDetached(const QString& program, const QStringList& arguments) override;

    std::deque<ScriptedProgram> programs; // one per start; unscripted ones end at once
    QList<LaunchRecord> launched;         // every start, also the failed ones
    QList<LaunchRecord> detached;
    int terminated = 0;

private:
    ScriptedProgram next();

    kz71::Clock& clock_;
};

} // namespace ide::test
