// A debugger view and a programmer report that show nothing: the benchmarks measure the
// debugger's and the downloads' own work without a screen. The report remembers whether
// anything went wrong (a failed lamp or any popup).
#pragma once

#include "programmer/debugger_view.h"
#include "programmer/report.h"

struct QuietReport final : programmer::ProgrammerReport {
    void appendMessage(std::string_view) override {}
    void clearMessages() override {}
    void setLamp(programmer::LampState state) override {
        failed = failed || state == programmer::LampState::failed;
    }
    void setLampLabel(std::string_view) override {}
    void showErrorPopup(std::string_view, int) override { failed = true; }
    void showWarningPopup(std::string_view, int) override { failed = true; }
    void showInfoPopup(std::string_view, int) override { failed = true; }
    void showMessagePopup(std::string_view, std::string_view) override { failed = true; }
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    void showDownloadPage() override {}
    void setReadVerifyEnabled(bool) override {}
    void showVerifyFailed(bool) override {}
    void setUserEepromCell(int, int, std::string_view) override {}
    void setBusy(bool) override {}
    void progress(std::size_t, std::size_t) override {}
    bool failed = false;
};

struct QuietView final : programmer::DebuggerView {
    using LineColour = programmer::LineColour;
    void showListingFiles(std::span<const programmer::ListingFile>) override {}
    void activateListingTab(int) override {}
    void showListingName(std::string_view) override {}
    void setListingLineColour(int, int, LineColour) override {}
    void selectListingLine(int, int) override {}
    void setBreakpointMark(int, int, bool) override {}
    void setHexLineColour(int, LineColour) override {}
    void selectHexLine(int) override {}
    void startBlinkingHexLine(int, LineColour) override {}
    void stopBlinkingHexLine() override {}
    bool blinkingHexLine() const override { return false; }
    void showDebugMode(bool) override {}
    void showRegisters(const programmer::RegisterTexts&) override {}
    void resetRegisters() override {}
    void setRamCell(int, std::string_view) override {}
    void closeRamWindow() override {}
};
