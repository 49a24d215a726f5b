// What the debugger core tells the user on the Debugger page: its numbered popups through the
// application's popups, the busy window while a run command steps, and how far the run has
// got. The message box and the lamp of the programmer link belong to the Download page: those
// calls go to the report set with forwardDownloadPageTo (none: they are not shown).
#pragma once

#include "debugger/busy_state.h"
#include "programmer/report.h"

#include <cstddef>
#include <functional>

namespace ide {

class Popups;

class DebuggerReport final : public programmer::ProgrammerReport {
public:
    explicit DebuggerReport(Popups& popups) : popups_(popups) {}

    BusyState& busyState() { return busy_; }
    void forwardDownloadPageTo(programmer::ProgrammerReport* downloadPage) {
        downloadPage_ = downloadPage;
    }
    // Told the run's progress (time taken and time limit, in ms) when the window is repainted.
    void onProgress(std::function<void(std::size_t done, std::size_t total)> shown) {
        progressShown_ = std::move(shown);
    }

    void showErrorPopup(std::string_view message, int code) override;
    void showWarningPopup(std::string_view message, int code) override;
    void showInfoPopup(std::string_view message, int code) override;
    void showMessagePopup(std::string_view title, std::string_view text) override;
    bool askYesNo(std::string_view title, std::string_view text) override;

    void setBusy(bool busy) override;
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
    // The normal cursor while a popup waits for its answer.
    class PopupOpen;

    Popups& popups_;
    BusyState busy_;
    programmer::ProgrammerReport* downloadPage_ = nullptr;
    std::function<void(std::size_t, std::size_t)> progressShown_;
};

} // namespace ide
