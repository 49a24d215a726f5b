// Decoding KZ71 code bytes back into instructions, for the simulator, the debugger and the
// disassembly. Decoding is table driven on the first byte (and the second where the mnemonic
// shows only there), allocates nothing and never reads past the span it is given.
//
// Every byte sequence the encoder produces decodes to the statement it came from, except:
// - `swap`: the byte holds the x or y operand first, so `swap z, x` decodes as `swap x, z`;
//   0x00 is `nop` (also the code of `swap x, x`, `swap z, z` and `swap r, r`);
// - `addepr` does not encode its accumulator and decodes with accumulator x (which encodes
//   to the same bytes);
// - `equal` is a data word, not an instruction: its bytes decode as whatever they spell;
//   `usrEprInit` has no code.
// Jump operands hold the target address: the short forms' displacement is taken relative to
// the displacement byte, the long forms hold a 13-bit address. Bytes the encoder never
// produces (unused first bytes, bit numbers above 23, a target outside 0..8191, a 2-byte
// ramadr below 64, unequal putepr bytes, ...) are not an instruction. A first byte that an
// accumulator form with a == b would have (0x25, `add y, y`, which the encoder refuses) is
// the constant form's, as on the chip: 0x25 decodes as `add y, k` with the next three bytes.
#pragma once

#include "isa/operands.h"

#include <cstdint>
#include <optional>
#include <span>

namespace isa {

enum class DecodeStatus : std::uint8_t {
    ok,
    not_an_instruction, // instruction.size is 1, the opcode -1
    truncated,          // the span ends inside the instruction; instruction.size is the
                        // number of bytes it needs as far as the bytes present tell
};

struct Decoded {
    DecodeStatus status = DecodeStatus::truncated;
    Instruction instruction; // size is the instruction's length
    constexpr bool ok() const { return status == DecodeStatus::ok; }
};

// Decodes the instruction whose first byte is bytes[0] and which sits at code `address`.
Decoded decode(std::span<const std::uint8_t> bytes, int address);

// Decodes the instruction at `address` of a code image that starts at address 0. An address
// outside the image is reported as truncated.
Decoded decode_at(std::span<const std::uint8_t> image, int address);

// Target address of a jump (the value of its label operand), if the instruction has one.
std::optional<int> jump_target(const Instruction& instruction);

} // namespace isa
