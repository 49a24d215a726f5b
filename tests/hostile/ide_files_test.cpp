// The IDE's own files on a full disk and in a read-only folder: saving "settings.ini" or a
// project fails and says so, and the file that was there stays whole; no half-written file or
// temporary file is left to be read at the next start.
#include "scratch_directory.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "small_mount.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Fills what is left of the disk at `folder`.
void fill(const fs::path& folder) {
    const std::string block(4096, 'f');
    std::FILE* file = std::fopen((folder / "filler").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size()) {
    }
    std::fclose(file);
}

// A project file of `files` source files with long names, some kilobytes of INI text.
ini::IniText project(int files) {
    ini::IniText text;
    for (int i = 0; i < files; ++i)
        text.putString("Files", "File" + std::to_string(i),
                       "/home/user/work/" + std::string(200, 'p') + std::to_string(i) + ".asm");
    return text;
}

TEST(IdeFilesOnAFullDisk, SavingFailsAndTheOldFilesStayWhole) {
    ScratchDirectory scratch;
    const fs::path here = scratch.path() / "full disk";
    SmallMount disk(here, 64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string settingsPath = (here / "settings.ini").string();
    const std::string projectPath = (here / "my project.prj").string();
    ide::Settings settings;
    ide::initSettings(settings, "", settingsPath);
    settings.lastProject = projectPath;
    ASSERT_TRUE(ide::saveSettings(settings, settingsPath));
    ASSERT_TRUE(project(2).writeFile(projectPath));
    const std::string settingsBefore = scratch.read("full disk/settings.ini");
    const std::string projectBefore = scratch.read("full disk/my project.prj");

    fill(here);
    EXPECT_FALSE(project(200).writeFile(projectPath));
    settings.lastProject = std::string(250, 'q');
    settings.resolution = 800;
    EXPECT_FALSE(ide::saveSettings(settings, settingsPath));
    EXPECT_EQ(scratch.read("full disk/settings.ini"), settingsBefore);
    EXPECT_EQ(scratch.read("full disk/my project.prj"), projectBefore);
    EXPECT_EQ(namesIn(here), (std::set<std::string>{"filler", "my project.prj", "settings.ini"}));

    const auto reread = ini::IniText::readFile(projectPath, 1 << 20);
    ASSERT_TRUE(reread);
    EXPECT_TRUE(reread->getString("Files", "File1"));
    EXPECT_FALSE(reread->getString("Files", "File2"));
}

TEST(IdeFilesInAReadOnlyFolder, SavingFailsAndNothingChanges) {
    ScratchDirectory scratch;
    const fs::path here = scratch.path() / "read only";
    SmallMount disk(here, 64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string projectPath = (here / "p.prj").string();
    ASSERT_TRUE(project(1).writeFile(projectPath));
    const std::string before = scratch.read("read only/p.prj");
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_FALSE(project(3).writeFile(projectPath));
    EXPECT_FALSE(project(1).writeFile((here / "new.prj").string()));
    EXPECT_EQ(scratch.read("read only/p.prj"), before);
    EXPECT_EQ(namesIn(here), std::set<std::string>{"p.prj"});
}

} // namespace
