// What a programmer operation tells the user, shown on the Download page: the "Messages" box,
// the status lamp and its label, "VERIFY FAILED!", the user EEPROM table, the progress bar,
// the Read & Verify command's availability, and the popups of the IDE. The page also shows the
// debugger's programmer messages and lamp through one.
#pragma once

#include "programmer/report.h"

namespace ide {

class Application;
class DownloadPage;

class PageReport final : public programmer::ProgrammerReport {
public:
    PageReport(Application& app, DownloadPage& page);

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
    // The end of reading or programming a memory also ends the progress bar. (The busy
    // cursor is the busy window's, for the whole operation.)
    void setBusy(bool busy) override;
    // The bar, and the windows painted when that is due.
    void progress(std::size_t done, std::size_t total) override;

private:
    Application& app_;
    DownloadPage& page_;
    // What the bar shows; `no_bar` while it is hidden.
    static constexpr std::size_t no_bar = static_cast<std::size_t>(-1);
    std::size_t shownTotal_ = no_bar;
    std::size_t shownPercent_ = 0;
};

} // namespace ide
