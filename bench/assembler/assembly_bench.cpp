// Whole assembly runs in-process (parse, checks, jump resolution, image and the three
// files): (a) a program of the largest size, 8143 bytes of a realistic mix of statements,
// and (b) the worst case of jump resolution, a ladder of jumps whose growth travels back
// one jump per pass, among thousands of short jumps that every pass examines again.
#include "assembler/driver.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

// One block of a measurement program: a sampling loop, a clamp, a subroutine and data.
std::string measurement_block(int i) {
    const std::string n = std::to_string(i);
    return "CONST LIMIT" + n + " " + std::to_string(1000 + i) + "\n" + "usrEprInit " +
           std::to_string(i % 128) + ", " + std::to_string(i % 256) + "\n" + "start" + n +
           ":  clrwdt\n        clear x\n        move z, 16\n        ramadr 8\n" + "loop" + n +
           ":   jsub read" + n + "\n        add x, y\n        incramadr\n" +
           "        decr z\n        compare z, 0\n        gotoNE loop" + n + "\n" +
           "        move y, 16\n        div24 x, y\n        shiftR x, 3\n" +
           "        gotoBitS x, 23, neg" + n + "\n        compare x, LIMIT" + n + "\n" +
           "        skipCarS 1\n        move x, LIMIT" + n + "\n        goto store" + n + "\n" +
           "neg" + n + ":    abs x\n        and x, 0x7FFF00\n        skipBitC x, 4, 2\n" +
           "        bitset x, 0\n        rotL x, 2\n" + "store" + n +
           ":  ramadr 70\n        swap x, r\n        putepr r\n" + "        goto start" + n + "\n" +
           "read" + n + ":   getflag y\n        skipBitS y, 2, 1\n        goto read" + n + "\n" +
           "        getepr y\n        eor y, 0x00A5A5\n        jsubret\n";
}

// The ladder: jump i reaches exactly 127 bytes and spans jump i + 1, which lies behind 30
// short jumps to the next label of the ladder; the last jump is out of reach, so one more
// jump of the ladder grows each pass while every pass examines all the others again.
std::string jump_ladder(int steps) {
    auto filler = [](const std::string& label) {
        return repeat("        gotoNE " + label + "\n", 30) + "        nop\n";
    };
    std::string source = "        goto l0\n" + filler("top") + "top:    nop\n";
    for (int i = 1; i < steps; ++i) {
        const std::string previous = "l" + std::to_string(i - 1);
        source +=
            "        goto l" + std::to_string(i) + "\n" + filler(previous) + previous + ": nop\n";
    }
    return source + repeat("        or x, 5\n", 20) + "l" + std::to_string(steps - 1) + ": nop\n";
}

class Workspace {
public:
    Workspace() : directory_(fs::temp_directory_path() / "tarn_assembly_bench") {
        fs::create_directories(directory_);
        messages_ = std::fopen((directory_ / "messages.txt").c_str(), "w+");
    }
    ~Workspace() {
        std::fclose(messages_);
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    void write(const std::string& source) { std::ofstream(directory_ / "bench.asm") << source; }

    // One whole run of tarn; false when it did not end successfully.
    bool assemble() {
        std::string path = (directory_ / "bench.asm").string();
        std::vector<char*> arguments{path.data()};
        std::rewind(messages_);
        const int exit_code = run_tarn(arguments, messages_, messages_);
        std::array<char, 256> line{};
        std::rewind(messages_);
        const bool read = std::fgets(line.data(), line.size(), messages_) != nullptr;
        return exit_code == 0 && read &&
               std::string_view(line.data()).find("Processing was successful") !=
                   std::string_view::npos;
    }

    std::string hex() const {
        std::ifstream in(directory_ / "bench.hex", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    fs::path directory_;
    FILE* messages_;
};

// A jump over a table of 13 calibration words, then the mix, padded with nops to exactly
// 8143 bytes. Code byte 38 (in the table) is 0, so the program does not select redundancy
// mode.
std::string maximum_size_program(Workspace& workspace) {
    std::string source = "        goto init\n";
    for (int i = 0; i < 13; ++i)
        source += "        equal " + std::to_string(i * 0x10000) + "\n";
    source += "init:   nop\n";
    for (int i = 0; i < 106; ++i) // 76 bytes each
        source += measurement_block(i);
    workspace.write(source);
    workspace.assemble();
    const std::string hex = workspace.hex();
    const std::size_t last = hex.rfind("//--- ");
    const int last_word = last == std::string::npos ? 0 : std::stoi(hex.substr(last + 6));
    const int length = last_word + (hex.find("filled with NOP", last) == std::string::npos ? 2 : 1);
    return source + repeat("nop\n", 8143 - length);
}

void MaximumSizeProgram(benchmark::State& state) {
    Workspace workspace;
    workspace.write(maximum_size_program(workspace));
    if (!workspace.assemble() || workspace.hex().find("1FCE: ") == std::string::npos ||
        workspace.hex().find("1FD0: ") != std::string::npos)
        state.SkipWithError("the program is not exactly 8143 bytes");
    for (auto _ : state)
        benchmark::DoNotOptimize(workspace.assemble());
}
BENCHMARK(MaximumSizeProgram)->Unit(benchmark::kMillisecond);

// 120 steps fill nearly 8143 bytes; the larger ladder go past the limit (the run then fails
// at the image, after the whole jump resolution) to show how the time grows.
void JumpRelaxationWorstCase(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    Workspace workspace;
    workspace.write(jump_ladder(steps));
    const bool fits = workspace.assemble();
    if (steps <= 120 && !fits) state.SkipWithError("the ladder does not assemble");
    for (auto _ : state)
        workspace.assemble();
    state.counters["jumps"] = steps * 31;
    state.counters["passes"] = steps + 1;
    state.SetComplexityN(steps * 33);
}
BENCHMARK(JumpRelaxationWorstCase)
    ->Arg(30)
    ->Arg(60)
    ->Arg(120)
    ->Arg(240)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
