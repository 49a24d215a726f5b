#include "isa/decode.h"

#include "isa/encode.h"

#include <algorithm>

namespace isa {
namespace {

// Decode tables, built at compile time by running the encoder over every operand value that
// can change a key byte: a form claims the first byte it produces, or for the layouts that
// show their mnemonic only in the second byte, the pair of first and second byte.
using FormId = std::uint8_t; // opcode * 2 + form index
constexpr FormId no_form = 0xFF;
constexpr int second_table_count = 8;

constexpr const Form& form_of(FormId id) {
    return mnemonic_of(id / 2).forms[id % 2];
}

struct DecodeTables {
    std::array<FormId, 256> first{};
    std::array<std::uint8_t, 256> second_index{}; // second-byte table of a first byte
    std::array<std::array<FormId, 256>, second_table_count> second{};
    int second_count = 0;
    int conflicts = 0; // claims that no precedence settles; must stay 0
};

// Where two forms produce the same key, the one the chip executes wins: nop over the
// self-swaps coded 0x00.
constexpr int precedence(Layout layout) {
    return layout == Layout::byte;
}

constexpr void claim(FormId& slot, FormId id, int& conflicts) {
    if (slot == no_form || slot == id) {
        slot = id;
        return;
    }
    const int held = precedence(form_of(slot).layout), claiming = precedence(form_of(id).layout);
    if (claiming > held)
        slot = id;
    else if (claiming == held)
        ++conflicts;
}

constexpr void claim_key(DecodeTables& t, const Bytes& bytes, FormId id) {
    const std::uint8_t b0 = bytes.data[0];
    if (!keyed_on_second_byte(form_of(id).layout)) {
        if (t.second_index[b0] != no_form)
            ++t.conflicts;
        else
            claim(t.first[b0], id, t.conflicts);
        return;
    }
    if (t.first[b0] != no_form) {
        ++t.conflicts;
        return;
    }
    if (t.second_index[b0] == no_form) {
        if (t.second_count == second_table_count) {
            ++t.conflicts;
            return;
        }
        t.second_index[b0] = static_cast<std::uint8_t>(t.second_count++);
    }
    claim(t.second[t.second_index[b0]][bytes.data[1]], id, t.conflicts);
}

// Operand values to try per position: all accumulators, numbers from the slot's minimum
// (at most 256 of them, enough for every value that lands in a key byte), one target.
struct ValueRange {
    OperandKind kind;
    int low, high;
};

constexpr int sample_address = 0x100; // jumps are tried at this address, to this target

constexpr ValueRange value_range(OperandKind kind, const Slot& slot) {
    switch (kind) {
    case OperandKind::accumulator:
        return {kind, acc_x, acc_r};
    case OperandKind::number:
        return {kind, static_cast<int>(slot.min),
                static_cast<int>(std::min<std::uint32_t>(slot.max, slot.min + 255))};
    case OperandKind::label:
        return {kind, sample_address, sample_address};
    case OperandKind::none:
        break;
    }
    return {kind, 0, 0};
}

constexpr void add_form(DecodeTables& t, int opcode, int index) {
    const Mnemonic& m = mnemonic_of(opcode);
    const Form& form = m.forms[index];
    if (form.layout == Layout::none || form.layout == Layout::data_word) return;
    const std::array<OperandKind, 3> kinds = layout_kinds(form.layout);
    std::array<ValueRange, 3> r{};
    for (int i = 0; i < 3; ++i)
        r[i] = value_range(kinds[i], m.rules.positions[i]);
    const auto id = static_cast<FormId>(opcode * 2 + index);
    Instruction in{opcode, {}, layout_size(form.layout), sample_address};
    Bytes bytes;
    for (int v0 = r[0].low; v0 <= r[0].high; ++v0)
        for (int v1 = r[1].low; v1 <= r[1].high; ++v1)
            for (int v2 = r[2].low; v2 <= r[2].high; ++v2) {
                in.operands = {Operand{kinds[0], v0}, Operand{kinds[1], v1}, Operand{kinds[2], v2}};
                if (encode_bytes(in, bytes) == EncodeStatus::ok) claim_key(t, bytes, id);
            }
}

constexpr DecodeTables build_tables() {
    DecodeTables t;
    t.first.fill(no_form);
    t.second_index.fill(no_form);
    for (auto& table : t.second)
        table.fill(no_form);
    for (int opcode = 0; opcode < mnemonic_count; ++opcode)
        for (int index = 0; index < 2; ++index)
            add_form(t, opcode, index);
    return t;
}

constexpr DecodeTables tables = build_tables();
static_assert(tables.conflicts == 0, "two instruction forms share a key byte");

constexpr int signed_byte(std::uint8_t byte) {
    return byte < 0x80 ? byte : byte - 0x100;
}

// Whether the key bytes alone make an instruction: every key was claimed by an encoding, and
// the bytes after the key are either part of the key or a constant of any value. Jumps (the
// target must lie in the code space), the 2-byte ramadr (its value must be 64 or more) and
// putepr (its four bytes must be equal) are checked by encoding them again.
constexpr bool key_decides(Layout layout) {
    switch (layout) {
    case Layout::short_jump:
    case Layout::long_jump:
    case Layout::bit_jump:
    case Layout::prefixed_value:
    case Layout::accu_x4:
        return false;
    default:
        return true;
    }
}

bool encodes_to(const Instruction& in, std::span<const std::uint8_t> bytes) {
    Bytes check;
    if (encode_bytes(in, check) != EncodeStatus::ok) return false;
    for (int i = 0; i < check.size; ++i)
        if (check.data[static_cast<std::size_t>(i)] != bytes[static_cast<std::size_t>(i)])
            return false;
    return true;
}

// Operands of the bytes of one form.
void read_operands(const Form& form, std::span<const std::uint8_t> bytes, Instruction& in) {
    const int base = form.base;
    const int b0 = bytes[0];
    const int b1 = bytes.size() > 1 ? bytes[1] : 0;
    auto byte = [&bytes](std::size_t i) { return static_cast<int>(bytes[i]); };
    auto constant = [&](std::size_t i) { return byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2); };
    auto relative = [&](int at, std::size_t i) { return at + signed_byte(bytes[i]); };
    using O = Operand;
    Operands& op = in.operands;
    switch (form.layout) {
    case Layout::none:
    case Layout::byte:
    case Layout::ext:
    case Layout::data_word:
        break;
    case Layout::accu:
    case Layout::accu_x4:
        op[0] = O::accu(b0 - base);
        break;
    case Layout::pair:
        op = {O::accu((b0 - base) >> 2), O::accu((b0 - base) & 3), O{}};
        break;
    case Layout::constant:
        op = {O::accu((b0 - base) / 5), O::number(constant(1)), O{}};
        break;
    case Layout::swap:
        op = {O::accu(b0 >> 2), O::accu(b0 & 3), O{}};
        break;
    case Layout::count:
    case Layout::value:
        op[0] = O::number(b0 - base);
        break;
    case Layout::short_jump:
        op[0] = O::target(relative(in.address + 1, 1));
        break;
    case Layout::long_jump:
        op[0] = O::target(byte(1) << 8 | byte(2));
        break;
    case Layout::bit_skip:
        op = {O::accu(b1 & 3), O::number(b1 >> 3), O::number(b0 - base)};
        break;
    case Layout::bit_jump:
        op = {O::accu(b1 & 3), O::number(b1 >> 3), O::target(relative(in.address + 2, 2))};
        break;
    case Layout::prefixed_value:
        op[0] = O::number(b1);
        break;
    case Layout::shift_count:
        op = {O::accu(b1 & 3), O::number((b1 >> 4) == 15 ? 0 : (b1 >> 4) + 1), O{}};
        break;
    case Layout::bit_op:
        op = {O::accu(b1 & 3), O::number(16 * ((b0 - base) >> 2) + 8 * (b1 >> 7) + ((b1 >> 2) & 7)),
              O{}};
        break;
    case Layout::ext_unencoded:
        op[0] = O::accu(acc_x);
        break;
    case Layout::ext_value:
        op[0] = O::number(b1 - base);
        break;
    case Layout::ext_accu:
        op[0] = O::accu(b1 - base);
        break;
    case Layout::ext_pair:
        op = {O::accu((b1 - base) >> 2), O::accu((b1 - base) & 3), O{}};
        break;
    case Layout::ext_constant:
        op = {O::accu((b1 - base) / 5), O::number(constant(2)), O{}};
        break;
    }
}

Decoded not_an_instruction(int address) {
    return {DecodeStatus::not_an_instruction, Instruction{-1, {}, 1, address}};
}

} // namespace

