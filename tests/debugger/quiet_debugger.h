// A debugger view and a programmer report that show nothing: the benchmarks measure the
// debugger's own work without a screen. Questions are answered "No".
#pragma once

#include "programmer/silent_report.h"
#include "programmer/silent_view.h"

struct QuietReport final : programmer::SilentReport {
    QuietReport() { answer = false; }
};

using QuietView = programmer::SilentDebuggerView;
