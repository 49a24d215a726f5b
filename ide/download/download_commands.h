// The Download commands: Select Hex-File, Download Hex-File, Read & Verify, Get Device Info
// and Reset Interface, in their menu, toolbar and page-button forms, over the sequences of
// programmer/. Each programmer operation runs on a link made for it: the settings' chip
// interface, the application's session and image, the page's report. While one runs the
// windows are busy (shell/busy_window.h): the user cannot act and no other long operation
// starts, but the windows keep being painted.
#pragma once

#include "programmer/download_commands.h"
#include "programmer/precise_clock.h"
#include "shell/commands.h"

#include <QObject>
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
    // Runs `work` on a fresh link to the programmer, the windows busy meanwhile. False (and
    // nothing done) while another long operation runs: operations never nest.
    bool runOnProgrammer(const Work& work);
    // Whether one of these operations runs.
    bool running() const { return running_; }
    // The quit sequence: closes the programmer session if one is open.
    void closeProgrammerSession();

private:
    // The memory selection, or the "index not found" popup.
    std::optional<programmer::TargetMemory> selectedMemory();
    programmer::DownloadRequest downloadRequest();
    programmer::ChipInterfaceChoice chipInterface() const;
    kz71::Clock& pauseClock();

    Application& app_;
    DownloadPage& page_;
    programmer::PreciseSteadyClock preciseClock_;
    bool running_ = false;
};

} // namespace ide
