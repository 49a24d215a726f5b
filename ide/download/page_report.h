// What a programmer operation tells the user, shown on the Download page: the "Messages" box,
// the status lamp and its label, "VERIFY FAILED!", the user EEPROM table, the busy cursor and
// the progress bar, the Read & Verify command's availability, and the popups of the IDE.
// Without a busy window it only shows: the debugger's programmer messages and lamp go there.
#pragma once

#include "programmer/report.h"

namespace ide {

class Application;
class BusyWindow;
class DownloadPage;

class PageReport final : public programmer::ProgrammerReport {
public:
    PageReport(Application& app, DownloadPage& page, BusyWindow* busy);
    ~PageReport() override; // the normal cursor again, whatever the operation left
    PageReport(const PageReport&) = delete;
    PageReport& operator=(const PageReport&) = delete;

    void appendMessage(std::string_view text) override;
    void clearMessages() override;
    void setLamp(programmer::LampState state) override;
    void setLampLabel(std::string_view label) override;
    void showErrorPopup(std::string_view message, int code) override;
    void showWarningPopup(std::string_view message, int code) override;
    void showInfoPopup(std::string_view message, int code) override;
    void showMessagePopup(std::string_view title, std::string_view text) override;
    bool askYesNo(std::string_view title, std::string_view text) override;
    void showDownloadPage() override;
    void setReadVerifyEnabled(bool enabled) override;
    void showVerifyFailed(bool shown) override;
    void setUserEepromCell(int column, int row, std::string_view text) override;
    // The hourglass while a memory is read or programmed; its end also ends the progress bar.
    void setBusy(bool busy) override;
    void progress(std::size_t done, std::size_t total) override;

private:
    // Runs a popup with the normal cursor: the user answers it while the operation waits.
    template <typename Show>
    auto withNormalCursor(Show show);

    Application& app_;
    DownloadPage& page_;
    BusyWindow* busy_;
    bool busyCursor_ = false;
    // What the bar shows; `no_bar` while it is hidden.
    static constexpr std::size_t no_bar = static_cast<std::size_t>(-1);
    std::size_t shownTotal_ = no_bar;
    std::size_t shownPercent_ = 0;
};

} // namespace ide
