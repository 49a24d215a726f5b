// Parsing speed of the front end: a large source read into the program lists.
#include "assembler/diagnostics.h"
#include "assembler/front_end.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A source of `blocks` blocks of ten statements, each with its own label and constant.
std::filesystem::path write_source(int blocks) {
    auto path = std::filesystem::temp_directory_path() / "tarn_front_end_bench.asm";
    std::ofstream out(path);
    for (int i = 0; i < blocks; ++i) {
        out << "CONST K" << i << " " << i << "*3+1 ; constant\n"
            << "l" << i << ": move x, K" << i << "\n"
            << "    add x, y\n    and y, 0xFF00 | nop\n    gotoBitC x, 3, l" << i << "\n"
            << "    skipBitS z, 4, 2\n    shiftR r, 3\n    ramadr 70\n    goto l" << i << "\n";
    }
    return path;
}

void ParseLargeSource(benchmark::State& state) {
    const int blocks = static_cast<int>(state.range(0));
    std::filesystem::path path = write_source(blocks);
    FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        reset_front_end();
        set_diagnostic_streams(sink, sink);
        FILE* input = std::fopen(path.c_str(), "r");
        int result = parse_source(path.c_str(), input);
        std::fclose(input);
        if (result != 0 || err_cnt != 0) state.SkipWithError("source did not parse");
    }
    state.SetItemsProcessed(state.iterations() * blocks * 10);
    set_diagnostic_streams(nullptr, nullptr);
    reset_front_end();
    std::fclose(sink);
    std::filesystem::remove(path);
}
BENCHMARK(ParseLargeSource)->Arg(100)->Arg(900)->Unit(benchmark::kMillisecond);

} // namespace
