// Throughput of decode (the simulator's fetch), disassembly and encode over a full-size
// program of mixed instructions.
#include "isa/decode.h"
#include "isa/disassemble.h"
#include "isa/encode.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using isa::Instruction;
using isa::Operand;

constexpr int program_limit = 8143;

// A mix like real measurement code: moves and arithmetic with constants, logic, shifts,
// bit tests, skips and jumps in both forms, RAM addressing and the odd control statement.
Instruction random_statement(std::mt19937& rng, int address) {
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const Operand a = Operand::accu(pick(4)), b = Operand::accu(pick(4));
    const Operand target = Operand::target(std::max(0, address + pick(200) - 100));
    switch (pick(12)) {
    case 0:
        return {isa::op_move, {a, Operand::number(pick(0x1000000))}, 4, address};
    case 1:
        return {isa::op_add,
                {a, a.value == b.value ? Operand::number(7) : b},
                a.value == b.value ? 4 : 1,
                address};
    case 2:
        return {isa::op_and, {a, Operand::number(0xFF00)}, 5, address};
    case 3:
        return {isa::op_shiftL, {a, Operand::number(1 + pick(15))}, 2, address};
    case 4:
        return {isa::op_skipBitS,
                {a, Operand::number(pick(24)), Operand::number(1 + pick(3))},
                2,
                address};
    case 5:
        return {isa::op_gotoEQ, {target}, 2, address};
    case 6:
        return {isa::op_goto, {Operand::target(pick(program_limit))}, 3, address};
    case 7:
        return {isa::op_ramadr, {Operand::number(pick(64))}, 1, address};
    case 8:
        return {isa::op_mult24, {a, b}, 2, address};
    case 9:
        return {isa::op_skipNE, {Operand::number(1 + pick(3))}, 1, address};
    case 10:
        return {isa::op_incr, {a}, 1, address};
    default:
        return {isa::op_bitset, {a, Operand::number(pick(24))}, 2, address};
    }
}

struct Program {
    std::vector<Instruction> statements;
    std::vector<std::uint8_t> image;
};

const Program& program() {
    static const Program p = [] {
        Program result;
        std::mt19937 rng(71);
        while (true) {
            const Instruction in = random_statement(rng, static_cast<int>(result.image.size()));
            isa::Bytes bytes;
            if (isa::encode_bytes(in, bytes) != isa::EncodeStatus::ok) continue;
            if (result.image.size() + static_cast<std::size_t>(bytes.size) > program_limit) break;
            result.statements.push_back(in);
            result.image.insert(result.image.end(), bytes.data.begin(),
                                bytes.data.begin() + bytes.size);
        }
        return result;
    }();
    return p;
}

// Decodes the whole image from address 0 on, calling `use` with every result.
template <typename Use>
void sweep(benchmark::State& state, Use use) {
    const std::vector<std::uint8_t>& image = program().image;
    std::int64_t decoded = 0;
    for (auto _ : state) {
        for (int address = 0; address < static_cast<int>(image.size());) {
            const isa::Decoded d = isa::decode_at(image, address);
            use(d);
            address += d.instruction.size;
            ++decoded;
        }
    }
    state.SetItemsProcessed(decoded);
}

void BM_DecodeImage(benchmark::State& state) {
    sweep(state, [](const isa::Decoded& d) { benchmark::DoNotOptimize(d); });
}
BENCHMARK(BM_DecodeImage);

void BM_DisassembleImage(benchmark::State& state) {
    sweep(state, [](const isa::Decoded& d) {
        benchmark::DoNotOptimize(isa::format_instruction(d.instruction));
    });
}
BENCHMARK(BM_DisassembleImage);

void BM_EncodeWithComments(benchmark::State& state) {
    const std::vector<Instruction>& statements = program().statements;
    std::int64_t encoded = 0;
    for (auto _ : state) {
        for (const Instruction& in : statements)
            benchmark::DoNotOptimize(isa::encode(in));
        encoded += static_cast<std::int64_t>(statements.size());
    }
    state.SetItemsProcessed(encoded);
}
BENCHMARK(BM_EncodeWithComments);

} // namespace
