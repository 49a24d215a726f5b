// Operands, the plain instruction record shared by encode and decode, and the rules that
// say which operands each mnemonic takes, in which ranges, and how many bytes it occupies.
#pragma once

#include <array>
#include <cstdint>

namespace isa {

inline constexpr int max_code_address = 8191; // 13-bit absolute jump addresses
inline constexpr int max_instruction_size = 5;

// Accumulator numbers as statements hold them.
enum Accumulator : int { acc_x, acc_y, acc_z, acc_r };

// The kind of one operand position.
enum class OperandKind : std::uint8_t { none, accumulator, number, label };

struct Operand {
    OperandKind kind = OperandKind::none;
    // Accumulator number, number value, or (label) the code address of the jump target.
    std::int32_t value = 0;

    static constexpr Operand accu(int a) { return {OperandKind::accumulator, a}; }
    static constexpr Operand number(std::int32_t v) { return {OperandKind::number, v}; }
    static constexpr Operand target(int address) { return {OperandKind::label, address}; }
    constexpr bool present() const { return kind != OperandKind::none; }
    friend constexpr bool operator==(const Operand&, const Operand&) = default;
};

using Operands = std::array<Operand, 3>;

// One statement as the encoder takes it and the decoder returns it. `size` selects the form
// (accumulator or constant form, short or long jump, shift with or without a count).
struct Instruction {
    int opcode = -1; // 0..80; anything else is not an instruction
    Operands operands{};
    int size = 0;    // bytes
    int address = 0; // code address of the first byte
    friend constexpr bool operator==(const Instruction&, const Instruction&) = default;
};

// Which operand check a mnemonic gets: the general check over its three slots, the check of
// the two-operand arithmetic and logic (accumulator, then accumulator or 24-bit constant),
// the check of shifts and rotations (accumulator, then an optional count), or none at all
// (the 48-bit mnemonics, which are rejected as "opcode not found!!!").
enum class Check : std::uint8_t { general, two_operand, shift_rotate, not_found };

// How the statement's first size is chosen from its two forms (small, large).
enum class SizeRule : std::uint8_t {
    fixed,          // always the small form
    by_second_kind, // small when operand 2 is an accumulator, else large
    by_count,       // large when operand 2 is a number, else small
    by_value,       // small when operand 1 is at most 63, else large
};

// What one operand position accepts.
struct Slot {
    std::uint8_t kinds = 0; // bit (1 << kind) per accepted kind; 0: the position stays empty
    bool optional = false;
    // Range of a number. A minimum of 1 marks a count whose 0 has its own message
    // ("parameter can not be zero", or "third parameter can not be zero" in position 3).
    std::uint32_t min = 0;
    std::uint32_t max = 0;

    constexpr bool accepts(OperandKind k) const { return (kinds >> static_cast<int>(k)) & 1u; }
    constexpr bool empty() const { return kinds == 0; }
    // The one kind the general check expects here (none for an empty position).
    constexpr OperandKind expected_kind() const {
        for (OperandKind k : {OperandKind::accumulator, OperandKind::number, OperandKind::label})
            if (accepts(k)) return k;
        return OperandKind::none;
    }
    constexpr bool in_range(std::int32_t v) const {
        return v >= 0 && static_cast<std::uint32_t>(v) >= min &&
               static_cast<std::uint32_t>(v) <= max;
    }
};

struct Rules {
    Check check = Check::not_found;
    std::array<Slot, 3> positions{};
    SizeRule size_rule = SizeRule::fixed;
};

// The rules of an opcode number; numbers outside 0..80 get Check::not_found.
const Rules& operand_rules(int opcode);

// Index (0..2) of the operand that names a jump label, or -1.
int label_operand(int opcode);

// Size a statement gets when its operands are checked: the small or large form as its
// size rule picks, whatever the operands hold (a statement that failed its checks still
// gets a size). Jumps get their short form; 0 for usrEprInit and for numbers without rules.
int initial_size(int opcode, const Operands& operands);

// Size of the long (13-bit address) form of goto, the conditional jumps and jsub; 0 for others.
int long_size(int opcode);

// Whether a jump at `address` keeps its short form for a target at `target`:
// -127..127 bytes for goto and the conditional jumps, -126..127 for the bit jumps.
bool short_jump_reaches(int opcode, int address, int target);

// swap cannot exchange z with r (in either order).
constexpr bool is_unsupported_swap(int a, int b) {
    return (a == acc_z && b == acc_r) || (a == acc_r && b == acc_z);
}

} // namespace isa
