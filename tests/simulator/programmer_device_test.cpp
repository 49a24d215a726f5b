// The programmer's command set on the wire: registers, the communication check, interface
// selection, resets, and the requests it must refuse.
#include "wire_rig.h"

namespace {

using namespace sim_test;
using sim::TransferStatus;

// The communication check of a download: true when the scratch register echoes AA 55 66.
bool communicationCheck(WireRig& rig) {
    rig.writeRegister(wire::reg_scratch, 0x000000);
    rig.writeRegister(wire::reg_scratch, 0xAA5566);
    const Bytes echo = rig.in(wire::read_register, wire::reg_scratch, 3);
    rig.writeRegister(wire::reg_scratch, 0x000000);
    return echo == Bytes({0xAA, 0x55, 0x66});
}

TEST(Registers, StatusRegisterCarriesFlagsAndProgramAddress) {
    WireRig rig;
    rig.out(wire::write_register, wire::reg_status, {0x80, 0x21, 0x34});
    EXPECT_EQ(rig.sim.chip().programAddress(), 0x0134);
    EXPECT_EQ(rig.sim.chip().flags(), wire::flag_signum);
    const Bytes status = rig.in(wire::read_register, wire::reg_status, 3);
    ASSERT_EQ(status.size(), 3u);
    EXPECT_EQ(wire::programAddress(status[1], status[2]), 0x0134);
    EXPECT_EQ(status[0], 0x80);
    EXPECT_EQ(wire::programAddress(0x21, 0x34), 0x0134);
}

TEST(Registers, RamPointerGivesTheRamAddressInBits14To7) {
    WireRig rig;
    rig.out(wire::write_register, wire::reg_ram_pointer, {0x00, 0x12, 0x80});
    EXPECT_EQ(rig.sim.chip().ramAddress(), 0x25);
    EXPECT_EQ(wire::ramAddress(0x12, 0x80), 0x25);
    rig.writeRegister(0x25, 0x123456);
    EXPECT_EQ(rig.sim.chip().accumulator(3), 0x123456u); // r is the RAM cell at the pointer
}

TEST(Registers, WriteSendsThreeBytesMostSignificantFirst) {
    WireRig rig;
    rig.writeRegister(wire::reg_hb0, 0xFFFFFB);
    EXPECT_EQ(rig.sim.log().back().data, Bytes({0xFF, 0xFF, 0xFB}));
    EXPECT_EQ(rig.sim.log().back().length, 3);
    EXPECT_EQ(rig.readRegister(wire::reg_hb0), 0xFFFFFBu);
}

TEST(CommunicationCheck, PassesAndFailsOnACorruptedEcho) {
    WireRig rig;
    EXPECT_TRUE(communicationCheck(rig));
    rig.sim.faults().corruptRead(sim::Memory::registers, wire::reg_scratch, 0x000001);
    EXPECT_FALSE(communicationCheck(rig));
    EXPECT_EQ(rig.sim.log()[rig.sim.log().size() - 2].data, Bytes({0xAA, 0x55, 0x67}));
    EXPECT_EQ(rig.sim.chip().readRegister(wire::reg_scratch), 0u); // restored all the same
}

TEST(CommunicationCheck, FollowsTheSelectedInterfaceAndIicAddress) {
    WireRig rig;
    rig.out(wire::select_iic);
    rig.out(wire::set_iic_address, 0x21);
    EXPECT_FALSE(communicationCheck(rig));
    EXPECT_EQ(rig.readRegister(wire::reg_scratch), 0xFFFFFFu); // nobody answers
    rig.out(wire::set_iic_address, 0x20);
    EXPECT_TRUE(communicationCheck(rig));
    EXPECT_EQ(rig.sim.programmer().chipInterface(), sim::ChipInterface::iic);
    EXPECT_EQ(rig.sim.programmer().iicAddress(), 0x20);

    sim::SimConfig pinned;
    pinned.board_switch = sim::BoardSwitch::spi; // the board's switch was left on SPI
    WireRig spi_board(pinned);
    spi_board.out(wire::select_iic);
    spi_board.out(wire::set_iic_address, 0x20);
    EXPECT_FALSE(communicationCheck(spi_board));
    spi_board.out(wire::select_spi);
    EXPECT_TRUE(communicationCheck(spi_board));
}

TEST(Commands, FirmwareVersionAndProgrammerVoltage) {
    sim::SimConfig config;
    config.firmware_version = 7;
    WireRig rig(config);
    EXPECT_EQ(rig.in(wire::read_firmware_version, 0, 1), Bytes{7});
    rig.out(wire::vpp_otp_on, 0, {0x99});
    EXPECT_EQ(rig.sim.programmer().voltageCode(), 0x99);
    EXPECT_FALSE(rig.sim.chip().otp().vppSettled(rig.clock->now() + 1h)); // VPP stays off
}

TEST(Commands, ResetsClearWhatTheyShould) {
    WireRig rig;
    rig.writeRegister(0x10, 0x111111);
    rig.writeRegister(wire::reg_accu_x, 0x222222);
    rig.out(wire::bgap_on);
    rig.out(wire::init_reset);
    EXPECT_EQ(rig.readRegister(0x10), 0x111111u);
    EXPECT_EQ(rig.readRegister(wire::reg_accu_x), 0u);
    EXPECT_TRUE(rig.sim.chip().userEeprom().bandgap());
    rig.out(wire::power_reset);
    EXPECT_EQ(rig.readRegister(0x10), 0u);
    EXPECT_FALSE(rig.sim.chip().userEeprom().bandgap());
}

TEST(Commands, ResetsLoadTheProgramFromItsStore) {
    WireRig rig;
    rig.spiWrite(0x0000, {0x71, 0x72});
    rig.clock->advance(7ms);
    rig.out(wire::power_reset);
    EXPECT_EQ(rig.sim.chip().program()[0], 0x71);
    rig.out(wire::bgap_on);
    rig.out(wire::eeprom_enable_on);
    EXPECT_EQ(rig.in(wire::read_program_word, 0, 2), Bytes({0x71, 0x72}));
    EXPECT_EQ(rig.in(wire::read_program_word, 1, 2), Bytes({0xFF, 0xFF})); // blank EEPROM

    // Once the OTP holds a program, the chip runs from the OTP.
    rig.out(wire::vpp_otp_on);
    rig.clock->advance(1000ms);
    rig.out(wire::enable_otp);
    rig.out(wire::enable_otp_programming);
    rig.out(wire::write_otp_byte, 0, {0x51});
    rig.out(wire::init_reset);
    EXPECT_EQ(rig.sim.chip().program()[0], 0x51);
    EXPECT_EQ(rig.sim.chip().program()[1], 0x00);
}

TEST(Commands, RepliesAreCutToTheLengthAskedFor) {
    WireRig rig;
    rig.writeRegister(0x30, 0xABCDEF);
    EXPECT_EQ(rig.in(wire::read_register, 0x30, 8), Bytes({0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(rig.in(wire::read_register, 0x30, 1), Bytes({0xAB}));
    EXPECT_TRUE(rig.in(wire::read_register, 0x30, 0).empty());
}

TEST(Commands, MalformedRequestsAreStalledAndChangeNothing) {
    WireRig rig;
    rig.writeRegister(0x30, 0x000001);
    EXPECT_EQ(rig.out(wire::write_register, 0x30, {1, 2}), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::write_register, 0x30, {1, 2, 3, 4}), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::write_register, 0x130, {1, 2, 3}), TransferStatus::stalled);
    EXPECT_EQ(rig.out(0x99), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::power_reset, 0, {1}), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::spi_send_byte, 0x100), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::read_register, 0x30), TransferStatus::stalled); // an IN command
    TransferStatus status{};
    rig.in(wire::select_spi, 0, 1, &status); // an OUT command
    EXPECT_EQ(status, TransferStatus::stalled);
    rig.in(wire::read_register, 0x1FF, 3, &status);
    EXPECT_EQ(status, TransferStatus::stalled);
    rig.in(wire::single_step, 0x100, 3, &status);
    EXPECT_EQ(status, TransferStatus::stalled);
    rig.in(wire::read_program_word, 0x1000, 2, &status);
    EXPECT_EQ(status, TransferStatus::stalled);

    // Other request codes and types: the loader's request is never answered by the programmer.
    const sim::ControlSetup loader_write{wire::vendor_out, wire::loader_write_request, 0xE600, 0,
                                         1};
    const Bytes byte{0x00};
    EXPECT_EQ(rig.sim.control(rig.device(), loader_write, byte, {}).status,
              TransferStatus::stalled);
    const sim::ControlSetup class_request{0x21, wire::programmer_request, wire::power_reset, 0, 0};
    EXPECT_EQ(rig.sim.control(rig.device(), class_request, {}, {}).status, TransferStatus::stalled);
    EXPECT_EQ(rig.readRegister(0x30), 0x000001u);
}

} // namespace
