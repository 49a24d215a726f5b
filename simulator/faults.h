// Faults a test can inject into the simulated programmer: failed transfers, a device held by
// another program, a cable pulled at a given transfer, and corrupted bytes read back from a
// memory. A program started by a test takes them from KZ71_SIM_FAULTS (parseFaults).
#pragma once

#include "simulator/usb_device.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
    static constexpr int always = -1;

    // Every transfer whose command code (wValue) is `command` fails, `times` times or always.
    void failCommand(std::uint16_t command, Failure failure, int times = always);
    // The next `times` transfers fail, whatever they are.
    void failNextTransfers(Failure failure, int times = 1);
    // Reads of `address` in `memory` return the stored value XOR `mask` (a register's 24 bits,
    // a byte's low 8 bits).
    void corruptRead(Memory memory, std::uint32_t address, std::uint32_t mask);
    // Another program holds the device: opening it fails.
    void holdByOtherProgram(bool held) { held_ = held; }
    // The cable is pulled just before the transfer that follows `transfers` more transfers (0:
    // the next one finds the programmer gone). It stays out until plugged in again.
    void pullCableAfter(std::size_t transfers) { cable_countdown_ = transfers; }
    // Removes every fault.
    void clear();

    bool heldByOtherProgram() const { return held_; }

    // The failure, if any, that ends this transfer; counts it off.
    std::optional<Failure> takeFailure(const ControlSetup& setup);
    // Whether the cable is to be pulled before this transfer; counts it off.
    bool takeCablePull();
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
    std::optional<std::size_t> cable_countdown_;
};

// Adds the faults a text names, items separated by commas:
//   unplug@N          the cable pulled before transfer N (from 0) of the process
//   stall=CODE        every transfer with command code CODE (wValue) stalls; stall=CODE*K: the
//   timeout=CODE      next K of them; timeout likewise lets them time out
//   corrupt=MEMORY:ADDRESS:MASK   reads of ADDRESS in MEMORY (registers, spi, otp, program)
//                     deliver the value XOR MASK
// Numbers in decimal or with 0x. False, with the item that is wrong in `problem`, when the text
// is not such a list; nothing is added then.
bool parseFaults(std::string_view text, Faults& faults, std::string& problem);

} // namespace sim
