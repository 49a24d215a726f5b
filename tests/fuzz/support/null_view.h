// A DebuggerView for fuzzing that shows nothing; its blink is over as soon as it starts.
#pragma once

#include "programmer/debugger_view.h"

namespace fuzz {

struct NullView final : programmer::DebuggerView {
    void showListingFiles(std::span<const programmer::ListingFile>) override {}
    void activateListingTab(int) override {}
    void showListingName(std::string_view) override {}
    void setListingLineColour(int, int, programmer::LineColour) override {}
    void selectListingLine(int, int) override {}
    void setBreakpointMark(int, int, bool) override {}
    void setHexLineColour(int, programmer::LineColour) override {}
    void selectHexLine(int) override {}
    void startBlinkingHexLine(int, programmer::LineColour) override {}
    void stopBlinkingHexLine() override {}
    bool blinkingHexLine() const override { return false; }
    void showDebugMode(bool) override {}
    void showRegisters(const programmer::RegisterTexts&) override {}
    void resetRegisters() override {}
    void setRamCell(int, std::string_view) override {}
    void closeRamWindow() override {}
};

} // namespace fuzz
