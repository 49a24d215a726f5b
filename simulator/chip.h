// The KZ71 chip as the programmer sees it: 256 cells of 24 bits shared by registers and data RAM,
// the program memory the CPU executes, the OTP, the user EEPROM and the CPU state.
#pragma once

#include "protocol/command_codes.h"
#include "simulator/faults.h"
#include "simulator/otp.h"
#include "simulator/user_eeprom.h"

#include <array>
#include <cstdint>
#include <span>

namespace sim {

// What one executed instruction did.
struct StepResult {
    std::uint16_t address = 0; // where the instruction started
    std::uint8_t size = 0;     // its length in bytes
};

class Chip {
public:
    static constexpr std::size_t program_size = 8192;
    static constexpr std::size_t cell_count = 256;
    static constexpr std::size_t return_stack_depth = 8;
    static constexpr std::uint32_t value_mask = 0xFFFFFF;
    static constexpr std::uint32_t sign_bit = 0x800000;

    // A cell's 24-bit value as the two's complement number it holds.
    static constexpr std::int32_t toSigned(std::uint32_t value) {
        return (value & sign_bit) ? static_cast<std::int32_t>(value) - 0x1000000
                                  : static_cast<std::int32_t>(value);
    }

    explicit Chip(const Faults& faults) : otp_(faults) {}

    // Register and RAM access as the programmer makes it. Register 0x47 is composed of the flags
    // (byte 0) and the program address (bytes 1 and 2); writing it sets both.
    std::uint32_t readRegister(std::uint8_t number) const;
    void writeRegister(std::uint8_t number, std::uint32_t value);

    // Power-on: every cell 0, every switch off, the CPU at address 0.
    void powerReset();
    // The CPU starts again at address 0: flags, accumulators, RAM pointer and return stack are
    // cleared; the rest of RAM keeps its contents.
    void initReset();
    // Fills the program memory from `image` (the rest with 0x00).
    void loadProgram(std::span<const std::uint8_t> image);

    // Executes the instruction at the program address.
    StepResult step();

    std::uint16_t programAddress() const { return pc_; }
    std::uint8_t flags() const { return flags_; }
    std::uint8_t ramAddress() const {
        return static_cast<std::uint8_t>(cells_[wire::reg_ram_pointer] >> 7);
    }
    std::uint32_t accumulator(int number) const;

    const std::array<std::uint8_t, program_size>& program() const { return program_; }
    Otp& otp() { return otp_; }
    const Otp& otp() const { return otp_; }
    UserEeprom& userEeprom() { return user_eeprom_; }
    const UserEeprom& userEeprom() const { return user_eeprom_; }

private:
    friend class Cpu;

    std::array<std::uint32_t, cell_count> cells_{};
    std::array<std::uint8_t, program_size> program_{};
    std::uint16_t pc_ = 0;
    std::uint8_t flags_ = 0; // the flag bits of byte 0 of register 0x47
    // A circular stack: a call writes at return_top_ and moves it up, a return moves it down.
    std::array<std::uint16_t, return_stack_depth> return_stack_{};
    std::uint8_t return_top_ = 0;
    Otp otp_;
    UserEeprom user_eeprom_;
};

} // namespace sim
