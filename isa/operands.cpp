#include "isa/operands.h"

#include "isa/instruction_table.h"

namespace isa {

const Rules& operand_rules(int opcode) {
    static constexpr Rules not_found{};
    return is_opcode(opcode) ? mnemonic_of(opcode).rules : not_found;
}

namespace {

// The label position of every opcode, worked out once: the back end asks for every statement.
constexpr std::array<std::int8_t, mnemonic_count> label_positions = [] {
    std::array<std::int8_t, mnemonic_count> positions{};
    for (const Mnemonic& m : instruction_table) {
        positions[static_cast<std::size_t>(m.number)] = -1;
        for (int i = 2; i >= 0; --i)
            if (m.rules.positions[static_cast<std::size_t>(i)].accepts(OperandKind::label))
                positions[static_cast<std::size_t>(m.number)] = static_cast<std::int8_t>(i);
    }
    return positions;
}();

} // namespace

int label_operand(int opcode) {
    return is_opcode(opcode) ? label_positions[static_cast<std::size_t>(opcode)] : -1;
}

int initial_size(int opcode, const Operands& operands) {
    if (!is_opcode(opcode)) return 0;
    const Mnemonic& m = mnemonic_of(opcode);
    bool large = false;
    switch (m.rules.size_rule) {
    case SizeRule::fixed:
        break;
    case SizeRule::by_second_kind:
        large = operands[1].kind != OperandKind::accumulator;
        break;
    case SizeRule::by_count:
        large = operands[1].kind == OperandKind::number;
        break;
    case SizeRule::by_value:
        large = operands[0].value > 63;
        break;
    }
    return layout_size(m.forms[large ? 1 : 0].layout);
}

int long_size(int opcode) {
    if (!is_opcode(opcode)) return 0;
    for (const Form& form : mnemonic_of(opcode).forms)
        if (form.layout == Layout::long_jump) return layout_size(form.layout);
    return 0;
}

bool short_jump_reaches(int opcode, int address, int target) {
    const int distance = target - address;
    if (is_label_jump(opcode)) return distance >= -127 && distance <= 127;
    if (is_bit_jump(opcode)) return distance >= -126 && distance <= 127;
    return false;
}

} // namespace isa
