// The main window's "Executable Watchdog": on every tick of its timer, a programmer that still
// waits for its firmware (the bare loader on the bus) receives "firmware/firmware.hex". A tick
// that comes while a programmer operation runs, or while the previous tick still shows its
// popup, is left out, so that loads never nest and popups never pile up.
#pragma once

#include <QObject>

class QTimer;

namespace ide {

class Application;
class DownloadCommands;

class FirmwareWatchdog : public QObject {
    Q_OBJECT
public:
    // Lives as long as `timer`, and starts it.
    FirmwareWatchdog(Application& app, QTimer& timer, DownloadCommands& commands);

    // One tick: the firmware load, looked for in the working directory first and then among
    // the installation's data.
    void watchdogTimer();

private:
    Application& app_;
    DownloadCommands& commands_;
};

} // namespace ide
