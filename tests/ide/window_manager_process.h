// Starts openbox on the test's X server and waits until it manages the root window. On a busy
// machine openbox can end or hang while starting; it is then started once more, up to three
// times. The text returned is empty when it runs, else what openbox said.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <string>

namespace window_manager {

inline bool managesTheScreen() {
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
    xprop.waitForFinished(2000);
    return xprop.readAllStandardOutput().contains("window id");
}

// Waits up to `ms` for openbox to manage the screen while it still runs.
inline bool comesUp(QProcess& manager, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        if (managesTheScreen()) return true;
        if (manager.state() == QProcess::NotRunning) return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
    return managesTheScreen();
}

inline std::string start(QProcess& manager) {
    const QString openbox = QStandardPaths::findExecutable("openbox");
    if (openbox.isEmpty()) return "openbox is not installed";
    std::string said;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        manager.start(openbox, {"--sm-disable"});
        if (manager.waitForStarted(5000) && comesUp(manager, 10000)) return {};
        said += "attempt " + std::to_string(attempt) + ": openbox " +
                (manager.state() == QProcess::Running ? "runs" : "ended") + ": " +
                manager.readAllStandardError().toStdString() + "\n";
        manager.kill();
        manager.waitForFinished(5000);
    }
    return said;
}

} // namespace window_manager
