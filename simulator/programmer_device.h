// The USB programmer running its firmware: answers the vendor requests (bRequest 0xB0) of the
// command set, drives the board's chip, SPI EEPROM, resets and supplies. A request it does not
// know, in the wrong direction, with the wrong amount of data or an out-of-range parameter is
// stalled and changes nothing.
#pragma once

#include "simulator/board.h"
#include "simulator/usb_device.h"

#include <cstdint>
#include <optional>

namespace sim {

class ProgrammerDevice final : public UsbDevice {
public:
    ProgrammerDevice(Board& board, const Faults& faults, std::uint16_t model,
                     std::uint8_t firmware_version)
        : board_(board), faults_(faults), model_(model), firmware_version_(firmware_version) {}

    // The state after power-on: SPI selected, no debug mode, reset line off.
    void powerOn();

    std::uint16_t model() const override { return model_; }
    TransferResult control(const ControlSetup& setup, std::span<const std::uint8_t> out,
                           std::span<std::uint8_t> in, Time now) override;

    ChipInterface chipInterface() const { return interface_; }
    std::uint16_t iicAddress() const { return iic_address_; }
    bool debugMode() const { return debug_mode_; }
    bool resetLine() const { return reset_line_; }
    std::optional<std::uint8_t> voltageCode() const { return voltage_code_; }

private:
    TransferResult commandOut(std::uint16_t command, std::uint16_t index,
                              std::span<const std::uint8_t> data, Time now);
    TransferResult chipCommandOut(std::uint16_t command, std::uint16_t index,
                                  std::span<const std::uint8_t> data, Time now);
    TransferResult otpCommandOut(std::uint16_t command, std::uint16_t index,
                                 std::span<const std::uint8_t> data, Time now);
    TransferResult commandIn(std::uint16_t command, std::uint16_t index, std::span<std::uint8_t> in,
                             Time now);
    TransferResult replyRegister(std::uint16_t index, std::span<std::uint8_t> in) const;
    TransferResult replyProgramWord(std::uint16_t index, std::span<std::uint8_t> in) const;
    bool chipReachable() const { return board_.chipReachable(interface_, iic_address_); }
    void setResetLine(bool on);

    Board& board_;
    const Faults& faults_;
    std::uint16_t model_;
    std::uint8_t firmware_version_;
    ChipInterface interface_ = ChipInterface::spi;
    std::uint16_t iic_address_ = 0;
    bool debug_mode_ = false;
    bool reset_line_ = false;
    std::optional<std::uint8_t> voltage_code_;
};

} // namespace sim
