// A ProgrammerReport that records everything an operation tells the user, in order.
#pragma once

#include "programmer/report.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct RecordingReport final : programmer::ProgrammerReport {
    // The message box as the user sees it (cleared by clearMessages).
    std::string box;
    // Everything but the message texts: "clear", "lamp SUCCESS", "label Download", "error 131
    // Reading from hexfile failed", "ask Warning", "page", "read&verify on", "busy on", ...
    std::vector<std::string> events;
    std::map<std::pair<int, int>, std::string> cells; // (column, row) -> text
    std::size_t progressCalls = 0;
    std::pair<std::size_t, std::size_t> lastProgress{0, 0};
    bool answer = true;                               // what askYesNo answers
    std::function<void(std::size_t done)> onProgress; // e.g. pull the cable half way

    void appendMessage(std::string_view text) override { box += text; }
    void clearMessages() override {
        box.clear();
        events.push_back("clear");
    }
    void setLamp(programmer::LampState state) override {
        const auto look = programmer::lampAppearance(state);
        events.push_back("lamp " + (look.on ? std::string(look.statusText) : "off"));
    }
    void setLampLabel(std::string_view label) override {
        events.push_back("label " + std::string(label));
    }
    void showErrorPopup(std::string_view message, int code) override {
        events.push_back("error " + std::to_string(code) + " " + std::string(message));
    }
    void showWarningPopup(std::string_view message, int code) override {
        events.push_back("warning " + std::to_string(code) + " " + std::string(message));
    }
    void showInfoPopup(std::string_view message, int code) override {
        events.push_back("info " + std::to_string(code) + " " + std::string(message));
    }
    void showMessagePopup(std::string_view title, std::string_view text) override {
        events.push_back("popup " + std::string(title) + " " + std::string(text));
    }
    bool askYesNo(std::string_view title, std::string_view text) override {
        events.push_back("ask " + std::string(title) + " " + std::string(text));
        return answer;
    }
    void showDownloadPage() override { events.push_back("page"); }
    void setReadVerifyEnabled(bool enabled) override {
        events.push_back(enabled ? "read&verify on" : "read&verify off");
    }
    void showVerifyFailed(bool shown) override {
        events.push_back(shown ? "verify failed shown" : "verify failed hidden");
    }
    void setUserEepromCell(int column, int row, std::string_view text) override {
        cells[{column, row}] = std::string(text);
    }
    void setBusy(bool busy) override { events.push_back(busy ? "busy on" : "busy off"); }
    void progress(std::size_t done, std::size_t total) override {
        ++progressCalls;
        lastProgress = {done, total};
        if (onProgress) onProgress(done);
    }

    // The popups shown (events starting with error, warning, info or popup).
    std::vector<std::string> popups() const {
        std::vector<std::string> shown;
        for (const std::string& e : events)
            if (e.starts_with("error ") || e.starts_with("warning ") || e.starts_with("info ") ||
                e.starts_with("popup "))
                shown.push_back(e);
        return shown;
    }
    std::string lastLamp() const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->starts_with("lamp ")) return it->substr(5);
        return "";
    }
};
