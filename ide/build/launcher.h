// Starting the programs the IDE works with (the build script, the version queries) by name,
// as separate processes in the IDE's working directory, without a shell and without a console
// window: their own output is discarded. The application object owns the one launcher of the
// program; tests replace it with a scripted one.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace ide {

struct Paths;

// A started program that the IDE keeps track of.
class LaunchedProgram {
public:
    virtual ~LaunchedProgram() = default;
    virtual bool hasTerminated() = 0;
    // Ends the program and everything it started.
    virtual void terminate() = 0;
};

struct LaunchFailure {
    int status = 0; // negative
    QString error;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` (a path) with `arguments`; null and `failure` when it cannot start.
    virtual std::unique_ptr<LaunchedProgram>
    launch(const QString& program, const QStringList& arguments, LaunchFailure& failure) = 0;
    // Starts `program` and forgets it; false when it cannot start.
    virtual bool launchDetached(const QString& program, const QStringList& arguments) = 0;
};

// Processes through QProcess, with an argument list and never through a shell.
std::unique_ptr<Launcher> makeProcessLauncher();

// Where a program started by name lies: in the working directory when it is there, else in
// the installation's data folder beside the IDE.
QString programPath(const Paths& paths, const QString& name);

} // namespace ide
