// Instructions shown in source syntax, for the debugger and the simulator's trace:
// "add y, 5", "gotoEQ 0x0ABC", "rotL y, 2", "skipBitS z, 7, 1".
#pragma once

#include "isa/operands.h"

#include <cstdint>
#include <span>
#include <string>

namespace isa {

// The source keyword followed by the operands: accumulators by name, numbers in decimal,
// jump targets as four-digit hexadecimal addresses. "not an instruction" for a number that
// is not an opcode.
std::string format_instruction(const Instruction& instruction);

// Decodes the bytes (bytes[0] at code `address`) and formats the result; bytes that are not
// an instruction show as "not an instruction (0xE5)", a span that ends inside an
// instruction as "truncated instruction (0xCB 0x85)" with the bytes present.
std::string disassemble(std::span<const std::uint8_t> bytes, int address);

} // namespace isa
