#include "assembler/code_image.h"

#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"
#include "assembler/statements.h"
#include "isa/encode.h"
#include "isa/mnemonics.h"

#include <algorithm>

namespace {

// Writes one statement's bytes and comments at `at`. Long forms carry 13 address bits;
// a target beyond them (only in a program already too large) keeps its low 13 bits.
void write_statement(CodeImage& image, const OpcodeRecord& statement, int at) {
    const isa::Instruction instruction = instruction_of(statement);
    isa::Instruction encoded = instruction;
    const int position = isa::label_operand(statement.opcode);
    if (position >= 0 && statement.size == isa::long_size(statement.opcode))
        encoded.operands[position].value &= isa::max_code_address;
    isa::Bytes bytes;
    if (isa::encode_bytes(encoded, bytes) != isa::EncodeStatus::ok)
        report_backend_error(statement.file_name, statement.line, "'%s' cannot be encoded",
                             std::string(isa::get_opcode_name(statement.opcode)).c_str());
    const int size = std::min(statement.size, isa::max_instruction_size);
    for (int i = 0; i < size; ++i) {
        image.bytes[at + i] = bytes.data[i];
        image.comments[at + i] = isa::comment_text(instruction, statement.size - 1 - i);
    }
}

bool selects_redundancy_mode(const CodeImage& image) {
    return (image.bytes[redundancy_mode_address] & 0x03) == 0x03;
}

} // namespace

CodeImage build_code_image() {
    CodeImage image;
    const OpcodeRecord* named = first_statement(); // the statement size messages name
    for (const OpcodeRecord* s = first_statement(); s != nullptr; s = next_statement(s)) {
        write_statement(image, *s, image.length);
        image.length += s->size;
        if (image.length > max_program_size) {
            report_backend_error(s->file_name, s->line, "program exceeds maximum size of 8k bytes");
            named = s;
            break;
        }
    }
    if (image.length > max_redundancy_program_size && selects_redundancy_mode(image))
        report_backend_error(named->file_name, named->line,
                             "Program size exceeds KZ71 capacity in redundancy mode");
    return image;
}
