// tarn, kz71prog and kz71sim as a user's scripts run them, on files whose folders and names hold
// blanks, quotes, $(), backquotes, semicolons, non-ASCII letters and many characters; in
// read-only folders; on a full disk; with a FIFO where a file should be. Each program must do
// its work or say clearly why not, never hand a name to a shell, never hang, and never leave a
// partial file where a good .hex is expected.
#include "child_process.h"
#include "scratch_directory.h"
#include "small_mount.h"
#include "test_programs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Names a shell would take apart or run: none of them may be interpreted.
const std::vector<std::string> hostile_names{
    "with blanks",      "it's \"quoted\"",      "$(touch pwned)",     "`touch pwned`",
    "semi;colon & | >", "ünïcødé 日本語 ëntry", std::string(200, 'L')};
// A source file name of the same kind (a backquote and $() in it too).
const std::string source_name = "prög ram;$(x) `y`.asm";
const std::string base_name = "prög ram;$(x) `y`";

using namespace std::chrono_literals;

// Far longer than any of these runs takes: one still running then has hung.
constexpr auto hang_limit = 30s;

ChildResult tarn(const fs::path& folder, const std::string& source) {
    return run_child(TARN_PATH, {source}, folder, {}, {}, hang_limit);
}
ChildResult kz71prog(const fs::path& folder, const std::vector<std::string>& arguments,
                     const std::string& state) {
    std::vector<std::string> all{"--simulator"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return run_child(KZ71PROG_PATH, all, folder, {{"KZ71_SIM_STATE", state}},
                     {"KZ71_PROGRAMMER", "KZ71_SIM_FAULTS"}, hang_limit);
}
ChildResult kz71sim(const fs::path& folder, const std::vector<std::string>& arguments,
                    const std::string& state = "") {
    std::map<std::string, std::string> environment;
    if (!state.empty()) environment.emplace("KZ71_SIM_STATE", state);
    return run_child(KZ71SIM_PATH, arguments, folder, environment, {"KZ71_SIM_STATE"}, hang_limit);
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Files whose name some shell would have made, anywhere below `root`.
std::vector<std::string> madeByAShell(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().filename() == "pwned" || entry.path().filename() == "x" ||
            entry.path().filename() == "y")
            found.push_back(entry.path().string());
    return found;
}

// What is in a folder, by name.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct HostilePaths : ::testing::Test {
    ScratchDirectory scratch;
    fs::path folder(const std::string& name) {
        const fs::path path = scratch.path() / name;
        fs::create_directories(path);
        return path;
    }
};

TEST_F(HostilePaths, TarnAndKz71simTakeEveryNameAsItStands) {
    for (const std::string& name : hostile_names) {
        SCOPED_TRACE(name);
        const fs::path here = folder(name);
        scratch.write(name + "/" + source_name, counting_program);
        const ChildResult built = tarn(here, source_name);
        EXPECT_EQ(built.exit_code, 0);
        EXPECT_EQ(built.out, "INFO: " + source_name + ": Processing was successful\n");
        EXPECT_TRUE(fs::exists(here / (base_name + ".hex")));
        EXPECT_TRUE(has(read_whole_file(here / (base_name + ".dbg")), "0014: 9 " + source_name));

        const ChildResult run = kz71sim(scratch.path(), {"run", (here / (base_name + ".hex"))});
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_TRUE(has(run.out, "Program stopped at 0x0014")) << run.out;
    }
    EXPECT_EQ(madeByAShell(scratch.path()), std::vector<std::string>{});
}

TEST_F(HostilePaths, Kz71progDownloadsVerifiesAndDebugsThere) {
    // Every kind of name at once, and a state file named alike.
    const fs::path here =
        folder("a b 'q' \"d\" $(touch pwned) `touch pwned`; ü 日本/" + std::string(120, 'L'));
    const std::string state = (here / "state $(x);`y`.txt").string();
    std::ofstream(here / source_name) << counting_program;
    ASSERT_EQ(tarn(here, source_name).exit_code, 0);
    const std::string hex = (here / (base_name + ".hex")).string();

    const ChildResult download = kz71prog(scratch.path(), {"download", hex}, state);
    EXPECT_EQ(download.exit_code, 0) << download.out << download.err;
    EXPECT_TRUE(download.out.ends_with("Download: SUCCESS\n")) << download.out;
    const ChildResult verify = kz71prog(scratch.path(), {"verify", hex}, state);
    EXPECT_EQ(verify.exit_code, 0) << verify.out << verify.err;
    const ChildResult debug =
        kz71prog(scratch.path(), {"debug", hex, "--break", source_name + ":8", "--run"}, state);
    EXPECT_EQ(debug.exit_code, 0) << debug.err;
    EXPECT_TRUE(has(debug.out, "STOP breakpoint " + source_name + ":8 address=0x0010"))
        << debug.out;
    EXPECT_TRUE(fs::exists(state));
    EXPECT_EQ(madeByAShell(scratch.path()), std::vector<std::string>{});
}

