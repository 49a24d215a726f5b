#include "isa/disassemble.h"

#include "isa/decode.h"
#include "isa/mnemonics.h"

#include <cstdio>

namespace isa {
namespace {

std::string format_operand(const Operand& operand) {
    char text[16];
    switch (operand.kind) {
    case OperandKind::accumulator:
        if (operand.value >= acc_x && operand.value <= acc_r)
            return std::string(1, "xyzr"[operand.value]);
        std::snprintf(text, sizeof text, "acc%d", operand.value);
        return text;
    case OperandKind::label:
        std::snprintf(text, sizeof text, "0x%04X", operand.value);
        return text;
    case OperandKind::number:
        return std::to_string(operand.value);
    case OperandKind::none:
        break;
    }
    return {};
}

std::string hex_bytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    char byte[8];
    for (std::uint8_t b : bytes) {
        std::snprintf(byte, sizeof byte, "%s0x%02X", text.empty() ? "" : " ", b);
        text += byte;
    }
    return text;
}

} // namespace

std::string format_instruction(const Instruction& instruction) {
    if (!is_opcode(instruction.opcode)) return "not an instruction";
    std::string text(mnemonics()[static_cast<std::size_t>(instruction.opcode)].source);
    const char* separator = " ";
    for (const Operand& operand : instruction.operands) {
        if (!operand.present()) continue;
        text += separator;
        text += format_operand(operand);
        separator = ", ";
    }
    return text;
}

std::string disassemble(std::span<const std::uint8_t> bytes, int address) {
    const Decoded decoded = decode(bytes, address);
    switch (decoded.status) {
    case DecodeStatus::ok:
        return format_instruction(decoded.instruction);
    case DecodeStatus::not_an_instruction:
        return "not an instruction (" + hex_bytes(bytes.first(1)) + ")";
    case DecodeStatus::truncated:
        break;
    }
    if (bytes.empty()) return "truncated instruction";
    return "truncated instruction (" + hex_bytes(bytes) + ")";
}

} // namespace isa
