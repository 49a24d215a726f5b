// The Download commands: Select Hex-File, Download Hex-File, Read & Verify, Get Device Info
// and Reset Interface, in their menu, toolbar and page-button forms, over the sequences of
// programmer/. Each programmer operation runs on a link made for it: the settings' chip
// interface, the application's session and image, the page's report. While one runs the user
// cannot act and no other operation starts, but the window keeps being painted.
#pragma once

#include "programmer/download_commands.h"
#include "programmer/precise_clock.h"
#include "shell/commands.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <optional>

namespace ide {

class Application;
class DownloadPage;

class DownloadCommands : public QObject {
public:
    // Defines the five commands; Read & Verify stays dimmed until a download succeeds.
    DownloadCommands(Application& app, DownloadPage& page);

    void selectHexFile(CommandOrigin origin);
    void downloadHexFile(CommandOrigin origin);
    void readAndVerify();
    void getDeviceInfo();
    void resetInterface(CommandOrigin origin);

    using Work = std::function<void(programmer::ProgrammerLink& link)>;
    // Runs `work` on a fresh link to the programmer. False (and nothing done) while another
    // operation runs: operations never nest.
    bool runOnProgrammer(const Work& work);
    bool running() const { return running_; }
    // The quit sequence: closes the programmer session if one is open.
    void closeProgrammerSession();

    // How often the window is painted while an operation runs (0: at every chance).
    void setRepaintInterval(std::chrono::milliseconds interval) { repaintInterval_ = interval; }

private:
    // The memory selection, or the "index not found" popup.
    std::optional<programmer::TargetMemory> selectedMemory();
    programmer::DownloadRequest downloadRequest();
    programmer::ChipInterfaceChoice chipInterface() const;
    kz71::Clock& pauseClock();

    Application& app_;
    DownloadPage& page_;
    programmer::PreciseSteadyClock preciseClock_;
    std::chrono::milliseconds repaintInterval_{40};
    bool running_ = false;
};

} // namespace ide
