#include "isa/encode.h"

#include <cstdio>

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
    const Operands& op = instruction.operands;
    std::string head(get_opcode_name(instruction.opcode));
    if (instruction.size > 1) head += "_" + std::to_string(j);
    char operands[48] = "";
    switch (comment_form(instruction)) {
    case 0:
        break;
    case 1:
        std::snprintf(operands, sizeof operands, "%d", op[0].value);
        break;
    case 2:
        std::snprintf(operands, sizeof operands, "%d,%d", op[0].value, op[1].value);
        break;
    default:
        std::snprintf(operands, sizeof operands, "%d,%d,%d", op[0].value, op[1].value, op[2].value);
        break;
    }
    return head + " (" + operands + ")";
}

} // namespace isa