TEST_F(HostilePaths, AFifoWhereAFileShouldBeHangsNothing) {
    const fs::path here = folder("fifo folder");
    scratch.write("fifo folder/prog.asm", counting_program);
    for (const char* fifo : {"prog.hex", "state.txt", "input.hex"})
        ASSERT_EQ(mkfifo((here / fifo).c_str(), 0644), 0);

    const ChildResult built = tarn(here, "prog.asm");
    EXPECT_FALSE(built.hung);
    EXPECT_EQ(built.exit_code, 0);
    EXPECT_TRUE(has(built.out, "ERROR: cannot write file 'prog.hex' (not a regular file)"))
        << built.out;
    EXPECT_TRUE(has(built.out, "Processing failed, with 1 error(s)"));
    EXPECT_TRUE(fs::is_fifo(here / "prog.hex")); // left as it was

    const ChildResult download =
        kz71prog(here, {"download", "input.hex"}, (here / "unused-state").string());
    EXPECT_EQ(download.exit_code, 2);
    EXPECT_TRUE(has(download.err, "cannot read 'input.hex' (not a regular file")) << download.err;

    std::ofstream(here / "good.hex") << counting_program_hex;
    const ChildResult info = kz71prog(here, {"info"}, (here / "state.txt").string());
    EXPECT_EQ(info.exit_code, 1);
    EXPECT_TRUE(has(info.err, "state.txt: not a regular file")) << info.err;
    const ChildResult run = kz71sim(here, {"run", "input.hex"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(has(run.err, "cannot open the file (not a regular file)")) << run.err;

    // The version files the IDE's version query reads.
    for (const char* fifo : {"verInfoTARN.txt", "verInfoWICK.txt"})
        ASSERT_EQ(mkfifo((here / fifo).c_str(), 0644), 0);
    const ChildResult tarnVersion = run_child(TARN_PATH, {"-v"}, here, {}, {}, hang_limit);
    EXPECT_FALSE(tarnVersion.hung);
    EXPECT_TRUE(has(tarnVersion.out, "Cannot write file 'verInfoTARN.txt'")) << tarnVersion.out;
    const ChildResult simVersion = kz71sim(here, {"-v"});
    EXPECT_FALSE(simVersion.hung);
    EXPECT_EQ(simVersion.exit_code, 1);
    EXPECT_TRUE(has(simVersion.err, "cannot write file 'verInfoWICK.txt' (not a regular file)"))
        << simVersion.err;
}

// Root writes into any folder whatever its permissions say: for root the folder is a small
// tmpfs mounted read-only, for anyone else a folder without write permission.
TEST_F(HostilePaths, AReadOnlyFolderIsToldAndLeftAlone) {
    const fs::path here = scratch.path() / "read-only";
    const bool root = geteuid() == 0;
    std::optional<SmallMount> disk;
    if (root) {
        disk.emplace(here, 256 * 1024);
        if (!disk->mounted()) GTEST_SKIP() << disk->why();
    }
    fs::create_directories(here);
    std::ofstream(here / "prog.asm") << counting_program;
    std::ofstream(here / "prog.hex") << "an old file\n";
    if (root) {
        ASSERT_TRUE(disk->makeReadOnly());
    } else {
        fs::permissions(here, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const std::string why = root ? "Read-only file system" : "Permission denied";

    const ChildResult built = tarn(here, "prog.asm");
    EXPECT_TRUE(has(built.out, "ERROR: cannot write file 'prog.hex' (" + why + ")")) << built.out;
    EXPECT_TRUE(has(built.out, "INFO: prog.asm: Processing failed"));
    EXPECT_EQ(read_whole_file(here / "prog.hex"), "an old file\n");

    const std::string state = (here / "state.txt").string();
    const ChildResult info = kz71prog(scratch.path(), {"info"}, state);
    EXPECT_EQ(info.exit_code, 1);
    EXPECT_TRUE(has(info.err, state + ": cannot be written (" + why + ")")) << info.err;
    EXPECT_TRUE(has(info.err, "memories could not be kept in KZ71_SIM_STATE")) << info.err;
    if (!root) fs::permissions(here, fs::perms::owner_all); // so that the folder can go
}

TEST_F(HostilePaths, AFullDiskLeavesNoPartialHexFile) {
    const fs::path here = scratch.path() / "full disk";
    SmallMount disk(here, 64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    // A good build first, then one whose .hex no longer fits.
    std::ofstream(here / "big.asm") << counting_program;
    ASSERT_EQ(tarn(here, "big.asm").exit_code, 0);
    std::string big;
    for (int i = 0; i < 1400; ++i)
        big += "\tmove x, " + std::to_string(i) + "\n";
    std::ofstream(here / "big.asm") << big << "\tstop\n";

    const ChildResult built = tarn(here, "big.asm");
    EXPECT_TRUE(has(built.out, "ERROR: cannot write file 'big.hex' (No space left on device)"))
        << built.out;
    EXPECT_TRUE(has(built.out, "INFO: big.asm: Processing failed"));
    // Neither a partial .hex nor the old build's, and no temporary file left behind (the .dbg
    // may have fitted in what the .hex left free).
    EXPECT_FALSE(fs::exists(here / "big.hex"));
    for (const std::string& name : namesIn(here))
        EXPECT_TRUE(name == "big.asm" || name == "big.dbg") << name;

    const std::string state = (here / "state.txt").string();
    std::ofstream(scratch.path() / "prog.hex") << counting_program_hex;
    const ChildResult download = kz71prog(scratch.path(), {"download", "prog.hex"}, state);
    EXPECT_EQ(download.exit_code, 1);
    EXPECT_TRUE(has(download.err, state + ": cannot be written (No space left on device)"))
        << download.err;
    const ChildResult run = kz71sim(scratch.path(), {"run", "prog.hex"}, state);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(has(run.err, "No space left on device")) << run.err;
}

} // namespace
