#include "help/opcode/instruction_forms.h"

#include "isa/instruction_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace help {
namespace {

using isa::Layout;
using isa::OperandKind;

constexpr std::array<std::string_view, 4> accumulator_names{"x", "y", "z", "r"};

std::string hex(int value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// Numbers as the pages write them: small ones in decimal, 24-bit constants in hexadecimal.
std::string number_text(std::uint32_t value) {
    return value > 255 ? hex(static_cast<int>(value), 6) : std::to_string(value);
}

// The operand kinds a form shows; the code-less directive takes them from its rules.
std::array<OperandKind, 3> form_kinds(const isa::Mnemonic& m, const isa::Form& form) {
    if (form.layout != Layout::none) return isa::layout_kinds(form.layout);
    std::array<OperandKind, 3> kinds{};
    for (int i = 0; i < 3; ++i)
        kinds[i] = m.rules.positions[static_cast<std::size_t>(i)].expected_kind();
    return kinds;
}

std::string_view number_name(Layout layout, int position) {
    switch (layout) {
    case Layout::constant:
    case Layout::ext_constant:
    case Layout::data_word:
        return "k";
    case Layout::count:
    case Layout::shift_count:
        return "c";
    case Layout::bit_skip:
        return position == 2 ? "c" : "n";
    case Layout::bit_op:
    case Layout::bit_jump:
        return "n";
    case Layout::none:
        return position == 0 ? "cell" : "value";
    default:
        return "v";
    }
}

std::string_view operand_name(Layout layout, int position, OperandKind kind) {
    switch (kind) {
    case OperandKind::accumulator:
        return position == 0 ? "a" : "b";
    case OperandKind::label:
        return "L";
    case OperandKind::number:
        return number_name(layout, position);
    case OperandKind::none:
        break;
    }
    return "";
}

std::string range_text(const isa::Slot& slot) {
    std::string text = std::to_string(slot.min) + " to " + std::to_string(slot.max);
    if (slot.max > 255) text += " (" + hex(static_cast<int>(slot.max), 6) + ")";
    return text;
}

// "z with r": the accumulator pairs swap refuses, in source names.
std::string refused_pairs() {
    std::string text;
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            if (isa::is_unsupported_swap(a, b)) {
                if (!text.empty()) text += ", ";
                text += std::string(accumulator_names[a]) + " with " +
                        std::string(accumulator_names[b]);
            }
    return text;
}

std::string number_meaning(std::string_view name, const isa::Slot& slot, int position) {
    std::string text = name == "n" ? "bit number " : name == "c" ? "count " : "number ";
    text += range_text(slot);
    if (slot.min == 1)
        text += std::string("; 0 is refused with \"") +
                (position == 2 ? "third parameter can not be zero" : "parameter can not be zero") +
                "\"";
    if (slot.optional) text += "; may be left out";
    return text;
}

std::string operand_meaning(const isa::Mnemonic& m, std::string_view name, OperandKind kind,
                            int position) {
    switch (kind) {
    case OperandKind::accumulator: {
        std::string text = "accumulator x, y, z or r";
        if (m.forms[0].layout == Layout::swap && position == 1)
            text += "; not " + refused_pairs() + ", in either order";
        return text;
    }
    case OperandKind::label:
        return "a jump label of the program";
    case OperandKind::number:
        return number_meaning(name, m.rules.positions[static_cast<std::size_t>(position)],
                              position);
    case OperandKind::none:
        break;
    }
    return "";
}

std::vector<isa::Form> present_forms(const isa::Mnemonic& m) {
    std::vector<isa::Form> forms{m.forms[0]};
    if (m.forms[1].layout != Layout::none) forms.push_back(m.forms[1]);
    return forms;
}

std::string sum(std::initializer_list<std::string> terms) {
    std::string text;
    for (const std::string& term : terms) {
        if (term.empty()) continue;
        if (!text.empty()) text += " + ";
        text += term;
    }
    return text;
}

// "4", "32" for a layout parameter term, "" when it adds nothing.
std::string param_term(int weight, int param) {
    return param == 0 ? "" : std::to_string(weight * param);
}

std::vector<std::string> constant_bytes(std::string first) {
    return {std::move(first), "k2", "k1", "k0"};
}

std::vector<std::string> byte_formulas(const isa::Form& form) {
    const std::string base = hex(form.base, 2);
    const int p = form.param;
    switch (form.layout) {
    case Layout::none:
        return {};
    case Layout::byte:
        return {base};
    case Layout::accu:
        return {sum({base, "a"})};
    case Layout::accu_x4:
        return std::vector<std::string>(4, sum({base, "a"}));
    case Layout::pair:
        return {sum({base, "4·a", "b"})};
    case Layout::constant:
        return constant_bytes(sum({base, "5·a"}));
    case Layout::swap:
        return {"4·a + b"};
    case Layout::count:
        return {sum({base, "c"})};
    case Layout::short_jump:
        return {base, "d"};
    case Layout::long_jump:
        return {base, "th", "tl"};
    case Layout::bit_skip:
        return {sum({base, "c"}), sum({"8·n", param_term(4, p), "a"})};
    case Layout::bit_jump:
        return {base, sum({"8·n", param_term(4, p), "a"}), "d"};
    case Layout::value:
        return {sum({base, "v"})};
    case Layout::prefixed_value:
        return {base, "v"};
    case Layout::shift_count:
        return {base, sum({"16·((c − 1) mod 16)", param_term(4, p), "a"})};
    case Layout::bit_op:
        return {sum({base, "4·n[4]"}), sum({"128·n[3]", param_term(32, p), "4·(n mod 8)", "a"})};
    case Layout::data_word:
        return {"k2", "k1", "k0"};
    case Layout::ext:
    case Layout::ext_unencoded:
        return {hex(isa::ext_prefix, 2), base};
    case Layout::ext_value:
        return {hex(isa::ext_prefix, 2), sum({base, "v"})};
    case Layout::ext_accu:
        return {hex(isa::ext_prefix, 2), sum({base, "a"})};
    case Layout::ext_pair:
        return {hex(isa::ext_prefix, 2), sum({base, "4·a", "b"})};
    case Layout::ext_constant: {
        std::vector<std::string> bytes = constant_bytes(sum({base, "5·a"}));
        bytes.insert(bytes.begin(), hex(isa::ext_prefix, 2));
        return bytes;
    }
    }
    return {};
}

constexpr int short_target = 10;    // the sample short jump's label: 10 bytes ahead
constexpr int long_target = 0x0ABC; // the sample long jump's label

std::int32_t sample_number(std::string_view name, Layout layout, const isa::Slot& slot) {
    std::int32_t value = 5;
    if (layout == Layout::data_word) value = 0x123456;
    if (name == "c") value = layout == Layout::shift_count ? 3 : layout == Layout::count ? 2 : 1;
    if (name == "n") value = layout == Layout::bit_op ? 21 : 7;
    if (name == "v")
        value = layout == Layout::prefixed_value ? 100 : layout == Layout::value ? 10 : 1;
    if (name == "value") value = 10;
    return slot.in_range(value) ? value : static_cast<std::int32_t>(slot.max);
}

isa::Operand sample_operand(const isa::Mnemonic& m, Layout layout, int position, OperandKind kind) {
    switch (kind) {
    case OperandKind::accumulator:
        // addepr always adds to x: its sample says so.
        if (layout == Layout::ext_unencoded) return isa::Operand::accu(isa::acc_x);
        return isa::Operand::accu(position == 0 ? isa::acc_y : isa::acc_z);
    case OperandKind::label:
        return isa::Operand::target(layout == Layout::long_jump ? long_target : short_target);
    case OperandKind::number:
        return isa::Operand::number(
            sample_number(operand_name(layout, position, kind), layout,
                          m.rules.positions[static_cast<std::size_t>(position)]));
    case OperandKind::none:
        break;
    }
    return {};
}

std::string operand_text(const isa::Operand& operand) {
    switch (operand.kind) {
    case OperandKind::accumulator:
        return std::string(accumulator_names[static_cast<std::size_t>(operand.value)]);
    case OperandKind::number:
        return number_text(static_cast<std::uint32_t>(operand.value));
    case OperandKind::label:
        return "L";
    case OperandKind::none:
        break;
    }
    return "";
}

std::string statement_text(const isa::Mnemonic& m, const isa::Operands& operands, bool symbolic,
                           Layout layout) {
    std::string text(m.source);
    for (int i = 0; i < 3; ++i) {
        const isa::Operand& operand = operands[static_cast<std::size_t>(i)];
        if (!operand.present()) continue;
        text += i == 0 ? " " : ", ";
        text +=
            symbolic ? std::string(operand_name(layout, i, operand.kind)) : operand_text(operand);
    }
    return text;
}

std::string where_text(const isa::Instruction& sample) {
    const auto label = std::ranges::find(sample.operands, OperandKind::label, &isa::Operand::kind);
    if (label == sample.operands.end()) return "";
    if (label->value == long_target) return "L at address " + hex(label->value, 4);
    return "L " + std::to_string(label->value - sample.address) + " bytes ahead";
}

FormRow row_for(const isa::Mnemonic& m, const isa::Form& form) {
    FormRow row;
    row.size = isa::layout_size(form.layout);
    row.bytes = byte_formulas(form);
    row.sample.opcode = m.number;
    row.sample.size = row.size;
    const std::array<OperandKind, 3> kinds = form_kinds(m, form);
    for (int i = 0; i < 3; ++i)
        row.sample.operands[static_cast<std::size_t>(i)] =
            sample_operand(m, form.layout, i, kinds[static_cast<std::size_t>(i)]);
    row.syntax = statement_text(m, row.sample.operands, true, form.layout);
    row.sample_text = statement_text(m, row.sample.operands, false, form.layout);
    row.sample_where = where_text(row.sample);
    return row;
}

// Largest and smallest distance from a jump to its label that the short form reaches.
std::pair<int, int> short_reach(int opcode) {
    constexpr int at = 4000;
    int back = 0, ahead = 0;
    for (int d = -300; d <= 300; ++d)
        if (isa::short_jump_reaches(opcode, at, at + d)) {
            back = std::min(back, d);
            ahead = std::max(ahead, d);
        }
    return {-back, ahead};
}

std::string reach_text(int opcode) {
    const auto [back, ahead] = short_reach(opcode);
    return "the label lies at most " + std::to_string(back) + " bytes back or " +
           std::to_string(ahead) + " bytes ahead";
}

// The largest value of operand 1 that still gives the small form.
std::uint32_t small_value_limit(const isa::Mnemonic& m) {
    const int small = isa::layout_size(m.forms[0].layout);
    std::uint32_t limit = 0;
    for (std::uint32_t v = 0; v <= m.rules.positions[0].max; ++v) {
        const isa::Operands operands{isa::Operand::number(static_cast<std::int32_t>(v))};
        if (isa::initial_size(m.number, operands) == small) limit = v;
    }
    return limit;
}

std::string split_text(const isa::Mnemonic& m) {
    const int skip = isa::opposite_bit_skip(m.number);
    const int size =
        isa::layout_size(isa::mnemonic_of(skip).forms[0].layout) + isa::long_size(isa::op_goto);
    return reach_text(m.number) + "; a label further away makes the assembler split the " +
           "statement into " + std::string(isa::mnemonic_of(skip).source) + " a, n, 1 and a " +
           "long goto L (" + std::to_string(size) + " bytes)";
}

std::vector<std::string> conditions(const isa::Mnemonic& m) {
    switch (m.rules.size_rule) {
    case isa::SizeRule::by_second_kind:
        return {"b an accumulator", "k a number"};
    case isa::SizeRule::by_count:
        return {"without a count: by one place", "with a count"};
    case isa::SizeRule::by_value: {
        const std::uint32_t limit = small_value_limit(m);
        return {"v from 0 to " + std::to_string(limit),
                "v from " + std::to_string(limit + 1) + " to " +
                    std::to_string(m.rules.positions[0].max)};
    }
    case isa::SizeRule::fixed:
        break;
    }
    if (m.forms[1].layout == Layout::long_jump)
        return {"short form: " + reach_text(m.number),
                "long form: any other label (addresses 0 to " +
                    std::to_string(isa::max_code_address) + ")"};
    if (m.forms[0].layout == Layout::long_jump) return {"always the long form"};
    if (m.forms[0].layout == Layout::bit_jump) return {split_text(m)};
    return {""};
}

// swap has one byte layout whose operand order depends on the first operand.
std::vector<FormRow> swap_rows(const isa::Mnemonic& m) {
    FormRow first = row_for(m, m.forms[0]);
    first.condition = "a is x or y";
    first.sample.operands = {isa::Operand::accu(isa::acc_x), isa::Operand::accu(isa::acc_y)};
    first.sample_text = statement_text(m, first.sample.operands, false, Layout::swap);
    FormRow second = first;
    second.condition = "a is z or r";
    second.bytes = {"4·b + a"};
    second.sample.operands = {isa::Operand::accu(isa::acc_z), isa::Operand::accu(isa::acc_x)};
    second.sample_text = statement_text(m, second.sample.operands, false, Layout::swap);
    return {first, second};
}

bool uses_symbol(const std::vector<FormRow>& rows, std::string_view symbol) {
    for (const FormRow& row : rows)
        for (const std::string& formula : row.bytes)
            for (std::size_t at = formula.find(symbol); at != std::string::npos;
                 at = formula.find(symbol, at + 1)) {
                const std::size_t end = at + symbol.size();
                const bool starts =
                    at == 0 || !std::isalnum(static_cast<unsigned char>(formula[at - 1]));
                const bool ends = end == formula.size() ||
                                  !std::isalnum(static_cast<unsigned char>(formula[end]));
                if (starts && ends) return true;
            }
    return false;
}

} // namespace

std::vector<OperandInfo> operand_infos(const isa::Mnemonic& m) {
    std::vector<OperandInfo> infos;
    if (m.rules.check == isa::Check::not_found) return infos;
    for (const isa::Form& form : present_forms(m)) {
        const std::array<OperandKind, 3> kinds = form_kinds(m, form);
        for (int i = 0; i < 3; ++i) {
            const OperandKind kind = kinds[static_cast<std::size_t>(i)];
            const std::string name(operand_name(form.layout, i, kind));
            if (name.empty() || std::ranges::find(infos, name, &OperandInfo::name) != infos.end())
                continue;
            infos.push_back({name, operand_meaning(m, name, kind, i)});
        }
    }
    return infos;
}

std::vector<FormRow> form_rows(const isa::Mnemonic& m) {
    if (m.rules.check == isa::Check::not_found) return {};
    if (m.forms[0].layout == Layout::swap) return swap_rows(m);
    std::vector<FormRow> rows;
    const std::vector<std::string> when = conditions(m);
    const std::vector<isa::Form> forms = present_forms(m);
    for (std::size_t i = 0; i < forms.size(); ++i) {
        rows.push_back(row_for(m, forms[i]));
        rows.back().condition = i < when.size() ? when[i] : "";
    }
    return rows;
}

std::vector<Symbol> symbols_used(const std::vector<FormRow>& rows) {
    static constexpr std::array<Symbol, 8> legend{{
        {"a", "a", "number of the first accumulator: x 0, y 1, z 2, r 3"},
        {"b", "b", "number of the second accumulator"},
        {"k2", "k2, k1, k0", "the high, middle and low byte of the 24-bit number k"},
        {"c", "c", "the count"},
        {"v", "v", "the value"},
        {"n", "n",
         "the bit number; n[4] and n[3] are its bits 4 and 3, n mod 8 its three low bits"},
        {"d", "d", "the label's address minus the address of this byte, as a signed byte"},
        {"th", "th, tl", "bits 12 to 8 and bits 7 to 0 of the label's address"},
    }};
    std::vector<Symbol> used;
    for (const Symbol& symbol : legend)
        if (uses_symbol(rows, symbol.name)) used.push_back(symbol);
    return used;
}

} // namespace help
