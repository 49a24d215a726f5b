// Runs every case file under cases/ through the real tarn binary.
#include "golden_case.h"
#include "tarn_process.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> case_files() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(GOLDEN_CASES_DIR))
        if (entry.path().extension() == ".case") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string test_name(const fs::path& file) {
    std::string name = fs::relative(file, GOLDEN_CASES_DIR).replace_extension().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

class Golden : public testing::TestWithParam<fs::path> {};

TEST_P(Golden, OutputExitCodeAndFiles) {
    std::string error;
    std::optional<GoldenCase> golden = parse_golden_case(GetParam(), error);
    ASSERT_TRUE(golden) << GetParam() << ": " << error;

    ScratchDirectory scratch;
    for (const GoldenFile& input : golden->inputs)
        scratch.write(input.name, input.content);
    TarnResult result = run_tarn_binary(scratch.path(), golden->args);
    const std::string cwd = scratch.path().string();

    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exit_code, golden->exit_code);
    EXPECT_TRUE(golden_text_matches(*golden->out, result.out, cwd))
        << "expected stdout:\n"
        << *golden->out << "actual stdout:\n"
        << result.out;
    EXPECT_TRUE(golden_text_matches(golden->err, result.err, cwd))
        << "expected stderr:\n"
        << golden->err << "actual stderr:\n"
        << result.err;
    for (const GoldenFile& file : golden->expected_files) {
        ASSERT_TRUE(scratch.exists(file.name)) << file.name << " was not written";
        std::string content = scratch.read(file.name);
        EXPECT_TRUE(golden_text_matches(file.content, content, cwd)) << file.name << " expected:\n"
                                                                     << file.content << "actual:\n"
                                                                     << content;
    }
    for (const std::string& name : golden->absent_files)
        EXPECT_FALSE(scratch.exists(name)) << name << " should not exist";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(case_files()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                             return test_name(info.param);
                         });

} // namespace
