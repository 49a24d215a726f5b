// What every bus test starts from: the emulated bus (the test is skipped, with the reason, when
// the program runs without umockdev's preload library), both backends registered, and a
// programmer link on a virtual clock whose session is closed at the end. The programmers a test
// plugs in leave the bus when it ends; a request that a correct host never makes fails it.
#pragma once

#include "emulated_bus.h"
#include "programmer/programmer_link.h"
#include "recording_report.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

struct BusTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;

    // A programmer with its own simulator (own board and memories) on `clock`.
    usb_bus::EmulatedProgrammer& plugProgrammer(sim::SimConfig config,
                                                std::shared_ptr<kz71::Clock> clock);
    usb_bus::EmulatedProgrammer& plugProgrammer() { return plugProgrammer({}, clock); }
    // The backend of the resource managers opened from now on: "usb" or "sim".
    static void useBackend(const char* name);

    std::shared_ptr<kz71::VirtualClock> clock = std::make_shared<kz71::VirtualClock>();
    programmer::ProgrammerSession session;
    RecordingReport report;
    programmer::ProgrammerLink link{session, report, *clock};
    std::vector<std::unique_ptr<usb_bus::EmulatedProgrammer>> programmers;
};
