// The example projects under data/examples: project files as the IDE reads and writes them,
// sources that tarn assembles without a message, programs that run to their stop in kz71sim
// with the results their comments promise.
#include "program_run.h"
#include "scratch_directory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

const fs::path examples_dir = KZ71_EXAMPLES_DIR;

struct Project {
    fs::path file;                  // the .prj file
    std::string main;               // the "ASM" entry
    std::vector<std::string> files; // File0, File1, ...
};

std::vector<fs::path> project_files() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(examples_dir))
        if (entry.is_regular_file() && entry.path().extension() == ".prj")
            found.push_back(entry.path());
    std::ranges::sort(found);
    return found;
}

// Reads a project file in the form the IDE writes: CR LF lines, the one section [Files],
// "ASM" and then "File0", "File1", ... in sorted order, each value in double quotes.
Project read_project(const fs::path& file) {
    const std::string text = file_text(file);
    Project project{file, "", {}};
    EXPECT_FALSE(text.empty()) << file;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << file << ": lines must end in CR LF";
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(lines.size()))
        << file << ": a line ends without CR";
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return project;
    EXPECT_EQ(lines[0], "[Files]") << file;
    const std::regex entry(R"re(([A-Za-z0-9]+) = "([^"\\]*)")re");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(lines[i], match, entry)) << file << ": " << lines[i];
        if (match.empty()) continue;
        const std::string expected_key = i == 1 ? "ASM" : "File" + std::to_string(i - 2);
        EXPECT_EQ(match[1], expected_key) << file;
        if (i == 1)
            project.main = match[2];
        else
            project.files.push_back(match[2]);
    }
    return project;
}

// Copies an example's folder into a scratch folder, as a user's working copy.
fs::path copy_example(const ScratchDirectory& scratch, const Project& project) {
    const fs::path folder = project.file.parent_path().filename();
    fs::copy(project.file.parent_path(), scratch.path() / folder, fs::copy_options::recursive);
    return folder;
}

ProgramRun assemble(const ScratchDirectory& scratch, const fs::path& source) {
    return run_program(KZ71_TARN, scratch.path(), {source.string()});
}

ProgramRun simulate(const ScratchDirectory& scratch, const fs::path& source) {
    fs::path hex = source;
    hex.replace_extension(".hex");
    return run_program(KZ71_SIM, scratch.path(), {"run", hex.string()});
}

// Assembles a copy and runs it; returns the simulator's report.
std::string assemble_and_run(const ScratchDirectory& scratch, const fs::path& source) {
    const ProgramRun tarn = assemble(scratch, source);
    EXPECT_EQ(tarn.exit_code, 0) << source;
    EXPECT_EQ(tarn.out, "INFO: " + source.string() + ": Processing was successful\n") << source;
    EXPECT_EQ(tarn.err, "") << source;
    const ProgramRun sim = simulate(scratch, source);
    EXPECT_EQ(sim.exit_code, 0) << source << ": " << sim.err;
    EXPECT_NE(sim.out.find("Program stopped at"), std::string::npos) << source << ":\n" << sim.out;
    return sim.out;
}

std::optional<Project> project_named(const std::string& name) {
    for (const fs::path& file : project_files())
        if (file.filename() == name) return read_project(file);
    ADD_FAILURE() << "no example project " << name;
    return std::nullopt;
}

} // namespace

TEST(ExampleProjects, AreProjectsAsTheIdeReadsAndWritesThem) {
    const std::vector<fs::path> files = project_files();
    ASSERT_GE(files.size(), 3u);
    std::set<fs::path> folders;
    for (const fs::path& file : files) {
        const Project project = read_project(file);
        EXPECT_TRUE(folders.insert(file.parent_path()).second) << "two projects in one folder";
        EXPECT_NE(file.parent_path(), examples_dir) << file << " has no folder of its own";
        // Save Project writes the project beside the main file, named after it.
        EXPECT_EQ(fs::path(project.main).replace_extension(".prj"), file.filename());
        EXPECT_EQ(fs::path(project.main).extension(), ".asm") << file;
        std::vector<std::string> named = project.files;
        named.push_back(project.main);
        for (const std::string& value : named) {
            EXPECT_EQ(value.find(':'), std::string::npos) << file << ": " << value;
            EXPECT_EQ(value.find('\\'), std::string::npos) << file << ": " << value;
            EXPECT_FALSE(fs::path(value).is_absolute()) << file << ": " << value;
            EXPECT_TRUE(fs::is_regular_file(file.parent_path() / value)) << file << ": " << value;
        }
        // Opening the project opens every source of the example.
        for (const auto& entry : fs::recursive_directory_iterator(file.parent_path())) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".asm" && ext != ".h") continue;
            const std::string relative =
                fs::relative(entry.path(), file.parent_path()).generic_string();
            EXPECT_NE(std::ranges::find(named, relative), named.end())
                << file << " does not name " << relative;
        }
    }
}

