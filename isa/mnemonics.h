// The KZ71 mnemonics: one table, indexed by opcode number 0..80, that the assembler,
// the simulator, the editor's highlighting and the disassembly all read.
#pragma once

#include "isa/forms.h"
#include "isa/operands.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace isa {

// Opcode numbers; the order is the order of the mnemonic table.
enum Opcode : int {
    op_abs,
    op_add,
    op_add48r,
    op_add48x,
    op_addepr,
    op_and,
    op_bitclr,
    op_bitinv,
    op_bitset,
    op_clear,
    op_clk10khz,
    op_clk675khz,
    op_clk4mhz,
    op_clrC,
    op_clrwdt,
    op_compare,
    op_compl,
    op_decr,
    op_decramadr,
    op_div24,
    op_div48,
    op_divmod,
    op_eor,
    op_eorn,
    op_equal,
    op_getepr,
    op_getflag,
    op_goto,
    op_gotoBitC,
    op_gotoBitS,
    op_gotoCarC,
    op_gotoCarS,
    op_gotoEQ,
    op_gotoNE,
    op_gotoNeg,
    op_gotoOvrC,
    op_gotoOvrS,
    op_gotoPos,
    op_incr,
    op_incramadr,
    op_initTDC,
    op_invert,
    op_jsub,
    op_jsubret,
    op_move,
    op_move48r,
    op_move48x,
    op_mult24,
    op_mult48,
    op_nand,
    op_newcyc,
    op_nop,
    op_nor,
    op_or,
    op_putepr,
    op_ramadr,
    op_ramadrext,
    op_rotL,
    op_rotR,
    op_setC,
    op_shiftL,
    op_shiftR,
    op_sign,
    op_skip,
    op_skipBitC,
    op_skipBitS,
    op_skipCarC,
    op_skipCarS,
    op_skipEQ,
    op_skipNE,
    op_skipNeg,
    op_skipOvrC,
    op_skipOvrS,
    op_skipPos,
    op_stop,
    op_sub,
    op_sub48r,
    op_sub48x,
    op_swap,
    op_swap48,
    op_usrEprInit,
};

inline constexpr int mnemonic_count = 81;

// What a mnemonic is for; drives operand checks, help and highlighting groups.
enum class Group {
    single_accumulator,
    two_operand_arithmetic,
    two_operand_logic,
    wide_48bit, // keywords of the language, rejected by the back end
    eeprom,
    bit,
    clock,
    flags,
    control,
    ram_address,
    multiply_divide,
    data_word,
    jump,
    conditional_jump,
    bit_jump,
    subroutine,
    shift_rotate,
    skip,
    bit_skip,
    directive,
};

struct Mnemonic {
    Opcode number;
    std::string_view source;  // keyword accepted in source text (case-sensitive)
    std::string_view message; // name used in messages and code-image comments
    Group group;
    Rules rules;               // operand kinds, ranges and the size rule
    std::array<Form, 2> forms; // small and large form; a single form leaves the large one none
};

// All 81 mnemonics in opcode order (the table itself is in isa/instruction_table.h).
std::span<const Mnemonic> mnemonics();

// The mnemonic whose source keyword is exactly `word`, if any.
std::optional<Opcode> find_mnemonic(std::string_view word);
// The same as a plain number, -1 for none (the scanner's form: no optional to unpack).
int mnemonic_number(std::string_view word);

// True for 0..80.
constexpr bool is_opcode(int number) {
    return number >= 0 && number < mnemonic_count;
}

// Message name of an opcode number; "opcode not found!!!" outside 0..80.
std::string_view get_opcode_name(int number);

// Predicates over opcode numbers; false for numbers outside 0..80.
constexpr bool is_skip(int number) {
    return number >= op_skip && number <= op_skipPos;
}
constexpr bool is_label_jump(int number) {
    return number == op_goto || (number >= op_gotoCarC && number <= op_gotoPos);
}
constexpr bool is_bit_jump(int number) {
    return number == op_gotoBitC || number == op_gotoBitS;
}
constexpr bool is_subroutine_call(int number) {
    return number == op_jsub;
}
constexpr bool is_bit_skip(int number) {
    return number == op_skipBitC || number == op_skipBitS;
}

// The jump that does what a skip does when it must reach further: `skip` becomes `goto`,
// each conditional or bit skip the jump of the same condition. -1 for other numbers.
constexpr int jump_for_skip(int number) {
    switch (number) {
    case op_skip:
        return op_goto;
    case op_skipCarC:
        return op_gotoCarC;
    case op_skipCarS:
        return op_gotoCarS;
    case op_skipEQ:
        return op_gotoEQ;
    case op_skipNE:
        return op_gotoNE;
    case op_skipNeg:
        return op_gotoNeg;
    case op_skipOvrC:
        return op_gotoOvrC;
    case op_skipOvrS:
        return op_gotoOvrS;
    case op_skipPos:
        return op_gotoPos;
    case op_skipBitC:
        return op_gotoBitC;
    case op_skipBitS:
        return op_gotoBitS;
    default:
        return -1;
    }
}

// The bit skip that, skipping one long `goto`, does what a bit jump does: jumping when the
// bit is clear is skipping the jump when it is set, and the reverse. -1 for other numbers.
constexpr int opposite_bit_skip(int number) {
    switch (number) {
    case op_gotoBitC:
        return op_skipBitS;
    case op_gotoBitS:
        return op_skipBitC;
    default:
        return -1;
    }
}

// Operand position (0..2) of a skip's count: 2 for the bit skips, else 0.
constexpr int skip_count_operand(int number) {
    return is_bit_skip(number) ? 2 : 0;
}

} // namespace isa
