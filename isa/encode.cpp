#include "isa/encode.h"

#include <algorithm>
#include <charconv>

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
    std::array<char, max_comment_size> text{};
    return std::string(text.data(), comment_parts(instruction).write(text.data(), j));
}

CommentParts comment_parts(const Instruction& instruction) {
    CommentParts parts;
    parts.name = get_opcode_name(instruction.opcode);
    parts.numbered = instruction.size > 1;
    char* at = parts.operands.data();
    char* const end = at + parts.operands.size();
    *at++ = ' ';
    *at++ = '(';
    // As many values as the statement holds operands, taken from the first position on.
    const auto count = std::ranges::count_if(instruction.operands, &Operand::present);
    for (int i = 0; i < count; ++i) {
        if (i > 0) *at++ = ',';
        at = std::to_chars(at, end, instruction.operands[static_cast<std::size_t>(i)].value).ptr;
    }
    *at++ = ')';
    parts.operands_size = static_cast<std::size_t>(at - parts.operands.data());
    return parts;
}

char* CommentParts::write(char* out, int j) const {
    out = std::copy(name.begin(), name.end(), out);
    if (numbered) {
        *out++ = '_';
        if (j >= 0 && j < 10) // every byte of an instruction
            *out++ = static_cast<char>('0' + j);
        else
            out = std::to_chars(out, out + 11, j).ptr;
    }
    return std::copy_n(operands.data(), operands_size, out);
}

} // namespace isa
