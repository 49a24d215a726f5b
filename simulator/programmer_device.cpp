#include "simulator/programmer_device.h"

#include "protocol/command_codes.h"

#include <array>

namespace sim {

namespace {

bool isDataFree(std::span<const std::uint8_t> data) {
    return data.empty();
}

// A user EEPROM command's data: the value, the value again and the key byte.
bool keyedValue(std::span<const std::uint8_t> data) {
    return data[0] == data[1] && data[2] == wire::user_eeprom_key;
}

} // namespace

TransferResult ProgrammerDevice::control(const ControlSetup& setup,
                                         std::span<const std::uint8_t> out,
                                         std::span<std::uint8_t> in, Time now) {
    if (setup.request != wire::programmer_request) return stalled();
    if (setup.requestType == wire::vendor_out)
        return commandOut(setup.value, setup.index, out, now);
    if (setup.requestType == wire::vendor_in) return commandIn(setup.value, setup.index, in, now);
    return stalled();
}

TransferResult ProgrammerDevice::commandOut(std::uint16_t command, std::uint16_t index,
                                            std::span<const std::uint8_t> data, Time now) {
    SpiEeprom& eeprom = board_.spi_eeprom;
    switch (command) {
    case wire::vpp_otp_off:
        if (!isDataFree(data)) return stalled();
        board_.chip.otp().setVpp(false, now);
        return {};
    case wire::vpp_otp_on:
        if (data.size() > 1) return stalled();
        if (data.empty()) {
            board_.chip.otp().setVpp(true, now);
        } else {
            voltage_code_ = data[0];
        }
        return {};
    case wire::reset_line_off:
    case wire::reset_line_on:
        if (!isDataFree(data)) return stalled();
        setResetLine(command == wire::reset_line_on);
        return {};
    case wire::spi_select_send:
    case wire::spi_send_byte:
        if (!isDataFree(data) || index > 0xFF) return stalled();
        if (command == wire::spi_select_send) eeprom.select(now);
        eeprom.exchange(static_cast<std::uint8_t>(index), now);
        return {};
    case wire::spi_deselect:
        if (!isDataFree(data)) return stalled();
        eeprom.deselect(now);
        return {};
    case wire::select_spi:
    case wire::select_iic:
        if (!isDataFree(data)) return stalled();
        interface_ = command == wire::select_spi ? ChipInterface::spi : ChipInterface::iic;
        return {};
    case wire::set_iic_address:
        if (!isDataFree(data)) return stalled();
        iic_address_ = index;
        return {};
    case wire::init_reset:
    case wire::power_reset:
        if (!isDataFree(data)) return stalled();
        if (command == wire::power_reset) {
            board_.powerReset();
        } else {
            board_.initReset();
        }
        return {};
    default:
        return chipCommandOut(command, index, data, now);
    }
}

// Commands the programmer passes to the chip over SPI or IIC: lost when the chip does not answer.
TransferResult ProgrammerDevice::chipCommandOut(std::uint16_t command, std::uint16_t index,
                                                std::span<const std::uint8_t> data, Time now) {
    Chip& chip = board_.chip;
    UserEeprom& user_eeprom = chip.userEeprom();
    const bool reachable = chipReachable();
    switch (command) {
    case wire::write_register:
        if (data.size() != 3 || index > 0xFF) return stalled();
        if (reachable)
            chip.writeRegister(static_cast<std::uint8_t>(index),
                               (std::uint32_t{data[0]} << 16) | (data[1] << 8) | data[2]);
        return {};
    case wire::bgap_off:
    case wire::bgap_on:
    case wire::eeprom_enable_off:
    case wire::eeprom_enable_on:
    case wire::leave_debug_mode:
    case wire::enter_debug_mode:
        if (!isDataFree(data)) return stalled();
        if (!reachable) return {};
        if (command == wire::bgap_off || command == wire::bgap_on)
            user_eeprom.setBandgap(command == wire::bgap_on);
        if (command == wire::eeprom_enable_off || command == wire::eeprom_enable_on)
            user_eeprom.setEnabled(command == wire::eeprom_enable_on);
        if (command == wire::leave_debug_mode || command == wire::enter_debug_mode)
            debug_mode_ = command == wire::enter_debug_mode;
        return {};
    case wire::write_user_eeprom_cell:
        if (data.size() != 3 || index >= UserEeprom::size) return stalled();
        if (reachable && keyedValue(data)) user_eeprom.write(index, data[0], now);
        return {};
    case wire::erase_user_eeprom:
        if (data.size() != 3) return stalled();
        if (reachable && keyedValue(data) && data[0] == 0x00) user_eeprom.erase(now);
        return {};
    default:
        return otpCommandOut(command, index, data, now);
    }
}

TransferResult ProgrammerDevice::otpCommandOut(std::uint16_t command, std::uint16_t index,
                                               std::span<const std::uint8_t> data, Time now) {
    Otp& otp = board_.chip.otp();
    const bool reachable = chipReachable();
    switch (command) {
    case wire::write_otp_byte:
        if (data.size() != 1 || index >= Otp::size) return stalled();
        if (reachable) otp.write(index, data[0], now);
        return {};
    case wire::otp_off:
    case wire::enable_otp:
    case wire::otp_programming_off:
    case wire::enable_otp_programming:
    case wire::otp_read_setup:
        if (!isDataFree(data)) return stalled();
        if (!reachable) return {};
        if (command == wire::otp_off || command == wire::enable_otp)
            otp.setEnabled(command == wire::enable_otp);
        if (command == wire::otp_programming_off || command == wire::enable_otp_programming)
            otp.setProgramming(command == wire::enable_otp_programming);
        if (command == wire::otp_read_setup) otp.setupRead();
        return {};
    default:
        return stalled();
    }
}

TransferResult ProgrammerDevice::commandIn(std::uint16_t command, std::uint16_t index,
                                           std::span<std::uint8_t> in, Time now) {
    switch (command) {
    case wire::read_firmware_version:
        return reply(in, firmware_version_);
    case wire::read_register:
        return replyRegister(index, in);
    case wire::spi_read_byte:
        return reply(in, board_.spi_eeprom.exchange(0xFF, now));
    case wire::single_step:
        if (index > 0xFF) return stalled();
        if (debug_mode_ && !reset_line_ && chipReachable()) board_.chip.step();
        return replyRegister(index, in);
    case wire::read_program_word:
        return replyProgramWord(index, in);
    case wire::read_otp_byte:
        if (index >= Otp::size) return stalled();
        return reply(in, chipReachable() ? board_.chip.otp().read(index) : std::uint8_t{0xFF});
    default:
        return stalled();
    }
}

TransferResult ProgrammerDevice::replyRegister(std::uint16_t index,
                                               std::span<std::uint8_t> in) const {
    if (index > 0xFF) return stalled();
    std::uint32_t value = 0xFFFFFF; // an unanswered read sees the idle bus
    if (chipReachable())
        value = faults_.filterRead(Memory::registers, index,
                                   board_.chip.readRegister(static_cast<std::uint8_t>(index))) &
                Chip::value_mask;
    const std::array<std::uint8_t, 3> bytes{static_cast<std::uint8_t>(value >> 16),
                                            static_cast<std::uint8_t>(value >> 8),
                                            static_cast<std::uint8_t>(value)};
    return reply(in, bytes);
}

// The program memory is readable while the bandgap and the EEPROM enable are on.
TransferResult ProgrammerDevice::replyProgramWord(std::uint16_t index,
                                                  std::span<std::uint8_t> in) const {
    if (index >= Chip::program_size / 2) return stalled();
    const Chip& chip = board_.chip;
    std::array<std::uint8_t, 2> bytes{0xFF, 0xFF};
    if (chipReachable() && chip.userEeprom().bandgap() && chip.userEeprom().enabled()) {
        for (std::size_t i = 0; i < 2; ++i) {
            const std::uint32_t address = 2u * index + i;
            bytes[i] = static_cast<std::uint8_t>(
                faults_.filterRead(Memory::program_memory, address, chip.program()[address]));
        }
    }
    return reply(in, bytes);
}

void ProgrammerDevice::powerOn() {
    interface_ = ChipInterface::spi;
    iic_address_ = 0;
    debug_mode_ = false;
    reset_line_ = false;
    voltage_code_.reset();
}

void ProgrammerDevice::setResetLine(bool on) {
    // Asserting the reset line resets the chip and holds it until the line is released.
    if (on && !reset_line_) board_.initReset();
    reset_line_ = on;
}

} // namespace sim
