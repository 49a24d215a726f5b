// The programmer's wire protocol: setup fields and command codes of its vendor requests, and the
// loader's memory write. Shared by the host sequences and the simulated devices.
#pragma once

#include <cstdint>

namespace wire {

// The setup packet of a USB control transfer.
struct ControlSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;

    bool deviceToHost() const { return (requestType & 0x80) != 0; }
};

inline constexpr std::uint16_t manufacturer_id = 0x194E;
inline constexpr std::uint16_t programmer_model = 0x0001;
inline constexpr std::uint16_t programmer_model_alt = 0x100F;
inline constexpr std::uint16_t loader_model = 0x100A;

inline constexpr std::uint8_t vendor_out = 0x40; // bmRequestType, host to device
inline constexpr std::uint8_t vendor_in = 0xC0;  // bmRequestType, device to host
inline constexpr std::uint8_t programmer_request = 0xB0;
inline constexpr std::uint8_t loader_write_request = 0xA0;
inline constexpr std::uint16_t loader_cpu_control = 0xE600;

// Host to device (wValue of a programmer request).
inline constexpr std::uint16_t write_register = 0x00;
inline constexpr std::uint16_t vpp_otp_off = 0x22;
inline constexpr std::uint16_t vpp_otp_on = 0x23; // with one data byte: set programmer voltage
inline constexpr std::uint16_t reset_line_off = 0x42;
inline constexpr std::uint16_t reset_line_on = 0x43;
inline constexpr std::uint16_t spi_send_byte = 0x52;
inline constexpr std::uint16_t spi_select_send = 0x53;
inline constexpr std::uint16_t spi_deselect = 0x54;
inline constexpr std::uint16_t select_spi = 0x55;
inline constexpr std::uint16_t select_iic = 0x56;
inline constexpr std::uint16_t set_iic_address = 0x7D;
inline constexpr std::uint16_t bgap_off = 0x86;
inline constexpr std::uint16_t bgap_on = 0x87;
inline constexpr std::uint16_t leave_debug_mode = 0x88;
inline constexpr std::uint16_t enter_debug_mode = 0x89;
inline constexpr std::uint16_t eeprom_enable_off = 0x90;
inline constexpr std::uint16_t eeprom_enable_on = 0x91;
inline constexpr std::uint16_t write_user_eeprom_cell = 0xA1;
inline constexpr std::uint16_t erase_user_eeprom = 0xA4;
inline constexpr std::uint16_t write_otp_byte = 0xA7;
inline constexpr std::uint16_t otp_off = 0xA8;
inline constexpr std::uint16_t enable_otp = 0xA9;
inline constexpr std::uint16_t otp_programming_off = 0xAC;
inline constexpr std::uint16_t enable_otp_programming = 0xAD;
inline constexpr std::uint16_t otp_read_setup = 0xAE;
inline constexpr std::uint16_t init_reset = 0xC0;
inline constexpr std::uint16_t power_reset = 0xF0;

// Device to host.
inline constexpr std::uint16_t read_firmware_version = 0x21;
inline constexpr std::uint16_t read_register = 0x40;
inline constexpr std::uint16_t spi_read_byte = 0x50;
inline constexpr std::uint16_t single_step = 0x81;
inline constexpr std::uint16_t read_program_word = 0xA0;
inline constexpr std::uint16_t read_otp_byte = 0xA6;

// Every command the programmer knows, host to device first.
inline constexpr std::uint16_t all_commands[] = {write_register,
                                                 vpp_otp_off,
                                                 vpp_otp_on,
                                                 reset_line_off,
                                                 reset_line_on,
                                                 spi_send_byte,
                                                 spi_select_send,
                                                 spi_deselect,
                                                 select_spi,
                                                 select_iic,
                                                 set_iic_address,
                                                 bgap_off,
                                                 bgap_on,
                                                 leave_debug_mode,
                                                 enter_debug_mode,
                                                 eeprom_enable_off,
                                                 eeprom_enable_on,
                                                 write_user_eeprom_cell,
                                                 erase_user_eeprom,
                                                 write_otp_byte,
                                                 otp_off,
                                                 enable_otp,
                                                 otp_programming_off,
                                                 enable_otp_programming,
                                                 otp_read_setup,
                                                 init_reset,
                                                 power_reset,
                                                 read_firmware_version,
                                                 read_register,
                                                 spi_read_byte,
                                                 single_step,
                                                 read_program_word,
                                                 read_otp_byte};

// Data the user EEPROM commands carry after the value bytes.
inline constexpr std::uint8_t user_eeprom_key = 0x78;

// Registers of the chip that the host names.
inline constexpr std::uint8_t reg_hb0 = 0x14;
inline constexpr std::uint8_t reg_spi_access = 0x3C;
inline constexpr std::uint8_t reg_status = 0x47;
inline constexpr std::uint8_t reg_accu_x = 0x49;
inline constexpr std::uint8_t reg_accu_y = 0x4A;
inline constexpr std::uint8_t reg_accu_z = 0x4B;
inline constexpr std::uint8_t reg_ram_pointer = 0x4C;
inline constexpr std::uint8_t reg_scratch = 0xF0;

// Flag bits in byte 0 of the status register.
inline constexpr std::uint8_t flag_signum = 0x80;
inline constexpr std::uint8_t flag_not_equal = 0x40;
inline constexpr std::uint8_t flag_overflow = 0x20;
inline constexpr std::uint8_t flag_carry = 0x10;

// The program address in a status register value (bytes 1 and 2, 13 bits).
constexpr std::uint16_t programAddress(std::uint8_t byte1, std::uint8_t byte2) {
    return static_cast<std::uint16_t>(((byte1 & 0x1F) << 8) | byte2);
}
// The RAM address in a RAM pointer value (bits 14..7).
constexpr std::uint8_t ramAddress(std::uint8_t byte1, std::uint8_t byte2) {
    return static_cast<std::uint8_t>(((byte1 & 0x7F) << 1) | (byte2 >> 7));
}

} // namespace wire
