// How the back end reads a statement record: its operand positions and the record as the
// instruction set's encoder takes it.
#pragma once

#include "assembler/program_lists.h"
#include "isa/operands.h"

#include <cstdint>

// Operand position 0..2 of a statement (par1..par3) and its kind (par1_type..par3_type).
int32_t& operand_value(OpcodeRecord& statement, int position);
int32_t operand_value(const OpcodeRecord& statement, int position);
int32_t& operand_type(OpcodeRecord& statement, int position);
int32_t operand_type(const OpcodeRecord& statement, int position);

// The record's operand type (PAR_ACCU, ...) of an instruction-set operand kind.
int32_t par_type_of(isa::OperandKind kind);

// The operand kinds and values of a statement of `lists`; a label operand holds its
// target's address (0 while unresolved).
isa::Operands operands_of(const ProgramLists& lists, const OpcodeRecord& statement);

// The statement as the encoder takes it: opcode, operands, size and address.
isa::Instruction instruction_of(const ProgramLists& lists, const OpcodeRecord& statement);
