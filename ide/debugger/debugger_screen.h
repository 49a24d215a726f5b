// The Debugger page as the debugger core sees it: the listing tabs, the hex view with its
// end-of-program blink, the debug lamp and "RUNNING", the register display and the "RAM
// Content" window. It puts on screen what the core decides and keeps no debugger state.
#pragma once

#include "debugger/line_blink.h"
#include "debugger/line_colours.h"
#include "debugger/listing_tabs.h"
#include "debugger/ram_window.h"
#include "programmer/debugger_view.h"
#include "programmer/report.h"

#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class Lamp;
class QLabel;
class QsciScintilla;

namespace ide {

// The register display's controls; each text comes back to its designed text on a reset.
struct RegisterControls {
    std::array<Lamp*, 4> flags{}; // Signum, Not Equal, Overflow, Carry
    QLabel* lastAddress = nullptr;
    QLabel* x = nullptr;
    QLabel* y = nullptr;
    QLabel* z = nullptr;
    QLabel* hb0 = nullptr;
    QLabel* hb0Decimal = nullptr;
    QLabel* ramAddress = nullptr;
    QLabel* ramContent = nullptr;
    QLabel* previousRamAddress = nullptr;
    QLabel* previousRamContent = nullptr;

    std::array<QLabel*, 10> texts() const;
};

struct DebuggerControls {
    ListingTabs* listings = nullptr;
    QLabel* listingName = nullptr;
    QsciScintilla* hexView = nullptr;
    Lamp* debugLamp = nullptr;
    QLabel* runningText = nullptr;
    RegisterControls registers;
};

class DebuggerScreen final : public programmer::DebuggerView {
public:
    // Popups go through `report`, which shows them with the normal cursor while a run is busy.
    DebuggerScreen(DebuggerControls controls, programmer::ProgrammerReport& report);

    // The register texts as the panel designed them, kept for resetRegisters.
    void rememberDesignedTexts();
    // The hex view was given a new text: no colours, no blink.
    void hexTextReplaced();
    // Whether "RUNNING" may show at all (the page shows its hint instead of the views).
    void setViewsShown(bool shown);

    void openRamWindow(RamWindow* window) { ram_ = window; }
    RamWindow* ramWindow() const { return ram_; }
    // Told when the window is discarded (debug mode ended, or "Close").
    std::function<void()> onRamWindowDiscarded;
    // Told when the core loads a program, before its listings show: the hex view follows.
    std::function<void()> onProgramLoading;

    programmer::LineColour hexLineColour(int line) const { return hexColours_.colourOf(line); }
    const LineBlink& blink() const { return blink_; }
    LineBlink& blink() { return blink_; }

    void showListingFiles(std::span<const programmer::ListingFile> files) override;
    void activateListingTab(int tab) override;
    void showListingName(std::string_view name) override;
    void setListingLineColour(int tab, int line, programmer::LineColour colour) override;
    void selectListingLine(int tab, int line) override;
    void setBreakpointMark(int tab, int line, bool shown) override;
    void setHexLineColour(int line, programmer::LineColour colour) override;
    void selectHexLine(int line) override;
    void startBlinkingHexLine(int line, programmer::LineColour after) override;
    void stopBlinkingHexLine() override;
    bool blinkingHexLine() const override;
    void showDebugMode(bool active) override;
    void showRegisters(const programmer::RegisterTexts& texts) override;
    void resetRegisters() override;
    void setRamCell(int address, std::string_view text) override;
    void closeRamWindow() override;

private:
    DebuggerControls c_;
    programmer::ProgrammerReport& report_;
    LineColours hexColours_;
    LineBlink blink_;
    QPointer<RamWindow> ram_;
    std::array<QString, 10> designedTexts_;
    bool viewsShown_ = false;
    bool debugMode_ = false;
};

} // namespace ide
