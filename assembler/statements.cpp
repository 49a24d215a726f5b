#include "assembler/statements.h"

namespace {

isa::OperandKind kind_of(int32_t type) {
    switch (type) {
    case PAR_ACCU:
        return isa::OperandKind::accumulator;
    case PAR_NUMBER:
        return isa::OperandKind::number;
    case PAR_LABEL:
        return isa::OperandKind::label;
    default:
        return isa::OperandKind::none;
    }
}

// Operand position 0..2 of a record, const or not.
template <typename Record>
auto& value_at(Record& statement, int position) {
    return position == 0 ? statement.par1 : position == 1 ? statement.par2 : statement.par3;
}
template <typename Record>
auto& type_at(Record& statement, int position) {
    return position == 0   ? statement.par1_type
           : position == 1 ? statement.par2_type
                           : statement.par3_type;
}

} // namespace

int32_t par_type_of(isa::OperandKind kind) {
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

int32_t& operand_value(OpcodeRecord& statement, int position) {
    return value_at(statement, position);
}
int32_t operand_value(const OpcodeRecord& statement, int position) {
    return value_at(statement, position);
}
int32_t& operand_type(OpcodeRecord& statement, int position) {
    return type_at(statement, position);
}
int32_t operand_type(const OpcodeRecord& statement, int position) {
    return type_at(statement, position);
}

isa::Operands operands_of(const ProgramLists& lists, const OpcodeRecord& statement) {
    isa::Operands operands;
    for (int i = 0; i < 3; ++i) {
        const int32_t type = operand_type(statement, i);
        operands[i].kind = kind_of(type);
        if (type == PAR_LABEL)
            operands[i].value =
                statement.target != nullptr ? lists.target_address(statement.target) : 0;
        else if (type != PAR_NONE)
            operands[i].value = operand_value(statement, i);
    }
    return operands;
}

isa::Instruction instruction_of(const ProgramLists& lists, const OpcodeRecord& statement) {
    return {statement.opcode, operands_of(lists, statement), statement.size, statement.address};
}
