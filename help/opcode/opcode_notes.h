// What the opcode help says about each mnemonic beyond the instruction-set table: the flags
// it changes, a one-line description, optional details and a short example. One entry per
// mnemonic of isa::mnemonics(); check_notes() tells when the two disagree.
#pragma once

#include "isa/mnemonics.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace help {

// The four status flags, as bits of OpcodeNote::flags.
enum Flag : unsigned {
    signum = 1u << 0,
    not_equal = 1u << 1,
    overflow = 1u << 2,
    carry = 1u << 3,
};

struct OpcodeNote {
    std::string_view mnemonic;    // source keyword, as in the instruction-set table
    unsigned flags;               // Flag bits the instruction changes
    std::string_view flag_remark; // how the changed flags are set; "" when nothing to add
    std::string_view summary;     // one sentence
    std::string_view details;     // further paragraph, "" when none
    std::string_view example;     // a complete little program, lines joined by '\n';
                                  // "" only for mnemonics the assembler rejects
};

std::span<const OpcodeNote> opcode_notes();

// Disagreements between a notes table and the instruction set, one text each: a mnemonic
// without entry, an entry for no mnemonic, a second entry for one mnemonic, an example that is
// missing or does not use its mnemonic, an example given for a rejected mnemonic.
std::vector<std::string> check_notes(std::span<const OpcodeNote> notes,
                                     std::span<const isa::Mnemonic> mnemonics);

} // namespace help
