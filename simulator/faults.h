// Faults a test can inject into the simulated programmer: failed transfers, a device held by
// another program, and corrupted bytes read back from a memory.
#pragma once

#include "simulator/usb_device.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sim {

// How an injected failure ends a transfer.
enum class Failure : std::uint8_t { stall, timeout };

// The memories whose reads can be corrupted.
enum class Memory : std::uint8_t {
    registers,      // read register, single step replies (address: register number)
    spi_eeprom,     // SPI read byte (address: EEPROM byte address)
    otp,            // read OTP byte (address: OTP byte address)
    program_memory, // read program word (address: byte address)
};

class Faults {
public:
    static constexpr int forever = -1;

    // Every transfer whose command code (wValue) is `command` fails, `times` times or forever.
    void failCommand(std::uint16_t command, Failure failure, int times = forever);
    // The next `times` transfers fail, whatever they are.
    void failNextTransfers(Failure failure, int times = 1);
    // Reads of `address` in `memory` return the stored value XOR `mask` (a register's 24 bits,
    // a byte's low 8 bits).
    void corruptRead(Memory memory, std::uint32_t address, std::uint32_t mask);
    // Another program holds the device: opening it fails.
    void holdByOtherProgram(bool held) { held_ = held; }
    // Removes every fault.
    void clear();

    bool heldByOtherProgram() const { return held_; }

    // The failure, if any, that ends this transfer; counts it off.
    std::optional<Failure> takeFailure(const ControlSetup& setup);
    // The value a read of `address` in `memory` delivers instead of `value`.
    std::uint32_t filterRead(Memory memory, std::uint32_t address, std::uint32_t value) const {
        if (corruptions_.empty()) return value;
        return filterSlow(memory, address, value);
    }

private:
    struct CommandFailure {
        std::optional<std::uint16_t> command; // empty: any transfer
        Failure failure;
        int remaining;
    };
    struct Corruption {
        Memory memory;
        std::uint32_t address;
        std::uint32_t mask;
    };

    std::uint32_t filterSlow(Memory memory, std::uint32_t address, std::uint32_t value) const;

    std::vector<CommandFailure> failures_;
    std::vector<Corruption> corruptions_;
    bool held_ = false;
};

} // namespace sim
