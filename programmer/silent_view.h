// A DebuggerView that shows nothing: the debugger core without a page (kz71prog keeps only
// its RAM cells, benchmarks and fuzzing nothing). Its end-of-program blink is over at once.
#pragma once

#include "programmer/debugger_view.h"

namespace programmer {

class SilentDebuggerView : public DebuggerView {
public:
    void showListingFiles(std::span<const ListingFile>) override {}
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
    void showRegisters(const RegisterTexts&) override {}
    void resetRegisters() override {}
    void setRamCell(int, std::string_view) override {}
    void closeRamWindow() override {}
};

} // namespace programmer
