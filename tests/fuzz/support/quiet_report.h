// A ProgrammerReport for fuzzing: it keeps only what the targets check (the last lamp state,
// whether the busy cursor is back, whether a failure was told), never grows with the input,
// and answers every question with yes.
#pragma once

#include "programmer/report.h"

#include <cstddef>

namespace fuzz {

struct QuietReport final : programmer::ProgrammerReport {
    programmer::LampState lamp = programmer::LampState::idle;
    int busy = 0; // busy on minus busy off
    std::size_t messages = 0;
    std::size_t popups = 0;

    void appendMessage(std::string_view) override { ++messages; }
    void clearMessages() override {}
    void setLamp(programmer::LampState state) override { lamp = state; }
    void setLampLabel(std::string_view) override {}
    void showErrorPopup(std::string_view, int) override { ++popups; }
    void showWarningPopup(std::string_view, int) override { ++popups; }
    void showInfoPopup(std::string_view, int) override { ++popups; }
    void showMessagePopup(std::string_view, std::string_view) override { ++popups; }
    bool askYesNo(std::string_view, std::string_view) override { return true; }
    void showDownloadPage() override {}
    void setReadVerifyEnabled(bool) override {}
    void showVerifyFailed(bool) override {}
    void setUserEepromCell(int, int, std::string_view) override {}
    void setBusy(bool on) override { busy += on ? 1 : -1; }
    void progress(std::size_t, std::size_t) override {}
};

} // namespace fuzz
