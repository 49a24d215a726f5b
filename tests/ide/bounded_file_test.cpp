// Reading only regular files of bounded size, and replacing files without losing them.
#include "files/bounded_file.h"
#include "scratch_directory.h"
#include "settings/settings.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using files::ReadStatus;

class BoundedFiles : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return (scratch.path() / name).string(); }
    ScratchDirectory scratch;
};

TEST_F(BoundedFiles, OnlyRegularFilesWithinTheBoundAreRead) {
    scratch.write("small.txt", "abc");
    EXPECT_EQ(files::readRegularFile(at("small.txt"), 3).status, ReadStatus::ok);
    EXPECT_EQ(files::readRegularFile(at("small.txt"), 3).bytes, "abc");
    EXPECT_EQ(files::readRegularFile(at("small.txt"), 2).status, ReadStatus::tooLarge);
    EXPECT_EQ(files::readRegularFile(at("none.txt"), 10).status, ReadStatus::missing);
    fs::create_directory(at("folder"));
    EXPECT_EQ(files::readRegularFile(at("folder"), 10).status, ReadStatus::notRegular);
    // A FIFO without a writer would block a plain open forever.
    ASSERT_EQ(mkfifo(at("fifo").c_str(), 0600), 0);
    EXPECT_EQ(files::readRegularFile(at("fifo"), 10).status, ReadStatus::notRegular);
    // An endless device behind a link is not a file either.
    fs::create_symlink("/dev/zero", at("zero"));
    EXPECT_EQ(files::readRegularFile(at("zero"), 1 << 20).status, ReadStatus::notRegular);
    fs::create_symlink(at("small.txt"), at("link.txt"));
    EXPECT_EQ(files::readRegularFile(at("link.txt"), 10).bytes, "abc");
}

TEST_F(BoundedFiles, ReplacingKeepsLinksAndLeavesNothingHalfWritten) {
    scratch.write("real.ini", "old");
    fs::create_symlink(at("real.ini"), at("settings.ini"));
    ASSERT_TRUE(files::replaceFile(at("settings.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(at("settings.ini")));
    EXPECT_EQ(scratch.read("real.ini"), "new");
    fs::permissions(at("real.ini"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(files::replaceFile(at("real.ini"), "newer"));
    EXPECT_EQ(fs::status(at("real.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    fs::create_directory(at("taken"));
    EXPECT_FALSE(files::replaceFile(at("taken"), "x"));
    EXPECT_FALSE(files::replaceFile(at("no/such/folder/f.ini"), "x"));
    EXPECT_TRUE(fs::is_directory(at("taken")));
    for (const auto& entry : fs::directory_iterator(scratch.path()))
        EXPECT_EQ(entry.path().string().find(".writing"), std::string::npos) << entry.path();
}

TEST_F(BoundedFiles, ASettingsFileThatIsNoFileLeavesTheFieldsAlone) {
    ASSERT_EQ(mkfifo(at("settings.ini").c_str(), 0600), 0);
    ide::Settings s;
    s.lineNumbering = 0;
    EXPECT_FALSE(ide::loadSettings(s, at("settings.ini")));
    EXPECT_EQ(s.lineNumbering, 0);
    ide::initSettings(s, at("settings.ini"), at("settings.ini"));
    EXPECT_EQ(s.lineNumbering, 1); // the start values

    fs::remove(at("settings.ini"));
    scratch.write("settings.ini", "[Editor]\r\nLine numbering = 0\r\n" +
                                      std::string(ide::max_settings_file_bytes, ';'));
    EXPECT_FALSE(ide::loadSettings(s, at("settings.ini")));
    EXPECT_EQ(s.lineNumbering, 1);
}

} // namespace