TEST(ExampleProjects, AssembleWithoutAMessageAndRunToTheirStop) {
    for (const fs::path& file : project_files()) {
        const ScratchDirectory scratch;
        const Project project = read_project(file);
        const fs::path folder = copy_example(scratch, project);
        assemble_and_run(scratch, folder / project.main);
    }
}

TEST(ExampleProjects, StopWithTheResultsTheirCommentsPromise) {
    struct Expected {
        std::string project;
        std::vector<std::string> report_lines;
    };
    const std::vector<Expected> cases{
        {"measure.prj", {"X: 0x000870  Y: 0x000000  Z: 0x000000"}},
        {"eeprom.prj", {"X: 0x000071  Y: 0x000000  Z: 0x001699"}},
        {"config.prj", {"X: 0x000E00  Y: 0x000000  Z: 0x000000", "content: 0x000E00"}},
    };
    for (const Expected& expected : cases) {
        const auto project = project_named(expected.project);
        if (!project) continue;
        const ScratchDirectory scratch;
        const std::string report =
            assemble_and_run(scratch, copy_example(scratch, *project) / project->main);
        for (const std::string& line : expected.report_lines)
            EXPECT_NE(report.find(line), std::string::npos) << expected.project << ":\n" << report;
    }
}

TEST(ExampleProjects, UserEepromExampleWritesItsFactoryCells) {
    const auto project = project_named("eeprom.prj");
    ASSERT_TRUE(project);
    const ScratchDirectory scratch;
    const fs::path source = copy_example(scratch, *project) / project->main;
    ASSERT_EQ(assemble(scratch, source).exit_code, 0);
    const std::string epr = scratch.read((fs::path(source).replace_extension(".epr")).string());
    for (const char* line : {"\r\n00: A5 \r\n", "\r\n01: 20 \r\n", "\r\n02: 50 \r\n",
                             "\r\n05: 70 \r\n", "\r\n7F: 00 \r\n"})
        EXPECT_NE(epr.find(line), std::string::npos) << line;
}

// Every choice board.h offers assembles, and the conditional sections pick the right code.
TEST(ExampleProjects, ConditionalExampleBuildsInEveryConfiguration) {
    const auto project = project_named("config.prj");
    ASSERT_TRUE(project);
    struct Variant {
        std::vector<std::string> undefined; // names whose #define is commented out
        bool fast_clock;
        std::string x;
    };
    const std::vector<Variant> variants{
        {{}, false, "X: 0x000E00"},
        {{"USE_AVERAGING"}, false, "X: 0x000C00"},
        {{"SENSOR_PT1000"}, false, "X: 0x000780"},
        {{"SENSOR_PT1000", "USE_AVERAGING"}, true, "X: 0x000600"},
    };
    for (const Variant& variant : variants) {
        const ScratchDirectory scratch;
        const fs::path folder = copy_example(scratch, *project);
        std::string board = scratch.read((folder / "board.h").string());
        for (const std::string& name : variant.undefined) {
            const std::size_t at = board.find("\n#define " + name);
            ASSERT_NE(at, std::string::npos) << name;
            board.insert(at + 1, "; ");
        }
        if (variant.fast_clock) {
            const std::size_t at = board.find("; #define FAST_CLOCK");
            ASSERT_NE(at, std::string::npos);
            board.erase(at, 2);
        }
        scratch.write((folder / "board.h").string(), board);
        const std::string report = assemble_and_run(scratch, folder / project->main);
        EXPECT_NE(report.find(variant.x), std::string::npos) << board << "\n" << report;
        const std::string hex = scratch.read((folder / "config.hex").string());
        EXPECT_EQ(hex.find("clk4MHz") != std::string::npos, variant.fast_clock);
        EXPECT_EQ(hex.find("clk675KHz") != std::string::npos, !variant.fast_clock);
    }
}
