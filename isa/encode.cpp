#include "isa/encode.h"

#include <algorithm>

namespace isa {

Encoded encode(const Instruction& instruction) {
    Encoded result;
    result.status = encode_bytes(instruction, result.bytes);
    result.comments.reserve(static_cast<std::size_t>(result.bytes.size));
    for (int i = 0; i < result.bytes.size; ++i)
        result.comments.push_back(comment_text(instruction, result.bytes.size - 1 - i));
    return result;
}

std::string comment_text(const Instruction& instruction, int j) {
    std::string text(get_opcode_name(instruction.opcode));
    if (instruction.size > 1) text += "_" + std::to_string(j);
    text += " (";
    // As many values as the statement holds operands, taken from the first position on.
    const auto count = std::ranges::count_if(instruction.operands, &Operand::present);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(instruction.operands[static_cast<std::size_t>(i)].value);
    }
    return text + ")";
}

} // namespace isa
