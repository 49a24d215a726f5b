#include "mnemonics.h"

#include <array>

namespace isa {
namespace {

using G = Group;

constexpr std::array<Mnemonic, mnemonic_count> table{{
    {op_abs, "abs", "abs", G::single_accumulator},
    {op_add, "add", "add", G::two_operand_arithmetic},
    {op_add48r, "add48r", "add48r", G::wide_48bit},
    {op_add48x, "add48x", "add48x", G::wide_48bit},
    {op_addepr, "addepr", "addepr", G::eeprom},
    {op_and, "and", "and", G::two_operand_logic},
    {op_bitclr, "bitclr", "bitclr", G::bit},
    {op_bitinv, "bitinv", "bitinv", G::bit},
    {op_bitset, "bitset", "bitset", G::bit},
    {op_clear, "clear", "clear", G::single_accumulator},
    {op_clk10khz, "clk10khz", "clk10KHz", G::clock},
    {op_clk675khz, "clk675khz", "clk675KHz", G::clock},
    {op_clk4mhz, "clk4mhz", "clk4MHz", G::clock},
    {op_clrC, "clrC", "clrC", G::flags},
    {op_clrwdt, "clrwdt", "clrwdt", G::control},
    {op_compare, "compare", "compare", G::two_operand_arithmetic},
    {op_compl, "compl", "compl", G::single_accumulator},
    {op_decr, "decr", "decr", G::single_accumulator},
    {op_decramadr, "decramadr", "decramadr", G::ram_address},
    {op_div24, "div24", "div24", G::multiply_divide},
    {op_div48, "div48", "div48", G::wide_48bit},
    {op_divmod, "divmod", "divmod", G::multiply_divide},
    {op_eor, "eor", "eor", G::two_operand_logic},
    {op_eorn, "eorn", "eorn", G::two_operand_logic},
    {op_equal, "equal", "equal", G::data_word},
    {op_getepr, "getepr", "getepr", G::eeprom},
    {op_getflag, "getflag", "getflag", G::single_accumulator},
    {op_goto, "goto", "goto", G::jump},
    {op_gotoBitC, "gotoBitC", "gotoBitC", G::bit_jump},
    {op_gotoBitS, "gotoBitS", "gotoBitS", G::bit_jump},
    {op_gotoCarC, "gotoCarC", "gotoCarC", G::conditional_jump},
    {op_gotoCarS, "gotoCarS", "gotoCarS", G::conditional_jump},
    {op_gotoEQ, "gotoEQ", "gotoEQ", G::conditional_jump},
    {op_gotoNE, "gotoNE", "gotoNE", G::conditional_jump},
    {op_gotoNeg, "gotoNeg", "gotoNeg", G::conditional_jump},
    {op_gotoOvrC, "gotoOvrC", "gotoOvrC", G::conditional_jump},
    {op_gotoOvrS, "gotoOvrS", "gotoOvrS", G::conditional_jump},
    {op_gotoPos, "gotoPos", "gotoPos", G::conditional_jump},
    {op_incr, "incr", "incr", G::single_accumulator},
    {op_incramadr, "incramadr", "incramadr", G::ram_address},
    {op_initTDC, "initTDC", "initTDC", G::control},
    {op_invert, "invert", "invert", G::single_accumulator},
    {op_jsub, "jsub", "jsub", G::subroutine},
    {op_jsubret, "jsubret", "jsubret", G::subroutine},
    {op_move, "move", "move", G::two_operand_arithmetic},
    {op_move48r, "move48r", "move48r", G::wide_48bit},
    {op_move48x, "move48x", "move48x", G::wide_48bit},
    {op_mult24, "mult24", "mult24", G::multiply_divide},
    {op_mult48, "mult48", "mult48", G::multiply_divide},
    {op_nand, "nand", "nand", G::two_operand_logic},
    {op_newcyc, "newcyc", "newcyc", G::control},
    {op_nop, "nop", "nop", G::control},
    {op_nor, "nor", "nor", G::two_operand_logic},
    {op_or, "or", "or", G::two_operand_logic},
    {op_putepr, "putepr", "putepr", G::eeprom},
    {op_ramadr, "ramadr", "ramadr", G::ram_address},
    {op_ramadrext, "ramadrext", "ramadrext", G::wide_48bit},
    {op_rotL, "rotL", "rotL", G::shift_rotate},
    {op_rotR, "rotR", "rotR", G::shift_rotate},
    {op_setC, "setC", "setC", G::flags},
    {op_shiftL, "shiftL", "shiftL", G::shift_rotate},
    {op_shiftR, "shiftR", "shiftR", G::shift_rotate},
    {op_sign, "sign", "sign", G::single_accumulator},
    {op_skip, "skip", "skip", G::skip},
    {op_skipBitC, "skipBitC", "skipBitC", G::bit_skip},
    {op_skipBitS, "skipBitS", "skipBitS", G::bit_skip},
    {op_skipCarC, "skipCarC", "skipCarC", G::skip},
    {op_skipCarS, "skipCarS", "skipCarS", G::skip},
    {op_skipEQ, "skipEQ", "skipEQ", G::skip},
    {op_skipNE, "skipNE", "skipNE", G::skip},
    {op_skipNeg, "skipNeg", "skipNeg", G::skip},
    {op_skipOvrC, "skipOvrC", "skipOvrC", G::skip},
    {op_skipOvrS, "skipOvrS", "skipOvrS", G::skip},
    {op_skipPos, "skipPos", "skipPos", G::skip},
    {op_stop, "stop", "stop", G::control},
    {op_sub, "sub", "sub", G::two_operand_arithmetic},
    {op_sub48r, "sub48r", "sub48r", G::wide_48bit},
    {op_sub48x, "sub48x", "sub48x", G::wide_48bit},
    {op_swap, "swap", "swap", G::two_operand_arithmetic},
    {op_swap48, "swap48", "swap48", G::wide_48bit},
    {op_usrEprInit, "usrEprInit", "usrEprInit", G::directive},
}};

constexpr bool numbered_in_order() {
    for (int i = 0; i < mnemonic_count; ++i)
        if (table[i].number != i) return false;
    return true;
}
static_assert(numbered_in_order(), "mnemonic table must be in opcode order");

} // namespace

std::span<const Mnemonic> mnemonics() {
    return table;
}

std::optional<Opcode> find_mnemonic(std::string_view word) {
    for (const Mnemonic& m : table)
        if (m.source == word) return m.number;
    return std::nullopt;
}

std::string_view get_opcode_name(int number) {
    if (!is_opcode(number)) return "opcode not found!!!";
    return table[number].message;
}

} // namespace isa
