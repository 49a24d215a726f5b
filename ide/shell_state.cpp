#include "shell_state.h"

#include "settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace ide {
namespace {

QHash<QString, std::function<void()>>& commands() {
    static QHash<QString, std::function<void()>> table;
    return table;
}

} // namespace

ShellState& shell() {
    static ShellState state;
    return state;
}

void resetShellState() {
    shell() = ShellState{};
}

Paths& paths() {
    static Paths p;
    return p;
}

void initPaths() {
    QString dir = QCoreApplication::applicationDirPath();
    paths() = Paths{dir, dir + "/panels", dir};
}

QString dataFile(const QString& relative) {
    if (QFileInfo::exists(relative)) return relative;
    return paths().dataDir + "/" + relative;
}

QString settingsPath() {
    return paths().programDir + "/" + settings_file_name;
}

ShellHooks& hooks() {
    static ShellHooks h;
    return h;
}

void registerCommand(const QString& name, std::function<void()> callback) {
    commands().insert(name, std::move(callback));
}

bool runCommand(const QString& name) {
    auto it = commands().find(name);
    if (it == commands().end() || !*it) return false;
    (*it)();
    return true;
}

bool hasCommand(const QString& name) {
    auto it = commands().find(name);
    return it != commands().end() && *it;
}

} // namespace ide
