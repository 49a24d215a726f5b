// A programmer link on the simulated programmer and a virtual clock: pauses cost nothing, yet
// every transfer carries its time stamp in the simulator's log.
#pragma once

#include "programmer/programmer_link.h"
#include "recording_report.h"
#include "scratch_directory.h"
#include "simulator/simulator.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// A programmer command as the simulator's transfer log describes it ("OUT B0 0000 00F0 [AA]").
std::string out(int command, int index = 0, const std::string& data = "");

// The shape of the assembler's files around the data lines.
std::string hexFileText(const Bytes& image);
// An .epr file listing the given cells ("%02X: %02X ").
std::string eprFileText(const std::map<int, int>& cells);

// Bytes 0..n-1 with values that differ from their neighbours (and from 0xFF).
Bytes countingImage(std::size_t size, std::uint8_t first = 0x10);

struct LinkTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
    // A fresh simulated programmer on the same clock (the old one's sessions are dead).
    void restart(sim::SimConfig config);

    // The transfers since the last clearWire(), as the simulator's log describes them.
    std::vector<std::string> wire() const { return simulator->log().lines(); }
    void clearWire() { simulator->log().clear(); }
    // The pause the host made after transfer i of the log: the time to the next transfer less
    // the bus time of the transfer itself.
    std::chrono::microseconds pauseAfter(std::size_t i) const;
    // The index of the first transfer from `from` on whose description starts with `prefix`.
    std::size_t find(const std::string& prefix, std::size_t from = 0) const;
    std::size_t count(const std::string& prefix) const;

    std::string writeFile(const std::string& name, const std::string& content) const {
        dir.write(name, content);
        return (dir.path() / name).string();
    }

    std::shared_ptr<kz71::VirtualClock> clock = std::make_shared<kz71::VirtualClock>();
    programmer::ProgrammerSession session;
    RecordingReport report;
    programmer::ProgrammerLink link{session, report, *clock};
    sim::Simulator* simulator = nullptr;
    ScratchDirectory dir;
};
