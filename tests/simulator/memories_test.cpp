// The board's memories as the programmer reaches them: SPI EEPROM, OTP and user EEPROM, with
// their timing on the virtual clock.
#include "wire_rig.h"

namespace {

using namespace sim_test;
using sim::TransferStatus;

Bytes sequence(std::uint8_t first, std::size_t count) {
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(first + i));
    return bytes;
}

TEST(SpiEeprom, PageWriteWithWriteCyclePauseReadsBack) {
    WireRig rig;
    rig.spiWrite(0x0010, sequence(1, 16));
    rig.clock->advance(7ms);
    rig.spiWrite(0x0020, sequence(0x41, 16));
    rig.clock->advance(7ms);

    const Bytes read = rig.spiRead(0x0000, 0x30);
    EXPECT_EQ(Bytes(read.begin(), read.begin() + 16), Bytes(16, 0xFF)); // blank before
    EXPECT_EQ(Bytes(read.begin() + 16, read.begin() + 32), sequence(1, 16));
    EXPECT_EQ(Bytes(read.begin() + 32, read.end()), sequence(0x41, 16));
}

TEST(SpiEeprom, PageWrittenDuringTheWriteCycleIsLost) {
    WireRig rig;
    rig.spiWrite(0x0000, sequence(1, 16));
    rig.spiWrite(0x0010, sequence(0x41, 16)); // no pause: the EEPROM is still busy
    rig.clock->advance(7ms);
    EXPECT_EQ(rig.spiRead(0x0000, 16), sequence(1, 16));
    EXPECT_EQ(rig.spiRead(0x0010, 16), Bytes(16, 0xFF));
    // A read while busy is ignored as well: the bus stays high.
    rig.spiWrite(0x0000, {0x55});
    EXPECT_EQ(rig.spiRead(0x0000, 2), Bytes(2, 0xFF));
    rig.clock->advance(6ms);
    EXPECT_EQ(rig.spiRead(0x0000, 2), Bytes({0x55, 0x02}));
}

TEST(SpiEeprom, WriteNeedsWriteEnableAndWrapsWithinItsPage) {
    WireRig rig;
    // Write without the write enable instruction first.
    rig.out(wire::spi_select_send, 0x02);
    rig.out(wire::spi_send_byte, 0x00);
    rig.out(wire::spi_send_byte, 0x00);
    rig.out(wire::spi_send_byte, 0x12);
    rig.out(wire::spi_deselect);
    rig.clock->advance(10ms);
    EXPECT_EQ(rig.spiRead(0x0000, 1), Bytes{0xFF});

    rig.spiWrite(0x001E, {0xA1, 0xA2, 0xA3}); // the third byte wraps to 0x0000
    rig.clock->advance(10ms);
    EXPECT_EQ(rig.spiRead(0x001E, 2), Bytes({0xA1, 0xA2}));
    EXPECT_EQ(rig.spiRead(0x0000, 1), Bytes{0xA3});
    EXPECT_EQ(rig.spiRead(0x0020, 1), Bytes{0xFF});
}

// Switches the OTP on for programming, as a download does, and waits for VPP to settle.
void startOtpProgramming(WireRig& rig, std::chrono::milliseconds settle = 1000ms) {
    rig.out(wire::vpp_otp_on);
    rig.clock->advance(settle);
    rig.out(wire::enable_otp);
    rig.out(wire::enable_otp_programming);
}

void startOtpReading(WireRig& rig) {
    rig.out(wire::enable_otp);
    rig.out(wire::otp_read_setup);
    rig.out(wire::otp_programming_off);
}

std::uint8_t readOtp(WireRig& rig, std::uint16_t address) {
    return rig.in(wire::read_otp_byte, address, 1).at(0);
}

TEST(Otp, BytesAreWrittenOnceAndReadBack) {
    WireRig rig;
    startOtpProgramming(rig);
    rig.out(wire::write_otp_byte, 0x0000, {0x12});
    rig.out(wire::write_otp_byte, 0x1000, {0x34});
    rig.out(wire::write_otp_byte, 0x0000, {0x56}); // spent: stays 0x12
    rig.out(wire::otp_programming_off);
    rig.out(wire::otp_off);
    rig.out(wire::vpp_otp_off);

    EXPECT_EQ(readOtp(rig, 0x0000), 0xFF); // reading is not set up
    startOtpReading(rig);
    EXPECT_EQ(readOtp(rig, 0x0000), 0x12);
    EXPECT_EQ(readOtp(rig, 0x1000), 0x34);
    EXPECT_EQ(readOtp(rig, 0x0001), 0x00); // never programmed
    EXPECT_TRUE(rig.sim.chip().otp().programmed()[0]);
    EXPECT_FALSE(rig.sim.chip().otp().programmed()[1]);
}

