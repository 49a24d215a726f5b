// A DebuggerView that keeps what the page would show: line colours, marks, selections, the
// listing tabs, registers and RAM cells, and the blink. Tests read the screen from it.
#pragma once

#include "programmer/debugger_view.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct RecordingView final : programmer::DebuggerView {
    using LineColour = programmer::LineColour;

    std::vector<programmer::ListingFile> tabs;
    int activeTab = -1;
    std::string listingName;
    std::map<std::pair<int, int>, LineColour> listingColours; // (tab, line); absent = default
    std::set<std::pair<int, int>> marks;
    std::pair<int, int> listingSelection{-1, -1};
    std::map<int, LineColour> hexColours;
    int hexSelection = -1;
    bool debugMode = false;
    bool registersShown = false; // false after resetRegisters
    programmer::RegisterTexts registers;
    std::string previousRamAddress = "--";
    std::string previousRamContent = "--";
    std::map<int, std::string> ramCells;
    int ramCellWrites = 0;
    int ramWindowsClosed = 0;
    // The blink: the line while it runs (-1 when none) and every line that blinked. The blink
    // runs until stopped, or, with `blinkEndsAtOnce`, is over as soon as it starts.
    int blinking = -1;
    bool blinkEndsAtOnce = false;
    std::vector<int> blinks;
    std::vector<std::string> listingLoads; // file names, one call of showListingFiles each

    LineColour listingColour(int tab, int line) const {
        const auto it = listingColours.find({tab, line});
        return it == listingColours.end() ? programmer::colour_default : it->second;
    }
    LineColour hexColour(int line) const {
        const auto it = hexColours.find(line);
        return it == hexColours.end() ? programmer::colour_default : it->second;
    }

    void showListingFiles(std::span<const programmer::ListingFile> files) override {
        tabs.assign(files.begin(), files.end());
        listingColours.clear();
        marks.clear();
        std::string names;
        for (const auto& file : files)
            names += (names.empty() ? "" : ",") + file.name;
        listingLoads.push_back(names);
    }
    void activateListingTab(int tab) override { activeTab = tab; }
    void showListingName(std::string_view name) override { listingName = name; }
    void setListingLineColour(int tab, int line, LineColour colour) override {
        if (colour == programmer::colour_default)
            listingColours.erase({tab, line});
        else
            listingColours[{tab, line}] = colour;
    }
    void selectListingLine(int tab, int line) override { listingSelection = {tab, line}; }
    void setBreakpointMark(int tab, int line, bool shown) override {
        if (shown)
            marks.insert({tab, line});
        else
            marks.erase({tab, line});
    }
    void setHexLineColour(int line, LineColour colour) override {
        if (colour == programmer::colour_default)
            hexColours.erase(line);
        else
            hexColours[line] = colour;
    }
    void selectHexLine(int line) override { hexSelection = line; }
    void startBlinkingHexLine(int line, LineColour after) override {
        blinks.push_back(line);
        blinking = line;
        afterBlink = after;
        setHexLineColour(line, programmer::colour_current_line);
        if (blinkEndsAtOnce) stopBlinkingHexLine();
    }
    void stopBlinkingHexLine() override {
        if (blinking < 0) return;
        setHexLineColour(blinking, afterBlink);
        blinking = -1;
    }
    bool blinkingHexLine() const override { return blinking >= 0; }
    void showDebugMode(bool active) override { debugMode = active; }
    void showRegisters(const programmer::RegisterTexts& texts) override {
        registers = texts;
        registersShown = true;
        if (texts.showPrevious) {
            previousRamAddress = texts.previousRamAddress;
            previousRamContent = texts.previousRamContent;
        }
    }
    void resetRegisters() override {
        registers = {};
        registersShown = false;
        previousRamAddress = previousRamContent = "--";
    }
    void setRamCell(int address, std::string_view text) override {
        ramCells[address] = text;
        ++ramCellWrites;
    }
    void closeRamWindow() override { ++ramWindowsClosed; }

private:
    LineColour afterBlink = programmer::colour_default;
};
