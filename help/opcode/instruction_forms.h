// The opcode help's view of one mnemonic, read from the instruction-set table: its operands
// with their ranges, and its forms with size, byte layout and a sample statement.
#pragma once

#include "isa/mnemonics.h"

#include <string>
#include <vector>

namespace help {

// One operand as the pages name it: "k" with "number 0 to 16777215 (0xFFFFFF)".
struct OperandInfo {
    std::string name;
    std::string meaning;
};

// One form of a mnemonic: the statement shape, when the assembler chooses it, its size and
// its bytes, each byte as a formula over the operand names ("0x20 + 4·a + b", "k2", "d").
struct FormRow {
    std::string syntax;    // "add a, k"
    std::string condition; // when this form is used; "" for a mnemonic with one form
    int size = 0;          // bytes
    std::vector<std::string> bytes;
    // A statement in this form at address 0; label operands hold the target address.
    isa::Instruction sample;
    std::string sample_text;  // in source syntax: "add y, 5", "goto L"
    std::string sample_where; // where the label of the sample lies, "" without label
};

std::vector<OperandInfo> operand_infos(const isa::Mnemonic& m);
std::vector<FormRow> form_rows(const isa::Mnemonic& m);

// Names the byte formulas use, with their meaning, for a legend below the forms.
struct Symbol {
    std::string_view name;  // as it stands in the formulas
    std::string_view label; // as the legend names it: "k2, k1, k0"
    std::string_view meaning;
};
std::vector<Symbol> symbols_used(const std::vector<FormRow>& rows);

} // namespace help
