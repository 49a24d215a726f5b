#include "assembler/code_image.h"

#include "assembler/assembly.h"
#include "assembler/statements.h"
#include "isa/encode.h"
#include "isa/mnemonics.h"

#include <algorithm>
#include <string>

namespace {

// Writes one statement's bytes at `at`. Long forms carry 13 address bits; a target beyond
// them (only in a program already too large) keeps its low 13 bits.
void write_statement(Assembly& assembly, CodeImage& image, const OpcodeRecord& statement, int at) {
    isa::Instruction encoded = instruction_of(assembly.lists, statement);
    const int position = isa::label_operand(statement.opcode);
    if (position >= 0 && statement.size == isa::long_size(statement.opcode))
        encoded.operands[position].value &= isa::max_code_address;
    isa::Bytes bytes;
    if (isa::encode_bytes(encoded, bytes) != isa::EncodeStatus::ok)
        assembly.diag.report_backend_error(
            statement.file_name, statement.line, "'%s' cannot be encoded",
            std::string(isa::get_opcode_name(statement.opcode)).c_str());
    const int size = std::min(statement.size, isa::max_instruction_size);
    std::copy_n(bytes.data.begin(), size, image.bytes.begin() + at);
}

bool selects_redundancy_mode(const CodeImage& image) {
    return (image.bytes[redundancy_mode_address] & 0x03) == 0x03;
}

} // namespace

CodeImage build_code_image(Assembly& assembly) {
    CodeImage image;
    const ProgramLists& lists = assembly.lists;
    const OpcodeRecord* named = lists.first_statement(); // the statement size messages name
    for (const OpcodeRecord* s = named; s != nullptr; s = lists.next_statement(s)) {
        write_statement(assembly, image, *s, image.length);
        image.length += s->size;
        if (image.length > max_program_size) {
            assembly.diag.report_backend_error(s->file_name, s->line,
                                               "program exceeds maximum size of 8k bytes");
            named = s;
            break;
        }
    }
    if (image.length > max_redundancy_program_size && selects_redundancy_mode(image))
        assembly.diag.report_backend_error(named->file_name, named->line,
                                           "Program size exceeds KZ71 capacity in redundancy mode");
    return image;
}
