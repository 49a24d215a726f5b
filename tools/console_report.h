// kz71prog's report: the messages on standard output as they come, popups and the progress bar
// on standard error, questions answered on the terminal (or by --yes).
#pragma once

#include "programmer/report.h"

#include <array>
#include <iosfwd>
#include <string>

namespace kz71prog {

struct ConsoleSettings {
    bool progressBar = false; // standard error is a terminal (and no trace is written there)
    bool inputIsTerminal = false;
    bool assumeYes = false; // --yes
};

class ConsoleReport final : public programmer::ProgrammerReport {
public:
    ConsoleReport(std::ostream& out, std::ostream& err, std::istream& in, ConsoleSettings settings)
        : out_(out), err_(err), in_(in), settings_(settings) {}

    void appendMessage(std::string_view text) override;
    void clearMessages() override {}
    void setLamp(programmer::LampState state) override;
    void setLampLabel(std::string_view label) override { label_ = label; }
    void showErrorPopup(std::string_view message, int code) override;
    void showWarningPopup(std::string_view message, int code) override;
    void showInfoPopup(std::string_view message, int code) override;
    void showMessagePopup(std::string_view title, std::string_view text) override;
    bool askYesNo(std::string_view title, std::string_view text) override;
    void showDownloadPage() override {}
    void setReadVerifyEnabled(bool) override {}
    void showVerifyFailed(bool) override {}
    void setUserEepromCell(int column, int row, std::string_view text) override;
    void setBusy(bool) override {}
    void progress(std::size_t done, std::size_t total) override;

    // A line of kz71prog's own on standard error ("kz71prog: ...").
    void problem(std::string_view text);
    // A trace line on standard error.
    void trace(const std::string& line);
    // Ends the output with a line break if the last message had none.
    void finish();

private:
    void clearBar();
    void popup(std::string_view kind, int code, std::string_view message);

    std::ostream& out_;
    std::ostream& err_;
    std::istream& in_;
    ConsoleSettings settings_;
    std::string label_;
    bool lineOpen_ = false; // the last message did not end its line
    int barPercent_ = -1;   // -1: no bar shown
    std::array<std::array<std::string, 8>, 16> cells_;
};

} // namespace kz71prog
