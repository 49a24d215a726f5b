// Encoding a checked statement into KZ71 code bytes, with one comment text per byte.
//
// The statement's size chooses its form: accumulator or constant form of the two-operand
// mnemonics, short (displacement) or long (13-bit address) jump, shift or rotation with or
// without a count; ramadr must have the size its value gives. Label operands hold the target
// address. Cases worth knowing:
// - The accumulator forms of the mnemonics that also have a constant form (`add`, `sub`,
//   `compare`, `move`, `and`, `nand`, `or`, `nor`, `eor`, `eorn`) do not take the same
//   accumulator twice: `add y, y` would be 0x25, the first byte of `add y, k`, and the chip
//   would take the next three bytes as k. They are refused as wrong_operands (the assembler
//   reports them as operand errors). The multiply and divide mnemonics have no constant
//   form and take any pair.
// - `swap` has one byte for both operand orders. `swap z, z` and `swap r, r` are encoded as
//   0x00 (no operation, like `swap x, x`): the byte formula would give `clear z` and
//   `getflag r`, which destroy the accumulator that a self-swap leaves unchanged.
// - `addepr` does not encode its accumulator; `equal` writes its 24-bit value as a data word.
// - `usrEprInit` (size 0) encodes to no bytes; the 48-bit mnemonics have no encoding.
// - A rotation by 0 is encoded with count field 15, as (count - 1) mod 16.
#pragma once

#include "isa/instruction_table.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace isa {

enum class EncodeStatus : std::uint8_t {
    ok,
    no_code,        // opcode number without an encoding (48-bit mnemonics, outside 0..80)
    wrong_size,     // the size matches none of the mnemonic's forms
    wrong_operands, // operand kinds or values do not fit the form
    out_of_reach,   // a short jump's displacement does not fit its byte
};

struct Bytes {
    std::array<std::uint8_t, max_instruction_size> data{};
    int size = 0;
    friend constexpr bool operator==(const Bytes&, const Bytes&) = default;
};

namespace encode_detail {

constexpr const Form* select_form(const Mnemonic& m, int size) {
    if (layout_size(m.forms[0].layout) == size) return &m.forms[0];
    if (m.forms[1].layout != Layout::none && layout_size(m.forms[1].layout) == size)
        return &m.forms[1];
    return nullptr;
}

constexpr bool operand_fits(const Slot& slot, OperandKind expected, const Operand& operand) {
    if (operand.kind != expected) return false;
    switch (expected) {
    case OperandKind::none:
        return true;
    case OperandKind::accumulator:
        return operand.value >= acc_x && operand.value <= acc_r;
    case OperandKind::number:
        return slot.in_range(operand.value);
    case OperandKind::label:
        return operand.value >= 0 && operand.value <= max_code_address;
    }
    return false;
}

constexpr bool operands_fit(const Mnemonic& m, const Form& form, const Instruction& in) {
    if (form.layout == Layout::none) return true; // nothing is encoded
    const std::array<OperandKind, 3> kinds = layout_kinds(form.layout);
    for (int i = 0; i < 3; ++i)
        if (!operand_fits(m.rules.positions[i], kinds[i], in.operands[i])) return false;
    return true;
}

// Displacement byte of a short jump whose displacement byte sits at `at`.
constexpr bool displacement(int target, int at, int& byte) {
    const int d = target - at;
    if (d < -128 || d > 127) return false;
    byte = d & 0xFF;
    return true;
}

constexpr EncodeStatus write_bytes(const Form& form, const Instruction& in, Bytes& out) {
    const int base = form.base, p = form.param;
    const int v1 = in.operands[0].value, v2 = in.operands[1].value, v3 = in.operands[2].value;
    auto put = [&out](int byte) { out.data[out.size++] = static_cast<std::uint8_t>(byte); };
    auto put_constant = [&put](std::int32_t k) {
        put((k >> 16) & 0xFF);
        put((k >> 8) & 0xFF);
        put(k & 0xFF);
    };
    int d = 0;
    switch (form.layout) {
    case Layout::none:
        break;
    case Layout::byte:
        put(base);
        break;
    case Layout::accu:
        put(base + v1);
        break;
    case Layout::accu_x4:
        for (int i = 0; i < 4; ++i)
            put(base + v1);
        break;
    case Layout::pair:
        put(base + 4 * v1 + v2);
        break;
    case Layout::constant:
        put(base + 5 * v1);
        put_constant(v2);
        break;
    case Layout::swap:
        if (is_unsupported_swap(v1, v2)) return EncodeStatus::wrong_operands;
        if (v1 == v2 && v1 >= acc_z)
            put(0x00);
        else
            put(v1 >= acc_z ? 4 * v2 + v1 : 4 * v1 + v2);
        break;
    case Layout::count:
        put(base + v1);
        break;
    case Layout::short_jump:
        if (!displacement(v1, in.address + 1, d)) return EncodeStatus::out_of_reach;
        put(base);
        put(d);
        break;
    case Layout::long_jump:
        put(base);
        put((v1 >> 8) & 0x1F);
        put(v1 & 0xFF);
        break;
    case Layout::bit_skip:
        put(base + v3);
        put(8 * v2 + 4 * p + v1);
        break;
    case Layout::bit_jump:
        if (!displacement(v3, in.address + 2, d)) return EncodeStatus::out_of_reach;
        put(base);
        put(8 * v2 + 4 * p + v1);
        put(d);
        break;
    case Layout::value:
        if (v1 > 63) return EncodeStatus::wrong_operands;
        put(base + v1);
        break;
    case Layout::prefixed_value:
        if (v1 < 64) return EncodeStatus::wrong_operands;
        put(base);
        put(v1);
        break;
    case Layout::shift_count:
        put(base);
        put(16 * ((v2 + 15) % 16) + 4 * p + v1);
        break;
    case Layout::bit_op:
        put(base + 4 * ((v2 >> 4) & 1));
        put(128 * ((v2 >> 3) & 1) + 32 * p + 4 * (v2 & 7) + v1);
        break;
    case Layout::data_word:
        put_constant(v1);
        break;
    case Layout::ext:
    case Layout::ext_unencoded:
        put(ext_prefix);
        put(base);
        break;
    case Layout::ext_value:
    case Layout::ext_accu:
        put(ext_prefix);
        put(base + v1);
        break;
    case Layout::ext_pair:
        put(ext_prefix);
        put(base + 4 * v1 + v2);
        break;
    case Layout::ext_constant:
        put(ext_prefix);
        put(base + 5 * v1);
        put_constant(v2);
        break;
    }
    return EncodeStatus::ok;
}

} // namespace encode_detail

