#include "isa/mnemonics.h"

#include "isa/instruction_table.h"

namespace isa {

std::span<const Mnemonic> mnemonics() {
    return instruction_table;
}

std::optional<Opcode> find_mnemonic(std::string_view word) {
    for (const Mnemonic& m : instruction_table)
        if (m.source == word) return m.number;
    return std::nullopt;
}

std::string_view get_opcode_name(int number) {
    if (!is_opcode(number)) return "opcode not found!!!";
    return mnemonic_of(number).message;
}

} // namespace isa
