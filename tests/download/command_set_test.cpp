// The command set on the wire: register access, the communication check, the SPI EEPROM
// write, and the trace lines kz71prog prints for transfers and pauses.
#include "link_fixture.h"
#include "programmer/command_set.h"
#include "programmer/precise_clock.h"
#include "programmer/session.h"
#include "programmer/transfer_trace.h"

namespace {

using namespace programmer;

struct TraceRecorder final : TransferObserver {
    std::vector<std::string> lines;
    void transferred(const TransferRecord& transfer) override {
        lines.push_back(traceLine(transfer));
    }
};

struct CommandSet : LinkTest {
    void SetUp() override {
        LinkTest::SetUp();
        ASSERT_EQ(openProgrammer(link), 0);
        clearWire();
    }
    void TearDown() override {
        closeProgrammer(link);
        LinkTest::TearDown();
    }
};

TEST_F(CommandSet, RegisterValuesGoMostSignificantByteFirst) {
    EXPECT_EQ(cmd::writeRegister(link, 0x49, {0x12, 0x34, 0x56}), VI_SUCCESS);
    const Reply reply = cmd::readRegister(link, 0x49);
    EXPECT_TRUE(reply.complete(3));
    EXPECT_EQ(reply.bytes, (RegisterValue{0x12, 0x34, 0x56}));
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0000 0049 [12 34 56]",
                                                "IN B0 0040 0049 len 3 [12 34 56]"}));
    EXPECT_EQ(simulator->log()[0].length, 3);
}

TEST_F(CommandSet, CommunicationCheckPassesAndAlwaysClearsTheRegister) {
    EXPECT_TRUE(communicationCheck(link));
    const std::vector<std::string> sequence{
        "OUT B0 0000 00F0 [00 00 00]", "OUT B0 0000 00F0 [AA 55 66]",
        "IN B0 0040 00F0 len 3 [AA 55 66]", "OUT B0 0000 00F0 [00 00 00]"};
    EXPECT_EQ(wire(), sequence);

    clearWire();
    simulator->faults().corruptRead(sim::Memory::registers, 0xF0, 0x000001);
    EXPECT_FALSE(communicationCheck(link));
    EXPECT_EQ(wire().at(2), "IN B0 0040 00F0 len 3 [AA 55 67]");
    EXPECT_EQ(wire().at(3), "OUT B0 0000 00F0 [00 00 00]");
    simulator->faults().clear();

    // A failed read fails the check; the failed writes are reported.
    simulator->faults().failCommand(wire::read_register, sim::Failure::stall, 1);
    report.box.clear();
    EXPECT_FALSE(communicationCheck(link));
    EXPECT_EQ(report.box, "");
    simulator->faults().failCommand(wire::write_register, sim::Failure::stall, 1);
    EXPECT_TRUE(communicationCheck(link)) << "a failed write does not decide the check";
    EXPECT_NE(report.box, "");
}

TEST_F(CommandSet, SpiEepromWriteSequenceAndItsStatus) {
    const std::uint8_t bytes[] = {0xAB, 0xCD};
    EXPECT_EQ(spiEepromWrite(link, 0x1234, bytes), VI_SUCCESS);
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0053 0006 []", "OUT B0 0054 0000 []",
                                                "OUT B0 0053 0002 []", "OUT B0 0052 0012 []",
                                                "OUT B0 0052 0034 []", "OUT B0 0052 00AB []",
                                                "OUT B0 0052 00CD []", "OUT B0 0054 0000 []"}));
    simulator->faults().failCommand(wire::spi_send_byte, sim::Failure::stall, 1);
    EXPECT_NE(spiEepromWrite(link, 0, bytes), VI_SUCCESS);
}

TEST_F(CommandSet, TraceLinesForTransfersAndPauses) {
    TraceRecorder trace;
    link.observer = &trace;
    cmd::selectSpiInterface(link);
    cmd::writeRegister(link, 0xF0, {0xAA, 0x55, 0x66});
    cmd::readRegister(link, 0xF0);
    simulator->faults().failCommand(wire::read_otp_byte, sim::Failure::stall, 1);
    cmd::readOtpByte(link, 0x1FCF);
    EXPECT_EQ(trace.lines,
              (std::vector<std::string>{
                  "OUT 40 B0 wValue=0055 wIndex=0000 data=- status=0",
                  "OUT 40 B0 wValue=0000 wIndex=00F0 data=AA 55 66 status=0",
                  "IN C0 B0 wValue=0040 wIndex=00F0 wLength=3 data=AA 55 66 status=0",
                  "IN C0 B0 wValue=00A6 wIndex=1FCF wLength=1 data=- status=-1073807298"}));

    std::vector<std::string> pauses;
    PauseTracingClock traced(*clock, [&](auto length) { pauses.push_back(traceLine(length)); });
    const auto before = clock->now();
    traced.sleep(6ms);
    traced.sleep(500us);
    EXPECT_EQ(pauses, (std::vector<std::string>{"WAIT 6 ms", "WAIT 0.500 ms"}));
    EXPECT_EQ(clock->now() - before, 6500us);
}

TEST(PreciseSteadyClock, NeverPausesLessThanAsked) {
    PreciseSteadyClock clock;
    for (const auto pause : {1000us, 150us, 3000us}) {
        const auto start = std::chrono::steady_clock::now();
        clock.sleep(pause);
        EXPECT_GE(std::chrono::steady_clock::now() - start, pause);
    }
}

TEST_F(CommandSet, ResetPulseAndProgramAddress) {
    EXPECT_EQ(resetPulse(link), VI_SUCCESS);
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0043 0000 []", "OUT B0 0042 0000 []"}));
    cmd::writeRegister(link, wire::reg_status, {0x80, 0x21, 0x34});
    const Reply status = cmd::readRegister(link, wire::reg_status);
    EXPECT_EQ(wire::programAddress(status.bytes[1], status.bytes[2]), 0x0134);
    EXPECT_TRUE(status.bytes[0] & wire::flag_signum);
}

} // namespace
