// Reads back what an opcode help page states, so that tests can hold it against the encoder
// and the assembler: the forms with their size and byte formulas, and the sample statements
// with their bytes.
#pragma once

#include "isa/operands.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct PageForm {
    std::string syntax; // "add a, k"
    int size = 0;
    std::vector<std::string> bytes; // one formula per byte: "0x20 + 5·a", "k2", ...
};

struct PageSample {
    std::string statement;           // "add y, 5", "goto L"
    std::string where;               // "L 10 bytes ahead", "L at address 0x0ABC", ""
    std::vector<std::uint8_t> bytes; // empty for "no code"
    std::string comments;            // the comment texts, or the .epr line
};

struct OpcodePage {
    std::string title; // the <h1> text
    std::vector<PageForm> forms;
    std::vector<PageSample> samples;
};

OpcodePage read_opcode_page(const std::string& html);

// The sample as an instruction at address 0 with the size given; label operands hold the
// address that `where` names. nullopt when the text is not a statement of that shape.
std::optional<isa::Instruction> sample_instruction(const PageSample& sample, int size);

// The value of each operand name of a form's syntax ("a", "k", "L", ...) in an instruction.
std::map<std::string, std::int64_t> operand_values(const PageForm& form,
                                                   const isa::Instruction& instruction);

// Evaluates a byte formula ("0x20 + 4·a + b", "16·((c − 1) mod 16) + 12 + a", "d") for the
// byte at `byte_address`; nullopt for a formula it cannot read or a name without value.
std::optional<std::int64_t> evaluate_formula(const std::string& formula,
                                             const std::map<std::string, std::int64_t>& values,
                                             int byte_address);