TEST(Otp, WritesNeedSettledVppAndBothEnables) {
    WireRig rig;
    startOtpProgramming(rig, 10ms); // VPP has not settled
    rig.out(wire::write_otp_byte, 0x0001, {0x11});
    rig.clock->advance(1000ms);
    rig.out(wire::otp_programming_off);
    rig.out(wire::write_otp_byte, 0x0002, {0x22}); // programming not enabled
    rig.out(wire::enable_otp_programming);
    rig.out(wire::write_otp_byte, 0x0003, {0x33});
    rig.out(wire::vpp_otp_off);
    rig.out(wire::write_otp_byte, 0x0004, {0x44}); // VPP off again

    startOtpReading(rig);
    EXPECT_EQ(readOtp(rig, 0x0001), 0x00);
    EXPECT_EQ(readOtp(rig, 0x0002), 0x00);
    EXPECT_EQ(readOtp(rig, 0x0003), 0x33);
    EXPECT_EQ(readOtp(rig, 0x0004), 0x00);
}

TEST(Otp, ReadProtectByteHidesTheContents) {
    WireRig rig;
    startOtpProgramming(rig);
    rig.out(wire::write_otp_byte, 0x0005, {0xA5});
    startOtpReading(rig);
    EXPECT_EQ(readOtp(rig, 0x0005), 0xA5);
    startOtpProgramming(rig);
    rig.out(wire::write_otp_byte, 0x1FCF, {0xFF});
    startOtpReading(rig);
    EXPECT_EQ(readOtp(rig, 0x0005), 0x00);
    EXPECT_TRUE(rig.sim.chip().otp().readProtected());
}

TEST(Otp, AddressesBeyondTheOtpAreStalled) {
    WireRig rig;
    startOtpProgramming(rig);
    EXPECT_EQ(rig.out(wire::write_otp_byte, 0x2000, {0x01}), TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::write_otp_byte, 0x0000, {0x01, 0x02}), TransferStatus::stalled);
    TransferStatus status{};
    EXPECT_TRUE(rig.in(wire::read_otp_byte, 0xFFFF, 1, &status).empty());
    EXPECT_EQ(status, TransferStatus::stalled);
}

void writeCell(WireRig& rig, std::uint16_t cell, std::uint8_t value) {
    rig.out(wire::write_user_eeprom_cell, cell, {value, value, wire::user_eeprom_key});
}

TEST(UserEeprom, EraseAndCellWritesWithTheirPauses) {
    WireRig rig;
    rig.sim.chip().userEeprom().cells().fill(0x99);
    rig.out(wire::bgap_on);
    rig.out(wire::eeprom_enable_on);
    rig.out(wire::erase_user_eeprom, 0, {0x00, 0x00, wire::user_eeprom_key});
    rig.clock->advance(40ms);
    writeCell(rig, 0, 0xFF);
    rig.clock->advance(50ms);
    writeCell(rig, 127, 0x42);
    rig.clock->advance(50ms);

    const auto& cells = rig.sim.chip().userEeprom().cells();
    EXPECT_EQ(cells[0], 0xFF);
    EXPECT_EQ(cells[1], 0x00);
    EXPECT_EQ(cells[127], 0x42);
}

TEST(UserEeprom, WritesAreLostWithoutSwitchesOrWhileBusy) {
    WireRig rig;
    writeCell(rig, 1, 0x11); // BGAP and EEPROM enable off
    rig.out(wire::bgap_on);
    writeCell(rig, 2, 0x22); // EEPROM enable still off
    rig.out(wire::eeprom_enable_on);
    rig.out(wire::erase_user_eeprom, 0, {0x00, 0x00, wire::user_eeprom_key});
    writeCell(rig, 3, 0x33); // the erase still runs
    rig.clock->advance(40ms);
    writeCell(rig, 4, 0x44);
    writeCell(rig, 5, 0x55); // the write of cell 4 still runs
    rig.clock->advance(50ms);
    rig.out(wire::write_user_eeprom_cell, 6, {0x66, 0x67, wire::user_eeprom_key}); // bad copy
    rig.out(wire::write_user_eeprom_cell, 7, {0x77, 0x77, 0x00});                  // bad key

    const auto& cells = rig.sim.chip().userEeprom().cells();
    EXPECT_EQ(cells[1], 0x00);
    EXPECT_EQ(cells[2], 0x00);
    EXPECT_EQ(cells[3], 0x00);
    EXPECT_EQ(cells[4], 0x44);
    EXPECT_EQ(cells[5], 0x00);
    EXPECT_EQ(cells[6], 0x00);
    EXPECT_EQ(cells[7], 0x00);
    EXPECT_EQ(rig.out(wire::write_user_eeprom_cell, 128, {1, 1, wire::user_eeprom_key}),
              TransferStatus::stalled);
    EXPECT_EQ(rig.out(wire::erase_user_eeprom), TransferStatus::stalled);
}

} // namespace
