// The simulated bus: fault injection, unplugging, the transfer log and its time stamps.
#include "wire_rig.h"

namespace {

using namespace sim_test;
using sim::TransferStatus;

TEST(Faults, FailedCommandsAreCountedOffAndDoNothing) {
    WireRig rig;
    rig.sim.faults().failCommand(wire::bgap_on, sim::Failure::stall, 1);
    EXPECT_EQ(rig.out(wire::bgap_on), TransferStatus::stalled);
    EXPECT_FALSE(rig.sim.chip().userEeprom().bandgap());
    EXPECT_EQ(rig.out(wire::bgap_on), TransferStatus::ok);
    EXPECT_TRUE(rig.sim.chip().userEeprom().bandgap());

    rig.sim.faults().failNextTransfers(sim::Failure::timeout, 2);
    EXPECT_EQ(rig.out(wire::select_iic), TransferStatus::timed_out);
    TransferStatus status{};
    EXPECT_TRUE(rig.in(wire::read_register, 0, 3, &status).empty());
    EXPECT_EQ(status, TransferStatus::timed_out);
    EXPECT_EQ(rig.out(wire::select_iic), TransferStatus::ok);
    EXPECT_EQ(rig.sim.log().back().status, TransferStatus::ok);
    EXPECT_EQ(rig.sim.log()[rig.sim.log().size() - 2].status, TransferStatus::timed_out);

    rig.sim.faults().failCommand(wire::single_step, sim::Failure::timeout);
    for (int i = 0; i < 3; ++i) {
        rig.in(wire::single_step, wire::reg_status, 3, &status);
        EXPECT_EQ(status, TransferStatus::timed_out);
    }
    rig.sim.faults().clear();
    rig.in(wire::single_step, wire::reg_status, 3, &status);
    EXPECT_EQ(status, TransferStatus::ok);
}

TEST(Faults, CorruptedReadsHitOnlyTheChosenAddress) {
    WireRig rig;
    rig.spiWrite(0x0000, {0x10, 0x11, 0x12});
    rig.clock->advance(7ms);
    rig.sim.faults().corruptRead(sim::Memory::spi_eeprom, 0x0001, 0x80);
    EXPECT_EQ(rig.spiRead(0x0000, 3), Bytes({0x10, 0x91, 0x12}));
    EXPECT_EQ(rig.sim.board().spi_eeprom.contents()[1], 0x11); // the memory itself is intact
}

TEST(Faults, UnplugAndPlugMakeANewDevice) {
    WireRig rig;
    const std::uint32_t before = rig.device();
    rig.sim.unplug();
    EXPECT_TRUE(rig.sim.devices().empty());
    const sim::ControlSetup setup{wire::vendor_out, wire::programmer_request, wire::select_spi, 0,
                                  0};
    EXPECT_EQ(rig.sim.control(before, setup, {}, {}).status, TransferStatus::no_device);
    EXPECT_EQ(rig.sim.open(before), sim::OpenResult::not_present);
    rig.sim.plug();
    EXPECT_NE(rig.device(), before);
    EXPECT_EQ(rig.sim.control(before, setup, {}, {}).status, TransferStatus::no_device);
    EXPECT_EQ(rig.sim.open(rig.device()), sim::OpenResult::ok);
    rig.sim.faults().holdByOtherProgram(true);
    EXPECT_EQ(rig.sim.open(rig.device()), sim::OpenResult::busy);
}

TEST(Faults, TheCablePulledAtAChosenTransferStaysOut) {
    WireRig rig;
    const std::uint32_t device = rig.device();
    const sim::ControlSetup setup{wire::vendor_out, wire::programmer_request, wire::select_spi, 0,
                                  0};
    rig.sim.faults().pullCableAfter(2);
    EXPECT_EQ(rig.out(wire::select_spi), TransferStatus::ok);
    EXPECT_EQ(rig.out(wire::select_spi), TransferStatus::ok);
    EXPECT_FALSE(rig.sim.devices().empty());
    EXPECT_EQ(rig.sim.control(device, setup, {}, {}).status, TransferStatus::no_device);
    EXPECT_TRUE(rig.sim.devices().empty());
    rig.sim.plug();
    EXPECT_EQ(rig.out(wire::select_spi), TransferStatus::ok); // pulled once, not again
    EXPECT_EQ(rig.sim.log().size(), 4u);
    EXPECT_EQ(rig.sim.log()[2].status, TransferStatus::no_device);
}

// A program started by a test (kz71prog, kz71sim) takes its faults from KZ71_SIM_FAULTS.
TEST(Faults, ReadFromTheirText) {
    sim::SimConfig config;
    config.faults = "unplug@3,stall=0x40*1,timeout=0xC0,corrupt=spi:0x1:0x80";
    std::vector<std::string> problems;
    config.report_problem = [&](const std::string& p) { problems.push_back(p); };
    WireRig rig(config);
    EXPECT_TRUE(problems.empty());
    const std::uint32_t device = rig.device();
    TransferStatus status{};
    rig.in(wire::read_register, 0xF0, 3, &status);
    EXPECT_EQ(status, TransferStatus::stalled);
    rig.in(wire::read_register, 0xF0, 3, &status);
    EXPECT_EQ(status, TransferStatus::ok);
    EXPECT_EQ(rig.out(wire::init_reset), TransferStatus::timed_out);
    EXPECT_EQ(rig.sim.faults().filterRead(sim::Memory::spi_eeprom, 1, 0x11), 0x91u);
    const sim::ControlSetup setup{wire::vendor_out, wire::programmer_request, wire::select_spi, 0,
                                  0};
    EXPECT_EQ(rig.sim.control(device, setup, {}, {}).status, TransferStatus::no_device);
    EXPECT_TRUE(rig.sim.devices().empty()); // the fourth transfer found the cable pulled

    for (const char* wrong : {"unplug@", "stall=0x40*0", "stall", "corrupt=rom:1:2",
                              "timeout=0x10000", "stall=0x40,nonsense"}) {
        sim::Faults faults;
        std::string problem;
        EXPECT_FALSE(sim::parseFaults(wrong, faults, problem)) << wrong;
        EXPECT_NE(problem.find("KZ71_SIM_FAULTS"), std::string::npos);
        EXPECT_FALSE(faults.takeFailure({wire::vendor_in, 0xB0, 0x40, 0, 3})) << wrong;
    }
    config.faults = "stall=";
    problems.clear();
    WireRig refused(config);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "KZ71_SIM_FAULTS: 'stall=' is not unplug@N, stall=CODE[*K], "
                           "timeout=CODE[*K] or corrupt=MEMORY:ADDRESS:MASK");
}

