// The simulated bus: the loader's firmware load and re-enumeration, fault injection, the
// transfer log and its time stamps.
#include "wire_rig.h"

namespace {

using namespace sim_test;
using sim::TransferStatus;

sim::TransferStatus loaderWrite(WireRig& rig, std::uint32_t device, std::uint16_t address,
                                const Bytes& data) {
    const sim::ControlSetup setup{wire::vendor_out, wire::loader_write_request, address, 0,
                                  static_cast<std::uint16_t>(data.size())};
    return rig.sim.control(device, setup, data, {}).status;
}

sim::SimConfig loaderConfig() {
    sim::SimConfig config;
    config.start_as_loader = true;
    return config;
}

TEST(Loader, FirmwareWritesThenStartMakeTheProgrammerAppear) {
    WireRig rig(loaderConfig());
    const sim::DeviceInfo loader = rig.sim.devices().at(0);
    EXPECT_EQ(loader.model, wire::loader_model);
    EXPECT_EQ(loader.vendor, wire::manufacturer_id);

    EXPECT_EQ(loaderWrite(rig, loader.id, 0x0000, Bytes(16, 0x02)), TransferStatus::ok);
    EXPECT_EQ(loaderWrite(rig, loader.id, 0x0010, {0x90, 0xE6}), TransferStatus::ok);
    EXPECT_EQ(rig.sim.loader().bytesLoaded(), 18u);
    EXPECT_EQ(rig.sim.loader().memory()[0x11], 0xE6);
    EXPECT_EQ(loaderWrite(rig, loader.id, wire::loader_cpu_control, {0x30}), TransferStatus::ok);

    ASSERT_EQ(rig.sim.devices().size(), 1u);
    const sim::DeviceInfo programmer = rig.sim.devices().at(0);
    EXPECT_EQ(programmer.model, rig.sim.config().programmer_model);
    EXPECT_NE(programmer.id, loader.id);
    EXPECT_TRUE(rig.sim.firmwareRunning());
    // The loader has left the bus: its old sessions are dead.
    EXPECT_EQ(loaderWrite(rig, loader.id, 0x0000, {0x00}), TransferStatus::no_device);
    EXPECT_EQ(rig.in(wire::read_firmware_version, 0, 1).size(), 1u);
}

TEST(Loader, CpuHeldOrNothingLoadedKeepsTheLoader) {
    WireRig rig(loaderConfig());
    const std::uint32_t id = rig.device();
    EXPECT_EQ(loaderWrite(rig, id, wire::loader_cpu_control, {0x30}), TransferStatus::ok);
    EXPECT_FALSE(rig.sim.firmwareRunning()); // nothing to start
    loaderWrite(rig, id, 0x0000, {0x02, 0x00});
    loaderWrite(rig, id, wire::loader_cpu_control, {0x01}); // bit 0 holds the CPU
    EXPECT_FALSE(rig.sim.firmwareRunning());
    EXPECT_EQ(rig.sim.devices().at(0).model, wire::loader_model);
}

TEST(Loader, RefusesWritesBeyondItsMemoryAndOtherRequests) {
    WireRig rig(loaderConfig());
    const std::uint32_t id = rig.device();
    EXPECT_EQ(loaderWrite(rig, id, 0xFFFF, {1, 2}), TransferStatus::stalled);
    const sim::ControlSetup programmer_command{wire::vendor_out, wire::programmer_request,
                                               wire::power_reset, 0, 0};
    EXPECT_EQ(rig.sim.control(id, programmer_command, {}, {}).status, TransferStatus::stalled);
    EXPECT_EQ(rig.sim.loader().bytesLoaded(), 0u);
}

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
