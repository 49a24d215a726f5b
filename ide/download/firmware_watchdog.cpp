#include "download/firmware_watchdog.h"

#include "app/application.h"
#include "download/download_commands.h"
#include "programmer/firmware_load.h"

#include <QFile>
#include <QTimer>

namespace ide {

FirmwareWatchdog::FirmwareWatchdog(Application& app, QTimer& timer, DownloadCommands& commands)
    : QObject(&timer), app_(app), commands_(commands) {
    connect(&timer, &QTimer::timeout, this, &FirmwareWatchdog::watchdogTimer);
    timer.start();
}

void FirmwareWatchdog::watchdogTimer() {
    const QString firmware = app_.paths().dataFile(programmer::firmware_file);
    commands_.runOnProgrammer([&](programmer::ProgrammerLink& link) {
        programmer::loadProgrammerFirmware(link, QFile::encodeName(firmware).toStdString());
    });
}

} // namespace ide
