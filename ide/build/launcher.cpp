#include "build/launcher.h"

#include "app/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace ide {
namespace {

// Only how long the system takes to create a process; a program that has started answers
// through hasTerminated, which the callers time on the application's clock.
constexpr int start_limit_ms = 10000;
constexpr int reap_limit_ms = 5000;
constexpr int not_started_status = -1;

// The program's console is nobody's: no input, output discarded.
void prepare(QProcess& process, const QString& program, const QStringList& arguments) {
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(QDir::currentPath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
}

class Process : public LaunchedProgram {
public:
    bool start(const QString& program, const QStringList& arguments, LaunchFailure& failure) {
        prepare(process_, program, arguments);
#ifdef Q_OS_UNIX
        // A group of its own, so that terminate() also reaches what a script started.
        process_.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        process_.start();
        if (process_.waitForStarted(start_limit_ms)) return true;
        failure = {not_started_status, process_.errorString()};
        return false;
    }

    bool hasTerminated() override {
        if (process_.state() != QProcess::NotRunning) process_.waitForFinished(0);
        return process_.state() == QProcess::NotRunning;
    }

    void terminate() override {
        if (process_.state() == QProcess::NotRunning) return;
#ifdef Q_OS_UNIX
        if (const qint64 pid = process_.processId(); pid > 0)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
        process_.kill();
        process_.waitForFinished(reap_limit_ms);
    }

    ~Process() override {
        terminate();
    }

private:
    QProcess process_;
};

class ProcessLauncher : public Launcher {
public:
    std::unique_ptr<LaunchedProgram> launch(const QString& program, const QStringList& arguments,
                                            LaunchFailure& failure) override {
        auto process = std::make_unique<Process>();
        if (!process->start(program, arguments, failure)) return nullptr;
        return process;
    }

    bool launchDetached(const QString& program, const QStringList& arguments) override {
        QProcess process;
        prepare(process, program, arguments);
        return process.startDetached();
    }
};

} // namespace

std::unique_ptr<Launcher> makeProcessLauncher() {
    return std::make_unique<ProcessLauncher>();
}

QString programPath(const Paths& paths, const QString& name) {
    return QFileInfo(paths.dataFile(name)).absoluteFilePath();
}

} // namespace ide
