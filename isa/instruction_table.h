// The KZ71 instruction set in one table: per opcode number its names, group, operand rules,
// size rule and byte forms. Everything else in isa/ (names, checks, encode, decode) reads it.
#pragma once

#include "isa/mnemonics.h"

#include <array>

namespace isa {
namespace table_detail {

constexpr std::uint8_t kind_bit(OperandKind k) {
    return static_cast<std::uint8_t>(1u << static_cast<int>(k));
}

constexpr std::uint32_t max_constant = 0xFFFFFF; // 24-bit constants

constexpr Slot _{};
constexpr Slot A{kind_bit(OperandKind::accumulator)};
constexpr Slot L{kind_bit(OperandKind::label)};
constexpr Slot N(std::uint32_t max) {
    return {kind_bit(OperandKind::number), false, 0, max};
}
// A count whose 0 gets the "can not be zero" message.
constexpr Slot C(std::uint32_t max) {
    return {kind_bit(OperandKind::number), false, 1, max};
}

constexpr Rules general(Slot s1, Slot s2, Slot s3, SizeRule size = SizeRule::fixed) {
    return {Check::general, {s1, s2, s3}, size};
}
constexpr Rules takes_none = general(_, _, _);
constexpr Rules takes_accu = general(A, _, _);
constexpr Rules takes_pair = general(A, A, _);
constexpr Rules takes_label = general(L, _, _);
constexpr Rules takes_count = general(C(3), _, _);
constexpr Rules takes_bit = general(A, N(23), _);
constexpr Rules takes_clock = general(N(1), _, _);
constexpr Rules rejected{};
constexpr Rules takes_two_operand{
    Check::two_operand,
    {A,
     Slot{kind_bit(OperandKind::accumulator) | kind_bit(OperandKind::number), false, 0,
          max_constant},
     _},
    SizeRule::by_second_kind};
constexpr Rules takes_shift(std::uint32_t min) {
    return {Check::shift_rotate,
            {A, Slot{kind_bit(OperandKind::number), true, min, 15}, _},
            SizeRule::by_count};
}

constexpr std::array<Form, 2> F(Layout small, std::uint8_t base = 0, std::uint8_t param = 0) {
    return {Form{small, base, param}, Form{}};
}
constexpr std::array<Form, 2> F(Form small, Form large) {
    return {small, large};
}
// Two-operand arithmetic and logic: accumulator form and constant form on the same base.
constexpr std::array<Form, 2> arith(std::uint8_t base) {
    return {Form{Layout::pair, base}, Form{Layout::constant, base}};
}
constexpr std::array<Form, 2> logic(std::uint8_t base) {
    return {Form{Layout::ext_pair, base}, Form{Layout::ext_constant, base}};
}
// Jumps: short form (displacement) and long form (13-bit address).
constexpr std::array<Form, 2> jump(std::uint8_t short_base, std::uint8_t long_base) {
    return {Form{Layout::short_jump, short_base}, Form{Layout::long_jump, long_base}};
}
// Condition numbers: CarC 0, OvrC 1, EQ 2, Pos 3, CarS 4, OvrS 5, NE 6, Neg 7.
constexpr std::array<Form, 2> cond_jump(int cond) {
    return jump(static_cast<std::uint8_t>(0x40 + 4 * cond), static_cast<std::uint8_t>(0x68 + cond));
}
constexpr std::array<Form, 2> cond_skip(int cond) {
    return F(Layout::count, static_cast<std::uint8_t>(0x40 + 4 * cond));
}
// Shifts and rotations: one byte without a count, 0xCE and a field byte with one.
constexpr std::array<Form, 2> shift(std::uint8_t base, std::uint8_t which) {
    return {Form{Layout::accu, base}, Form{Layout::shift_count, 0xCE, which}};
}

using G = Group;
using enum Layout;

constexpr std::array<Mnemonic, mnemonic_count> table{{
    {op_abs, "abs", "abs", G::single_accumulator, takes_accu, F(ext_accu, 0x28)},
    {op_add, "add", "add", G::two_operand_arithmetic, takes_two_operand, arith(0x20)},
    {op_add48r, "add48r", "add48r", G::wide_48bit, rejected, F(none)},
    {op_add48x, "add48x", "add48x", G::wide_48bit, rejected, F(none)},
    {op_addepr, "addepr", "addepr", G::eeprom, takes_accu, F(ext_unencoded, 0x00)},
    {op_and, "and", "and", G::two_operand_logic, takes_two_operand, logic(0x80)},
    {op_bitclr, "bitclr", "bitclr", G::bit, takes_bit, F(bit_op, 0xF1, 0)},
    {op_bitinv, "bitinv", "bitinv", G::bit, takes_bit, F(bit_op, 0xF1, 3)},
    {op_bitset, "bitset", "bitset", G::bit, takes_bit, F(bit_op, 0xF1, 1)},
    {op_clear, "clear", "clear", G::single_accumulator, takes_accu, F(accu, 0x08)},
    {op_clk10khz, "clk10khz", "clk10KHz", G::clock, takes_clock, F(ext_value, 0x10)},
    {op_clk675khz, "clk675khz", "clk675KHz", G::clock, takes_clock, F(ext_value, 0x12)},
    {op_clk4mhz, "clk4mhz", "clk4MHz", G::clock, takes_clock, F(ext_value, 0x14)},
    {op_clrC, "clrC", "clrC", G::flags, takes_none, F(byte, 0xC8)},
    {op_clrwdt, "clrwdt", "clrwdt", G::control, takes_none, F(ext, 0x01)},
    {op_compare, "compare", "compare", G::two_operand_arithmetic, takes_two_operand, arith(0x10)},
    {op_compl, "compl", "compl", G::single_accumulator, takes_accu, F(ext_accu, 0x20)},
    {op_decr, "decr", "decr", G::single_accumulator, takes_accu, F(accu, 0xFC)},
    {op_decramadr, "decramadr", "decramadr", G::ram_address, takes_none, F(byte, 0xF4)},
    {op_div24, "div24", "div24", G::multiply_divide, takes_pair, F(ext_pair, 0x60)},
    {op_div48, "div48", "div48", G::wide_48bit, rejected, F(none)},
    {op_divmod, "divmod", "divmod", G::multiply_divide, takes_pair, F(ext_pair, 0x70)},
    {op_eor, "eor", "eor", G::two_operand_logic, takes_two_operand, logic(0xE0)},
    {op_eorn, "eorn", "eorn", G::two_operand_logic, takes_two_operand, logic(0xF0)},
    {op_equal, "equal", "equal", G::data_word, general(N(max_constant), _, _), F(data_word)},
    {op_getepr, "getepr", "getepr", G::eeprom, takes_accu, F(accu, 0xD8)},
    {op_getflag, "getflag", "getflag", G::single_accumulator, takes_accu, F(accu, 0x0C)},
    {op_goto, "goto", "goto", G::jump, takes_label, jump(0x64, 0xC9)},
    {op_gotoBitC, "gotoBitC", "gotoBitC", G::bit_jump, general(A, N(23), L), F(bit_jump, 0x60, 0)},
    {op_gotoBitS, "gotoBitS", "gotoBitS", G::bit_jump, general(A, N(23), L), F(bit_jump, 0x60, 1)},
    {op_gotoCarC, "gotoCarC", "gotoCarC", G::conditional_jump, takes_label, cond_jump(0)},
    {op_gotoCarS, "gotoCarS", "gotoCarS", G::conditional_jump, takes_label, cond_jump(4)},
    {op_gotoEQ, "gotoEQ", "gotoEQ", G::conditional_jump, takes_label, cond_jump(2)},
    {op_gotoNE, "gotoNE", "gotoNE", G::conditional_jump, takes_label, cond_jump(6)},
    {op_gotoNeg, "gotoNeg", "gotoNeg", G::conditional_jump, takes_label, cond_jump(7)},
    {op_gotoOvrC, "gotoOvrC", "gotoOvrC", G::conditional_jump, takes_label, cond_jump(1)},
    {op_gotoOvrS, "gotoOvrS", "gotoOvrS", G::conditional_jump, takes_label, cond_jump(5)},
    {op_gotoPos, "gotoPos", "gotoPos", G::conditional_jump, takes_label, cond_jump(3)},
    {op_incr, "incr", "incr", G::single_accumulator, takes_accu, F(accu, 0xF8)},
    {op_incramadr, "incramadr", "incramadr", G::ram_address, takes_none, F(byte, 0xF0)},
    {op_initTDC, "initTDC", "initTDC", G::control, takes_none, F(ext, 0x02)},
    {op_invert, "invert", "invert", G::single_accumulator, takes_accu, F(ext_accu, 0x24)},
    {op_jsub, "jsub", "jsub", G::subroutine, takes_label, F(long_jump, 0xCA)},
    {op_jsubret, "jsubret", "jsubret", G::subroutine, takes_none, F(byte, 0xCF)},
    {op_move, "move", "move", G::two_operand_arithmetic, takes_two_operand, arith(0x70)},
    {op_move48r, "move48r", "move48r", G::wide_48bit, rejected, F(none)},
    {op_move48x, "move48x", "move48x", G::wide_48bit, rejected, F(none)},
    {op_mult24, "mult24", "mult24", G::multiply_divide, takes_pair, F(ext_pair, 0x40)},
    {op_mult48, "mult48", "mult48", G::multiply_divide, takes_pair, F(ext_pair, 0x50)},
    {op_nand, "nand", "nand", G::two_operand_logic, takes_two_operand, logic(0x90)},
    {op_newcyc, "newcyc", "newcyc", G::control, takes_none, F(ext, 0x04)},
    {op_nop, "nop", "nop", G::control, takes_none, F(byte, 0x00)},
    {op_nor, "nor", "nor", G::two_operand_logic, takes_two_operand, logic(0xB0)},
    {op_or, "or", "or", G::two_operand_logic, takes_two_operand, logic(0xA0)},
    {op_putepr, "putepr", "putepr", G::eeprom, takes_accu, F(accu_x4, 0xDC)},
    {op_ramadr, "ramadr", "ramadr", G::ram_address, general(N(255), _, _, SizeRule::by_value),
     F({value, 0x80}, {prefixed_value, 0xF2})},
    {op_ramadrext, "ramadrext", "ramadrext", G::wide_48bit, rejected, F(none)},
    {op_rotL, "rotL", "rotL", G::shift_rotate, takes_shift(0), shift(0xD4, 3)},
    {op_rotR, "rotR", "rotR", G::shift_rotate, takes_shift(0), shift(0xC4, 1)},
    {op_setC, "setC", "setC", G::flags, takes_none, F(byte, 0xCC)},
    {op_shiftL, "shiftL", "shiftL", G::shift_rotate, takes_shift(1), shift(0xD0, 2)},
    {op_shiftR, "shiftR", "shiftR", G::shift_rotate, takes_shift(1), shift(0xC0, 0)},
    {op_sign, "sign", "sign", G::single_accumulator, takes_accu, F(ext_accu, 0x2C)},
    {op_skip, "skip", "skip", G::skip, takes_count, F(count, 0x64)},
    {op_skipBitC, "skipBitC", "skipBitC", G::bit_skip, general(A, N(23), C(3)),
     F(bit_skip, 0x60, 0)},
    {op_skipBitS, "skipBitS", "skipBitS", G::bit_skip, general(A, N(23), C(3)),
     F(bit_skip, 0x60, 1)},
    {op_skipCarC, "skipCarC", "skipCarC", G::skip, takes_count, cond_skip(0)},
    {op_skipCarS, "skipCarS", "skipCarS", G::skip, takes_count, cond_skip(4)},
    {op_skipEQ, "skipEQ", "skipEQ", G::skip, takes_count, cond_skip(2)},
    {op_skipNE, "skipNE", "skipNE", G::skip, takes_count, cond_skip(6)},
    {op_skipNeg, "skipNeg", "skipNeg", G::skip, takes_count, cond_skip(7)},
    {op_skipOvrC, "skipOvrC", "skipOvrC", G::skip, takes_count, cond_skip(1)},
    {op_skipOvrS, "skipOvrS", "skipOvrS", G::skip, takes_count, cond_skip(5)},
    {op_skipPos, "skipPos", "skipPos", G::skip, takes_count, cond_skip(3)},
    {op_stop, "stop", "stop", G::control, takes_none, F(byte, 0xCD)},
    {op_sub, "sub", "sub", G::two_operand_arithmetic, takes_two_operand, arith(0x30)},
    {op_sub48r, "sub48r", "sub48r", G::wide_48bit, rejected, F(none)},
    {op_sub48x, "sub48x", "sub48x", G::wide_48bit, rejected, F(none)},
    {op_swap, "swap", "swap", G::two_operand_arithmetic, takes_pair, F(swap)},
    {op_swap48, "swap48", "swap48", G::wide_48bit, rejected, F(none)},
    {op_usrEprInit, "usrEprInit", "usrEprInit", G::directive, general(N(127), N(255), _), F(none)},
}};

constexpr bool numbered_in_order() {
    for (int i = 0; i < mnemonic_count; ++i)
        if (table[i].number != i) return false;
    return true;
}
static_assert(numbered_in_order(), "mnemonic table must be in opcode order");

} // namespace table_detail

inline constexpr const std::array<Mnemonic, mnemonic_count>& instruction_table =
    table_detail::table;

// The table row of a valid opcode number.
constexpr const Mnemonic& mnemonic_of(int opcode) {
    return instruction_table[static_cast<std::size_t>(opcode)];
}

// Whether a mnemonic has a constant form beside its accumulator form (the two-operand
// arithmetic and logic); false for numbers outside 0..80.
constexpr bool has_constant_form(int opcode) {
    if (!is_opcode(opcode)) return false;
    for (const Form& form : mnemonic_of(opcode).forms)
        if (form.layout == Layout::constant || form.layout == Layout::ext_constant) return true;
    return false;
}

// Whether a statement names one accumulator twice where the chip would misread it: the
// accumulator form of a == b is the first byte of the constant form (`add y, y` would be
// 0x25, the start of `add y, k`), so the chip would take the next three bytes as k.
constexpr bool same_accumulator_twice(int opcode, const Operands& operands) {
    return has_constant_form(opcode) && operands[0].kind == OperandKind::accumulator &&
           operands[1].kind == OperandKind::accumulator && operands[0].value == operands[1].value;
}

} // namespace isa
