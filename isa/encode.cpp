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
    std::string text;
    append_comment_text(text, instruction, j);
    return text;
}

void append_comment_text(std::string& out, const Instruction& instruction, int j) {
    std::array<char, 64> text{}; // the longest name, three 32-bit numbers and punctuation
    char* at = text.data();
    char* const end = at + text.size();
    const std::string_view name = get_opcode_name(instruction.opcode);
    at = std::copy(name.begin(), name.end(), at);
    if (instruction.size > 1) {
        *at++ = '_';
        at = std::to_chars(at, end, j).ptr;
    }
    *at++ = ' ';
    *at++ = '(';
    // As many values as the statement holds operands, taken from the first position on.
    const auto count = std::ranges::count_if(instruction.operands, &Operand::present);
    for (int i = 0; i < count; ++i) {
        if (i > 0) *at++ = ',';
        at = std::to_chars(at, end, instruction.operands[static_cast<std::size_t>(i)].value).ptr;
    }
    *at++ = ')';
    out.append(text.data(), at);
}

} // namespace isa
