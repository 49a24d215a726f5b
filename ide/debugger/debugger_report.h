// What the debugger core tells the user on the Debugger page: its numbered popups through the
// application's popups, the busy windows while a run command steps, and how far the run has
// got. The message box and the lamp of the programmer link belong to the Download page: those
// calls go to the report set with forwardDownloadPageTo (none: they are not shown).
#pragma once

#include "programmer/report.h"

#include <cstddef>
#include <functional>

namespace ide {

class BusyWindow;
class Popups;

class DebuggerReport final : public programmer::ProgrammerReport {
public:
    DebuggerReport(Popups& popups, BusyWindow& busy) : popups_(popups), busy_(busy) {}

    void forwardDownloadPageTo(programmer::ProgrammerReport* downloadPage) {
        downloadPage_ = downloadPage;
    }
    // Told the run's progress (time taken and time limit, in ms) when the windows are served.
    void onProgress(std::function<void(std::size_t done, std::size_t total)> shown) {
        progressShown_ = std::move(shown);
    }

    void showErrorPopup(std::string_view message, int code) override;
    void showWarningPopup(std::string_view message, int code) override;
    void showInfoPopup(std::string_view message, int code) override;
    void showMessagePopup(std::string_view title, std::string_view text) override;
    bool askYesNo(std::string_view title, std::string_view text) override;

    // The windows busy while the core steps (the page holds them for the whole command too).
    void setBusy(bool busy) override;
    // The progress shown and the windows served, when that is due.
    void progress(std::size_t done, std::size_t total) override;

    void appendMessage(std::string_view text) override;
    void clearMessages() override;
    void setLamp(programmer::LampState state) override;
    void setLampLabel(std::string_view label) override;
    void showDownloadPage() override;
    void setReadVerifyEnabled(bool enabled) override;
    void showVerifyFailed(bool shown) override;
    void setUserEepromCell(int column, int row, std::string_view text) override;

private:
    Popups& popups_;
    BusyWindow& busy_;
    programmer::ProgrammerReport* downloadPage_ = nullptr;
    std::function<void(std::size_t, std::size_t)> progressShown_;
};

} // namespace ide
