// How the back end reads a statement record: its operand positions and the record as the
// instruction set's encoder takes it. The back end asks this of every statement in every
// phase, so it is all inline.
#pragma once

#include "assembler/program_lists.h"
#include "isa/operands.h"

#include <cstdint>

// Operand position 0..2 of a statement (par1..par3) and its kind (par1_type..par3_type).
template <typename Record>
auto& operand_value(Record& statement, int position) {
    return position == 0 ? statement.par1 : position == 1 ? statement.par2 : statement.par3;
}
template <typename Record>
auto& operand_type(Record& statement, int position) {
    return position == 0   ? statement.par1_type
           : position == 1 ? statement.par2_type
                           : statement.par3_type;
}

// The record's operand type (PAR_ACCU, ...) of an instruction-set operand kind.
constexpr int32_t par_type_of(isa::OperandKind kind) {
    switch (kind) {
    case isa::OperandKind::accumulator:
        return PAR_ACCU;
    case isa::OperandKind::number:
        return PAR_NUMBER;
    case isa::OperandKind::label:
        return PAR_LABEL;
    case isa::OperandKind::none:
        break;
    }
    return PAR_NONE;
}

// The operand kinds and values of a statement of `lists`; a label operand holds its
// target's address (0 while unresolved).
inline isa::Operands operands_of(const ProgramLists& lists, const OpcodeRecord& statement) {
    auto operand = [&](int32_t type, int32_t value) -> isa::Operand {
        switch (type) {
        case PAR_ACCU:
            return isa::Operand::accu(value);
        case PAR_NUMBER:
            return isa::Operand::number(value);
        case PAR_LABEL:
            return isa::Operand::target(
                statement.target != nullptr ? lists.target_address(statement.target) : 0);
        default:
            return {};
        }
    };
    return {operand(statement.par1_type, statement.par1),
            operand(statement.par2_type, statement.par2),
            operand(statement.par3_type, statement.par3)};
}

// The statement as the encoder takes it: opcode, operands, size and address.
inline isa::Instruction instruction_of(const ProgramLists& lists, const OpcodeRecord& statement) {
    return {statement.opcode, operands_of(lists, statement), statement.size, statement.address};
}
