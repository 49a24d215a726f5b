// Golden checks on sources too large or too path-dependent to keep as case files.
#include "source_text.h"
#include "tarn_process.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string parse_failed = "Info: Could not parse file\n";

TEST(GeneratedSources, DeepParenthesesExhaustTheParserStack) {
    ScratchDirectory scratch;
    scratch.write("main.asm", "move x, " + repeat("(", 160000) + "1\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "main.asm:  Line 1  ERROR: memory exhausted\n" + parse_failed);
    EXPECT_EQ(result.exit_code, 1);
}

TEST(GeneratedSources, NestedParenthesesWithinTheStackLimitAreFine) {
    ScratchDirectory scratch;
    scratch.write("main.asm", "move x, " + repeat("(", 20000) + "1" + repeat(")", 20000) + "\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "INFO: main.asm: Processing was successful\n");
}

TEST(GeneratedSources, SymbolTableOverflowEndsTheProcessAbnormally) {
    ScratchDirectory scratch;
    std::string source;
    for (int i = 0; i <= 9997; ++i)
        source += "l" + std::to_string(i) + ": nop\n";
    scratch.write("main.asm", source);
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.err, "symbol table overflow\n");
    EXPECT_EQ(result.signal, SIGABRT);
    EXPECT_EQ(result.out, "");
}

// 9997 labelled statements are more code than the chip holds: the checks and the jump
// resolution run through, the image stops at the statement that crosses 8143 bytes.
TEST(GeneratedSources, FullSymbolTableStillAssembles) {
    ScratchDirectory scratch;
    std::string source;
    for (int i = 0; i < 9997; ++i)
        source += "l" + std::to_string(i) + ": nop\n";
    scratch.write("main.asm", source + "goto l9996\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "main.asm  Line:8144  ERROR: program exceeds maximum size of 8k bytes\n"
                          "INFO: main.asm: Processing failed, with 1 error(s)\n");
    EXPECT_EQ(result.err, "");
}

TEST(GeneratedSources, DefinitionTableLimitsAreCountedErrors) {
    ScratchDirectory scratch;
    std::string source;
    for (int i = 1; i <= 255; ++i)
        source += "#define D" + std::to_string(i) + "\n";
    source += "#define " + std::string(255, 'L') + "\n";
    source += "#ifdef D254\nnop\n#else\n$\n#endif\n";
    scratch.write("main.asm", source);
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "main.asm:255: Error: too many #define names (at most 254)\n"
                          "main.asm:256: Error: too many #define names (at most 254)\n" +
                              parse_failed);
    EXPECT_EQ(result.exit_code, 1);
}

TEST(GeneratedSources, OverlongDefinedNameIsACountedError) {
    ScratchDirectory scratch;
    scratch.write("main.asm", "#define " + std::string(254, 'A') + "\n#define " +
                                  std::string(255, 'B') + "\nnop\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out,
              "main.asm:2: Error: #define name longer than 254 characters\n" + parse_failed);
}

TEST(GeneratedSources, OverlongSourcePathIsRefused) {
    ScratchDirectory scratch;
    std::string name = std::string(196, 'p') + ".asm"; // 200 characters
    scratch.write(name, "nop\n");
    TarnResult result = run_tarn_binary(scratch.path(), {name});
    EXPECT_EQ(result.out,
              "Error: Could not open file '" + name + "': path longer than 199 characters\n");
    EXPECT_EQ(result.exit_code, 1);

    std::string longest = std::string(195, 'q') + ".asm"; // 199 characters
    scratch.write(longest, "nop\n");
    result = run_tarn_binary(scratch.path(), {longest});
    EXPECT_EQ(result.out, "INFO: " + longest + ": Processing was successful\n");
}

TEST(GeneratedSources, OverlongIncludePathIsACountedError) {
    ScratchDirectory scratch;
    std::string header = std::string(196, 'h') + ".h"; // 198 characters, path sub/... is 202
    scratch.write("sub/" + header, "nop\n");
    scratch.write("sub/main.asm", "nop\n#include \"" + header + "\"\nnop\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"sub/main.asm"});
    EXPECT_EQ(result.out,
              "sub/main.asm:2: Error: include path longer than 199 characters\n" + parse_failed);
    EXPECT_EQ(result.err, "");
}

TEST(GeneratedSources, AbsoluteIncludeName) {
    ScratchDirectory scratch;
    scratch.write("elsewhere/defs.h", "CONST ONE 1\n");
    scratch.write("main.asm", "#include \"" + (scratch.path() / "elsewhere/defs.h").string() +
                                  "\"\nmove x, ONE\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "INFO: main.asm: Processing was successful\n");
}

TEST(GeneratedSources, ManyDistinctNestedIncludesDoNotCrash) {
    ScratchDirectory scratch;
    const int depth = 300;
    for (int i = 0; i < depth; ++i)
        scratch.write("h" + std::to_string(i) + ".h",
                      "#include \"h" + std::to_string(i + 1) + ".h\"\nnop\n");
    scratch.write("h" + std::to_string(depth) + ".h", "nop\n");
    scratch.write("main.asm", "#include \"h0.h\"\nnop\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.out, "INFO: main.asm: Processing was successful\n");
}

TEST(GeneratedSources, ControlAndHighBytesAreBadCharacters) {
    ScratchDirectory scratch;
    scratch.write("main.asm", std::string("nop\n\x01\xff\n", 7));
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out,
              std::string("error occured on line 2\ntest4: \x01\nbad input character(s) "
                          "'\x01'\nerror occured on line 2\ntest4: \xff\nbad input "
                          "character(s) '\xff'\n") +
                  parse_failed);
}

// The size messages are counted errors, yet the files are written: the image up to the
// statement that crossed 8143 bytes, the .dbg file with every statement.
TEST(GeneratedSources, OversizeProgramIsReportedAndStillWritten) {
    ScratchDirectory scratch;
    scratch.write("main.asm", repeat("or x, 5\n", 1628) + "putepr x\nstop\n");
    TarnResult result = run_tarn_binary(scratch.path(), {"main.asm"});
    EXPECT_EQ(result.out, "main.asm  Line:1629  ERROR: program exceeds maximum size of 8k bytes\n"
                          "INFO: main.asm: Processing failed, with 1 error(s)\n");
    const std::string hex = scratch.read("main.hex");
    EXPECT_TRUE(hex.ends_with("\r\n1FCE: DC DC\t//--- 8142: putepr_1 (0);  putepr_0 (0);\r\n"
                              "\r\n\r\n"))
        << hex.substr(hex.size() - 200);
    const std::string dbg = scratch.read("main.dbg");
    EXPECT_TRUE(dbg.ends_with("\r\n1FCC: 1629 main.asm\r\n1FD0: 1630 main.asm\r\n\r\n\r\n"))
        << dbg.substr(dbg.size() - 100);
}

} // namespace

namespace {

TEST(ShippedExample, DemoProgramAssemblesCleanly) {
    ScratchDirectory scratch;
    std::filesystem::copy(KZ71_EXAMPLES_DIR, scratch.path() / "examples");
    TarnResult result = run_tarn_binary(scratch.path(), {"examples/demo.asm"});
    EXPECT_EQ(result.out, "INFO: examples/demo.asm: Processing was successful\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 0);
    for (const char* output : {"examples/demo.hex", "examples/demo.epr", "examples/demo.dbg"})
        EXPECT_TRUE(scratch.exists(output)) << output;
    EXPECT_TRUE(scratch.read("examples/demo.epr").find("\r\n01: C8 \r\n") != std::string::npos);
}

} // namespace
