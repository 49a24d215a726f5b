// A ProgrammerReport for fuzzing: it keeps only what the targets check (the last lamp state,
// whether the busy cursor is back, how many messages and popups were told), never grows with
// the input, and answers every question with yes.
#pragma once

#include "programmer/silent_report.h"

#include <cstddef>

namespace fuzz {

struct QuietReport final : programmer::SilentReport {
    programmer::LampState lamp = programmer::LampState::idle;
    int busy = 0; // busy on minus busy off
    std::size_t messages = 0;

    void appendMessage(std::string_view) override { ++messages; }
    void setLamp(programmer::LampState state) override { lamp = state; }
    void setBusy(bool on) override { busy += on ? 1 : -1; }
};

} // namespace fuzz
