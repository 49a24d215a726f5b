// Reading a named file: what a user's path may point at is refused at once, never waited on.
#include "platform/regular_file.h"
#include "scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::FileRead;
using platform::readRegularFile;

TEST(RegularFile, AFileUpToTheBoundIsReadWholeAndOneByteMoreIsTooLarge) {
    ScratchDirectory dir;
    dir.write("a.hex", std::string(100, 'x') + "\r\n");
    const auto whole = readRegularFile((dir.path() / "a.hex").string(), 102);
    EXPECT_EQ(whole.status, FileRead::ok);
    EXPECT_EQ(whole.text, std::string(100, 'x') + "\r\n");
    const auto over = readRegularFile((dir.path() / "a.hex").string(), 101);
    EXPECT_EQ(over.status, FileRead::too_large);
    EXPECT_TRUE(over.text.empty());
    dir.write("empty", "");
    EXPECT_EQ(readRegularFile((dir.path() / "empty").string(), 0).status, FileRead::ok);
}

TEST(RegularFile, WhatIsNoRegularFileIsRefusedWithoutWaiting) {
    ScratchDirectory dir;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readRegularFile(fifo, 1024).status, FileRead::not_regular);
    EXPECT_EQ(readRegularFile("/dev/zero", 1024).status, FileRead::not_regular);
    EXPECT_EQ(readRegularFile(dir.path().string(), 1024).status, FileRead::not_regular);
    EXPECT_EQ(readRegularFile((dir.path() / "none").string(), 1024).status, FileRead::missing);
}

TEST(RegularFile, ALinkIsFollowedAndAnUnreadableFileSaysWhy) {
    ScratchDirectory dir;
    dir.write("real", "nop\n");
    std::filesystem::create_symlink(dir.path() / "real", dir.path() / "link");
    EXPECT_EQ(readRegularFile((dir.path() / "link").string(), 16).text, "nop\n");
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "dangling");
    EXPECT_EQ(readRegularFile((dir.path() / "dangling").string(), 16).status, FileRead::missing);
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    chmod((dir.path() / "real").c_str(), 0);
    const auto refused = readRegularFile((dir.path() / "real").string(), 16);
    EXPECT_EQ(refused.status, FileRead::unreadable);
    EXPECT_EQ(refused.reason, "Permission denied");
}

} // namespace
