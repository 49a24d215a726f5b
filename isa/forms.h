// The byte layouts of KZ71 instructions. Every mnemonic has one or two forms, each a layout
// with a base byte and a layout parameter; encode and decode both work from these.
#pragma once

#include "isa/operands.h"

#include <array>
#include <cstdint>

namespace isa {

// a, b: accumulators of operands 1 and 2; k: 24-bit constant as k2 k1 k0; v: value;
// c: count; n: bit number; t: jump target, th/tl its 13-bit halves; d: displacement byte;
// p: the layout parameter of the form.
enum class Layout : std::uint8_t {
    none,           // no code (usrEprInit)
    byte,           // base
    accu,           // base + a
    accu_x4,        // base + a, four times
    pair,           // base + 4a + b
    constant,       // base + 5a, k2, k1, k0
    swap,           // 4b + a when a is z or r, else 4a + b
    count,          // base + c
    short_jump,     // base, d
    long_jump,      // base, th, tl
    bit_skip,       // base + c, 8n + 4p + a
    bit_jump,       // base, 8n + 4p + a, d
    value,          // base + v (v up to 63)
    prefixed_value, // base, v (v from 64)
    shift_count,    // base, 16((c - 1) mod 16) + 4p + a
    bit_op,         // base + 4n[4], 128n[3] + 32p + 4(n mod 8) + a
    data_word,      // k2, k1, k0
    ext,            // 0xCB, base
    ext_unencoded,  // 0xCB, base; the accumulator operand is not encoded
    ext_value,      // 0xCB, base + v
    ext_accu,       // 0xCB, base + a
    ext_pair,       // 0xCB, base + 4a + b
    ext_constant,   // 0xCB, base + 5a, k2, k1, k0
};

inline constexpr std::uint8_t ext_prefix = 0xCB;

struct Form {
    Layout layout = Layout::none;
    std::uint8_t base = 0;
    std::uint8_t param = 0;
    friend constexpr bool operator==(const Form&, const Form&) = default;
};

constexpr int layout_size(Layout layout) {
    switch (layout) {
    case Layout::none:
        return 0;
    case Layout::byte:
    case Layout::accu:
    case Layout::pair:
    case Layout::swap:
    case Layout::count:
    case Layout::value:
        return 1;
    case Layout::short_jump:
    case Layout::bit_skip:
    case Layout::prefixed_value:
    case Layout::shift_count:
    case Layout::bit_op:
    case Layout::ext:
    case Layout::ext_unencoded:
    case Layout::ext_value:
    case Layout::ext_accu:
    case Layout::ext_pair:
        return 2;
    case Layout::long_jump:
    case Layout::bit_jump:
    case Layout::data_word:
        return 3;
    case Layout::accu_x4:
    case Layout::constant:
        return 4;
    case Layout::ext_constant:
        return 5;
    }
    return 0;
}

// The operand kinds a layout encodes, position by position.
constexpr std::array<OperandKind, 3> layout_kinds(Layout layout) {
    constexpr OperandKind A = OperandKind::accumulator, N = OperandKind::number,
                          L = OperandKind::label, _ = OperandKind::none;
    switch (layout) {
    case Layout::none:
    case Layout::byte:
    case Layout::ext:
        return {_, _, _};
    case Layout::accu:
    case Layout::accu_x4:
    case Layout::ext_unencoded:
    case Layout::ext_accu:
        return {A, _, _};
    case Layout::pair:
    case Layout::swap:
    case Layout::ext_pair:
        return {A, A, _};
    case Layout::constant:
    case Layout::ext_constant:
    case Layout::shift_count:
    case Layout::bit_op:
        return {A, N, _};
    case Layout::count:
    case Layout::value:
    case Layout::prefixed_value:
    case Layout::ext_value:
    case Layout::data_word:
        return {N, _, _};
    case Layout::short_jump:
    case Layout::long_jump:
        return {L, _, _};
    case Layout::bit_skip:
        return {A, N, N};
    case Layout::bit_jump:
        return {A, N, L};
    }
    return {_, _, _};
}

// Layouts whose mnemonic shows only in the second byte; the decoder keys them on both.
constexpr bool keyed_on_second_byte(Layout layout) {
    switch (layout) {
    case Layout::bit_skip:
    case Layout::bit_jump:
    case Layout::shift_count:
    case Layout::bit_op:
    case Layout::ext:
    case Layout::ext_unencoded:
    case Layout::ext_value:
    case Layout::ext_accu:
    case Layout::ext_pair:
    case Layout::ext_constant:
        return true;
    default:
        return false;
    }
}

} // namespace isa
