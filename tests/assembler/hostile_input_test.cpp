// Paths a user can point anywhere: devices, FIFOs and oversized files as the source or as an
// include are refused at once, in the system's words, instead of being read forever.
#include "assembler/source_file.h"
#include "tarn_process.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

const std::string parse_failed = "Info: Could not parse file\n";

// A scratch directory with a FIFO "pipe.h" that nobody writes to.
class HostileInput : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mkfifo((scratch_.path() / "pipe.h").c_str(), 0644), 0); }

    TarnResult run(const std::string& argument) {
        TarnResult result = run_tarn_binary(scratch_.path(), {argument}, 20);
        EXPECT_FALSE(result.hung) << argument;
        return result;
    }

    ScratchDirectory scratch_;
};

TEST_F(HostileInput, DeviceOrFifoAsTheSourceIsNotOpened) {
    for (const std::string source : {"/dev/zero", "/dev/urandom", "pipe.h"}) {
        const TarnResult result = run(source);
        EXPECT_EQ(result.out, "Error: Could not open file '" + source + "'\n");
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exit_code, 1);
    }
}

TEST_F(HostileInput, IncludedDeviceOrFifoIsReportedWithTheSystemsReason) {
    for (const std::string include : {"/dev/zero", "/dev/urandom", "pipe.h"}) {
        scratch_.write("main.asm", "nop\n#include \"" + include + "\"\nnop\n");
        const TarnResult result = run("main.asm");
        EXPECT_EQ(result.err, include + ": Operation not supported\n");
        EXPECT_EQ(result.out, parse_failed);
        EXPECT_EQ(result.exit_code, 1);
    }
}

// A file that says it is larger than a source may be is not read at all (these are sparse).
TEST_F(HostileInput, OversizedFilesAreRefused) {
    for (const char* name : {"big.asm", "big.h"}) {
        scratch_.write(name, "");
        std::filesystem::resize_file(scratch_.path() / name, max_source_size + 1);
    }
    TarnResult result = run("big.asm");
    EXPECT_EQ(result.out, "Error: Could not open file 'big.asm'\n");
    EXPECT_EQ(result.exit_code, 1);

    scratch_.write("main.asm", "nop\n#include \"big.h\"\nnop\n");
    result = run("main.asm");
    EXPECT_EQ(result.err, "big.h: File too large\n");
    EXPECT_EQ(result.out, parse_failed);
}

// The bound holds for a source with its includes together, so includes cannot add up.
TEST_F(HostileInput, IncludesCountTowardsOneBound) {
    const std::string half(max_source_size / 2, ' ');
    scratch_.write("a.h", ";" + half + "\n");
    scratch_.write("b.h", ";" + half + "\n");
    scratch_.write("main.asm", "nop\n#include \"a.h\"\n#include \"b.h\"\nnop\n");
    const TarnResult result = run("main.asm");
    EXPECT_EQ(result.err, "b.h: File too large\n");
    EXPECT_EQ(result.out, parse_failed);

    scratch_.write("main.asm", "nop\n#include \"a.h\"\n#include \"a.h\"\nnop\n");
    EXPECT_EQ(run("main.asm").err, "a.h: File too large\n") << "the same file twice counts twice";
}

} // namespace
