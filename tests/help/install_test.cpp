// cmake --install: the programs on the path and working from there with their data files,
// the manual pages, and the desktop entry with its icon; the manual pages render cleanly.
#include "program_run.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> man_pages{"tarn.1", "kz71sim.1", "kz71prog.1"};

// Installs the build into a fresh prefix once for all tests of this file.
class Installed : public testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<ScratchDirectory>();
        install_ = run_program(KZ71_CMAKE, prefix_->path(),
                               {"--install", KZ71_BUILD_DIR, "--prefix", prefix_->path().string()});
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override { ASSERT_EQ(install_.exit_code, 0) << install_.out << install_.err; }

    static fs::path prefix() { return prefix_->path(); }

    static std::unique_ptr<ScratchDirectory> prefix_;
    static ProgramRun install_;
};

std::unique_ptr<ScratchDirectory> Installed::prefix_;
ProgramRun Installed::install_;

} // namespace

TEST_F(Installed, ProgramsOnThePathRunWithTheirDataFiles) {
    for (const char* program : {"tarn", "kz71sim"}) {
        const fs::path link = prefix() / "bin" / program;
        ASSERT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(fs::canonical(link), fs::canonical(prefix() / "lib/kz71" / program));
    }
    const fs::path tree = prefix() / "lib/kz71";
    for (const char* file : {"help/opcode/opcode.qch", "help/general/general.qch",
                             "examples/measure/measure.prj", "examples/demo.asm", "lw26asm.lng"})
        EXPECT_TRUE(fs::is_regular_file(tree / file)) << file;
    EXPECT_FALSE(fs::exists(tree / "tarn_fuzz_replay"));
    EXPECT_FALSE(fs::exists(tree / "man"));

    // A user's copy of an installed example, assembled and run by the programs on the path.
    const ScratchDirectory work;
    fs::copy(tree / "examples/measure", work.path() / "measure");
    const ProgramRun tarn =
        run_program(prefix() / "bin/tarn", work.path(), {"measure/measure.asm"});
    EXPECT_EQ(tarn.out, "INFO: measure/measure.asm: Processing was successful\n");
    const ProgramRun sim =
        run_program(prefix() / "bin/kz71sim", work.path(), {"run", "measure/measure.hex"});
    EXPECT_NE(sim.out.find("Program stopped at"), std::string::npos) << sim.out << sim.err;
}

TEST_F(Installed, ManualPagesGoToSectionOne) {
    for (const std::string& page : man_pages)
        EXPECT_TRUE(fs::is_regular_file(prefix() / "share/man/man1" / page)) << page;
}

TEST_F(Installed, DesktopEntryStartsTheInstalledIdeWithItsIcon) {
    if (!KZ71_WITH_IDE) GTEST_SKIP() << "the IDE is not built";
    const std::string entry = file_text(prefix() / "share/applications/kz71-assembler.desktop");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    const std::vector<std::string> lines{
        "\nType=Application\n", "\nName=KZ71 Assembler\n", "\nIcon=kz71-assembler\n",
        "\nExec=" + (prefix() / "bin/kz71-assembler").string() + "\n"};
    for (const std::string& line : lines)
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    EXPECT_TRUE(fs::is_symlink(prefix() / "bin/kz71-assembler"));
    EXPECT_TRUE(
        fs::is_regular_file(prefix() / "share/icons/hicolor/scalable/apps/kz71-assembler.svg"));
    EXPECT_TRUE(
        fs::is_regular_file(prefix() / "share/icons/hicolor/48x48/apps/kz71-assembler.png"));
}

TEST(ManualPages, RenderWithoutWarnings) {
    const fs::path groff = KZ71_GROFF;
    if (groff.empty()) GTEST_SKIP() << "groff is not installed";
    for (const std::string& page : man_pages) {
        const ScratchDirectory scratch;
        const ProgramRun run =
            run_program(groff, scratch.path(),
                        {"-man", "-Tutf8", "-ww", "-z", (fs::path(KZ71_MAN_DIR) / page).string()});
        EXPECT_EQ(run.exit_code, 0) << page;
        EXPECT_EQ(run.err, "") << page;
    }
}
