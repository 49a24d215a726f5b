// A debugger view and a programmer report that show nothing: the benchmarks measure the
// debugger's and the downloads' own work without a screen. The report answers questions "No"
// and remembers whether anything went wrong (a failed lamp or any popup).
#pragma once

#include "programmer/silent_report.h"
#include "programmer/silent_view.h"

struct QuietReport final : programmer::SilentReport {
    QuietReport() { answer = false; }
    void setLamp(programmer::LampState state) override {
        failed = failed || state == programmer::LampState::failed;
    }
    void showErrorPopup(std::string_view, int) override { failed = true; }
    void showWarningPopup(std::string_view, int) override { failed = true; }
    void showInfoPopup(std::string_view, int) override { failed = true; }
    void showMessagePopup(std::string_view, std::string_view) override { failed = true; }
    bool failed = false;
};

using QuietView = programmer::SilentDebuggerView;