Decoded decode(std::span<const std::uint8_t> bytes, int address) {
    Decoded result{DecodeStatus::truncated, Instruction{-1, {}, 1, address}};
    if (bytes.empty()) return result;
    FormId id = tables.first[bytes[0]];
    if (id == no_form) {
        const std::uint8_t second = tables.second_index[bytes[0]];
        if (second == no_form) return not_an_instruction(address);
        result.instruction.size = 2;
        if (bytes.size() < 2) return result;
        id = tables.second[second][bytes[1]];
        if (id == no_form) return not_an_instruction(address);
    }
    Instruction& in = result.instruction;
    const Form& form = form_of(id);
    in.opcode = id / 2;
    in.size = layout_size(form.layout);
    const auto size = static_cast<std::size_t>(in.size);
    if (bytes.size() < size) return result;
    read_operands(form, bytes, in);
    if (!key_decides(form.layout) && !encodes_to(in, bytes)) return not_an_instruction(address);
    result.status = DecodeStatus::ok;
    return result;
}

Decoded decode_at(std::span<const std::uint8_t> image, int address) {
    if (address < 0 || static_cast<std::size_t>(address) >= image.size())
        return {DecodeStatus::truncated, Instruction{-1, {}, 1, address}};
    return decode(image.subspan(static_cast<std::size_t>(address)), address);
}

std::optional<int> jump_target(const Instruction& instruction) {
    for (const Operand& operand : instruction.operands)
        if (operand.kind == OperandKind::label) return operand.value;
    return std::nullopt;
}

} // namespace isa
