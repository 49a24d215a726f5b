#include "programmer/command_set.h"

#include "programmer/session.h"

namespace programmer {

namespace {

ViStatus command(ProgrammerLink& link, std::uint16_t code, std::uint16_t index = 0,
                 std::span<const std::uint8_t> data = {}) {
    return transferOut(link, link.session.instrument, wire::programmer_request, code, index, data);
}

Reply request(ProgrammerLink& link, std::uint16_t code, std::uint16_t index, std::uint16_t length) {
    Reply reply;
    reply.status = transferIn(link, link.session.instrument, code, index,
                              std::span(reply.bytes).first(length), reply.received);
    return reply;
}

} // namespace

namespace cmd {

ViStatus writeRegister(ProgrammerLink& link, std::uint8_t number, const RegisterValue& value) {
    return command(link, wire::write_register, number, value);
}
ViStatus vppOtpOff(ProgrammerLink& link) {
    return command(link, wire::vpp_otp_off);
}
ViStatus vppOtpOn(ProgrammerLink& link) {
    return command(link, wire::vpp_otp_on);
}
ViStatus setProgrammerVoltage(ProgrammerLink& link, std::uint8_t code) {
    const std::uint8_t data[] = {code};
    return command(link, wire::vpp_otp_on, 0, data);
}
ViStatus resetLineOff(ProgrammerLink& link) {
    return command(link, wire::reset_line_off);
}
ViStatus resetLineOn(ProgrammerLink& link) {
    return command(link, wire::reset_line_on);
}
ViStatus spiSendByte(ProgrammerLink& link, std::uint8_t byte) {
    return command(link, wire::spi_send_byte, byte);
}
ViStatus spiSelectAndSendByte(ProgrammerLink& link, std::uint8_t byte) {
    return command(link, wire::spi_select_send, byte);
}
ViStatus spiDeselect(ProgrammerLink& link) {
    return command(link, wire::spi_deselect);
}
ViStatus selectSpiInterface(ProgrammerLink& link) {
    return command(link, wire::select_spi);
}
ViStatus selectIicInterface(ProgrammerLink& link) {
    return command(link, wire::select_iic);
}
ViStatus setIicAddress(ProgrammerLink& link, std::uint16_t address) {
    return command(link, wire::set_iic_address, address);
}
ViStatus bgapOff(ProgrammerLink& link) {
    return command(link, wire::bgap_off);
}
ViStatus bgapOn(ProgrammerLink& link) {
    return command(link, wire::bgap_on);
}
ViStatus leaveDebugMode(ProgrammerLink& link) {
    return command(link, wire::leave_debug_mode);
}
ViStatus enterDebugMode(ProgrammerLink& link) {
    return command(link, wire::enter_debug_mode);
}
ViStatus eepromEnableOff(ProgrammerLink& link) {
    return command(link, wire::eeprom_enable_off);
}
ViStatus eepromEnableOn(ProgrammerLink& link) {
    return command(link, wire::eeprom_enable_on);
}
ViStatus writeUserEepromCell(ProgrammerLink& link, std::uint8_t cell, std::uint8_t value) {
    const std::uint8_t data[] = {value, value, wire::user_eeprom_key};
    return command(link, wire::write_user_eeprom_cell, cell, data);
}
ViStatus eraseUserEeprom(ProgrammerLink& link) {
    const std::uint8_t data[] = {0x00, 0x00, wire::user_eeprom_key};
    return command(link, wire::erase_user_eeprom, 0, data);
}
ViStatus writeOtpByte(ProgrammerLink& link, std::uint16_t address, std::uint8_t value) {
    const std::uint8_t data[] = {value};
    return command(link, wire::write_otp_byte, address, data);
}
ViStatus otpOff(ProgrammerLink& link) {
    return command(link, wire::otp_off);
}
ViStatus enableOtp(ProgrammerLink& link) {
    return command(link, wire::enable_otp);
}
ViStatus otpProgrammingOff(ProgrammerLink& link) {
    return command(link, wire::otp_programming_off);
}
ViStatus enableOtpProgramming(ProgrammerLink& link) {
    return command(link, wire::enable_otp_programming);
}
ViStatus otpReadSetup(ProgrammerLink& link) {
    return command(link, wire::otp_read_setup);
}
ViStatus initReset(ProgrammerLink& link) {
    return command(link, wire::init_reset);
}
ViStatus powerReset(ProgrammerLink& link) {
    return command(link, wire::power_reset);
}

Reply readFirmwareVersion(ProgrammerLink& link) {
    return request(link, wire::read_firmware_version, 0, 1);
}
Reply readRegister(ProgrammerLink& link, std::uint8_t number) {
    return request(link, wire::read_register, number, 3);
}
Reply spiReadByte(ProgrammerLink& link) {
    return request(link, wire::spi_read_byte, 0, 1);
}
Reply singleStep(ProgrammerLink& link, std::uint8_t number) {
    return request(link, wire::single_step, number, 3);
}
Reply readProgramWord(ProgrammerLink& link, std::uint16_t wordAddress) {
    return request(link, wire::read_program_word, wordAddress, 2);
}
Reply readOtpByte(ProgrammerLink& link, std::uint16_t address) {
    return request(link, wire::read_otp_byte, address, 1);
}

} // namespace cmd

bool communicationCheck(ProgrammerLink& link) {
    constexpr RegisterValue zero{0x00, 0x00, 0x00};
    constexpr RegisterValue pattern{0xAA, 0x55, 0x66};
    reportVisaStatus(link, cmd::writeRegister(link, wire::reg_scratch, zero));
    reportVisaStatus(link, cmd::writeRegister(link, wire::reg_scratch, pattern));
    const Reply reply = cmd::readRegister(link, wire::reg_scratch);
    reportVisaStatus(link, cmd::writeRegister(link, wire::reg_scratch, zero));
    return reply.complete(3) && reply.bytes == pattern;
}

ViStatus spiEepromWrite(ProgrammerLink& link, std::uint16_t address,
                        std::span<const std::uint8_t> bytes) {
    constexpr std::uint8_t write_enable = 0x06;
    constexpr std::uint8_t write = 0x02;
    ViStatus status = cmd::spiSelectAndSendByte(link, write_enable);
    status |= cmd::spiDeselect(link);
    status |= cmd::spiSelectAndSendByte(link, write);
    status |= cmd::spiSendByte(link, static_cast<std::uint8_t>(address >> 8));
    status |= cmd::spiSendByte(link, static_cast<std::uint8_t>(address & 0xFF));
    for (const std::uint8_t byte : bytes)
        status |= cmd::spiSendByte(link, byte);
    status |= cmd::spiDeselect(link);
    return status;
}

ViStatus resetPulse(ProgrammerLink& link) {
    const ViStatus on = cmd::resetLineOn(link);
    return on | cmd::resetLineOff(link);
}

} // namespace programmer