// The code bytes of a statement, without comments and without allocating. On any status
// but ok, `out` is empty.
constexpr EncodeStatus encode_bytes(const Instruction& in, Bytes& out) {
    out = {};
    if (!is_opcode(in.opcode)) return EncodeStatus::no_code;
    const Mnemonic& m = mnemonic_of(in.opcode);
    if (m.rules.check == Check::not_found) return EncodeStatus::no_code;
    const Form* form = encode_detail::select_form(m, in.size);
    if (form == nullptr) return EncodeStatus::wrong_size;
    if (!encode_detail::operands_fit(m, *form, in) ||
        same_accumulator_twice(in.opcode, in.operands))
        return EncodeStatus::wrong_operands;
    const EncodeStatus status = encode_detail::write_bytes(*form, in, out);
    if (status != EncodeStatus::ok) out = {};
    return status;
}

struct Encoded {
    EncodeStatus status = EncodeStatus::no_code;
    Bytes bytes;
    std::vector<std::string> comments; // one per byte, first byte first
};

// Bytes and comment texts of a statement.
Encoded encode(const Instruction& instruction);

// Comment text of byte j of a statement, j counted from its last byte (0) up to size - 1:
// "and_4 (1,5)", "clk10KHz_1 (1)", "nop ()". Names come from get_opcode_name; numbers are in
// signed decimal, accumulators as their numbers, jump targets as their addresses. The form
// (none, one, two or three operands) is the number of operands the statement holds.
std::string comment_text(const Instruction& instruction, int j);

// What the comment texts of one statement's bytes are made of, worked out once for all of
// them: the name, then "_" and j when the statement has more than one byte, then the
// operands (" (1,5)").
struct CommentParts {
    std::string_view name;
    bool numbered = false;
    std::array<char, 40> operands{}; // three 32-bit numbers and punctuation
    std::size_t operands_size = 0;

    std::string_view operands_text() const { return {operands.data(), operands_size}; }
    // Writes the text of byte j at `out`, which has room for max_comment_size characters,
    // and returns the end.
    char* write(char* out, int j) const;
};
inline constexpr std::size_t max_comment_size = 80; // name, "_", j and the operands

CommentParts comment_parts(const Instruction& instruction);

} // namespace isa
