// The programmer's command set: one function per command, each one vendor control transfer
// (bRequest 0xB0, the command code in wValue) on the session's instrument, and the procedures
// several operations share: the communication check and the SPI EEPROM write. Every function
// returns the transfer's VISA status (0 = success) and leaves it in the session's lastStatus.
#pragma once

#include "programmer/programmer_link.h"

#include <array>
#include <cstdint>
#include <span>

namespace programmer {

// A 24-bit register value, most significant byte first.
using RegisterValue = std::array<std::uint8_t, 3>;

// What a device-to-host command brought back.
struct Reply {
    ViStatus status = VI_SUCCESS;
    std::uint16_t received = 0;
    std::array<std::uint8_t, 3> bytes{};

    // The transfer succeeded and brought exactly `count` bytes.
    bool complete(std::uint16_t count) const { return status == VI_SUCCESS && received == count; }
};

namespace cmd {

// Host to device.
ViStatus writeRegister(ProgrammerLink& link, std::uint8_t number, const RegisterValue& value);
ViStatus vppOtpOff(ProgrammerLink& link);
ViStatus vppOtpOn(ProgrammerLink& link);
ViStatus setProgrammerVoltage(ProgrammerLink& link, std::uint8_t code);
ViStatus resetLineOff(ProgrammerLink& link);
ViStatus resetLineOn(ProgrammerLink& link);
ViStatus spiSendByte(ProgrammerLink& link, std::uint8_t byte);
ViStatus spiSelectAndSendByte(ProgrammerLink& link, std::uint8_t byte);
ViStatus spiDeselect(ProgrammerLink& link);
ViStatus selectSpiInterface(ProgrammerLink& link);
ViStatus selectIicInterface(ProgrammerLink& link);
ViStatus setIicAddress(ProgrammerLink& link, std::uint16_t address);
ViStatus bgapOff(ProgrammerLink& link);
ViStatus bgapOn(ProgrammerLink& link);
ViStatus leaveDebugMode(ProgrammerLink& link);
ViStatus enterDebugMode(ProgrammerLink& link);
ViStatus eepromEnableOff(ProgrammerLink& link);
ViStatus eepromEnableOn(ProgrammerLink& link);
ViStatus writeUserEepromCell(ProgrammerLink& link, std::uint8_t cell, std::uint8_t value);
ViStatus eraseUserEeprom(ProgrammerLink& link);
ViStatus writeOtpByte(ProgrammerLink& link, std::uint16_t address, std::uint8_t value);
ViStatus otpOff(ProgrammerLink& link);
ViStatus enableOtp(ProgrammerLink& link);
ViStatus otpProgrammingOff(ProgrammerLink& link);
ViStatus enableOtpProgramming(ProgrammerLink& link);
ViStatus otpReadSetup(ProgrammerLink& link);
ViStatus initReset(ProgrammerLink& link);
ViStatus powerReset(ProgrammerLink& link);

// Device to host.
Reply readFirmwareVersion(ProgrammerLink& link);
Reply readRegister(ProgrammerLink& link, std::uint8_t number);
Reply spiReadByte(ProgrammerLink& link);
Reply singleStep(ProgrammerLink& link, std::uint8_t number = wire::reg_status);
Reply readProgramWord(ProgrammerLink& link, std::uint16_t wordAddress);
Reply readOtpByte(ProgrammerLink& link, std::uint16_t address);

} // namespace cmd

// Writes register 0xF0 with 0, then AA 55 66, reads it back and clears it again (also after a
// failed comparison), reporting the status of each write. Passes when the read brought exactly
// AA 55 66.
bool communicationCheck(ProgrammerLink& link);

// The SPI EEPROM write of `bytes` at `address`: write enable, write instruction, the address
// high byte first, the bytes, deselect. Returns the OR of the statuses of all its transfers; the
// caller pauses for the write cycle.
ViStatus spiEepromWrite(ProgrammerLink& link, std::uint16_t address,
                        std::span<const std::uint8_t> bytes);

// The reset pulse of the debugger: reset line on, then off (the OR of both statuses).
ViStatus resetPulse(ProgrammerLink& link);

} // namespace programmer