TEST(TransferLog, RecordsEveryTransferWithTimeAndData) {
    WireRig rig;
    rig.clock->advance(100ms);
    rig.writeRegister(wire::reg_scratch, 0xAA5566);
    rig.clock->advance(7ms);
    rig.in(wire::read_register, wire::reg_scratch, 3);
    rig.out(0x99);

    const sim::TransferLog& log = rig.sim.log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].time, 100ms);
    EXPECT_EQ(log[1].time, 100ms + rig.sim.config().transfer_time + 7ms);
    EXPECT_EQ(log[1].direction, sim::Direction::in);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"OUT B0 0000 00F0 [AA 55 66]",
                                                     "IN B0 0040 00F0 len 3 [AA 55 66]",
                                                     "OUT B0 0099 0000 [] stalled"}));
    EXPECT_EQ(sim::describeWithTime(log[0]), "   100.000 ms  OUT B0 0000 00F0 [AA 55 66]");
}

TEST(TransferLog, KeepsTheNewestEntriesWhenFull) {
    sim::SimConfig config;
    config.log_capacity = 4;
    WireRig rig(config);
    for (std::uint16_t i = 0; i < 10; ++i)
        rig.out(wire::set_iic_address, i);
    ASSERT_EQ(rig.sim.log().size(), 4u);
    EXPECT_EQ(rig.sim.log().dropped(), 6u);
    EXPECT_EQ(rig.sim.log()[0].index, 6);
    EXPECT_EQ(rig.sim.log().back().index, 9);
    rig.sim.log().clear();
    EXPECT_TRUE(rig.sim.log().empty());
}

} // namespace
