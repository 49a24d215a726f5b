// Parsing speed of the front end: a large source read into the program lists.
#include "assembler/assembly.h"

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
        Assembly assembly(sink, sink);
        int error = 0;
        std::optional<SourceText> text = read_source(path, max_source_size, error);
        if (!text || assembly.parse_source(path, std::move(*text)) != 0 ||
            assembly.diag.err_cnt != 0)
            state.SkipWithError("source did not parse");
    }
    state.SetItemsProcessed(state.iterations() * blocks * 10);
    std::fclose(sink);
    std::filesystem::remove(path);
}
BENCHMARK(ParseLargeSource)->Arg(100)->Arg(900)->Unit(benchmark::kMillisecond);

} // namespace
