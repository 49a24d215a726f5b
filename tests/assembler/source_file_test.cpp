// Reading a source file: regular files only, whole, bounded, with CR LF read as LF.
#include "assembler/source_file.h"
#include "scratch_directory.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

class SourceFileTest : public testing::Test {
protected:
    // The text read from `name` in the scratch directory, or "error <errno>".
    std::string read(const std::string& name, std::size_t limit = max_source_size) {
        int error = 0;
        std::optional<SourceText> text = read_source(path(name), limit, error);
        if (!text) return "error " + std::to_string(error);
        // The scanner's two end marks follow the text.
        EXPECT_EQ(text->data()[text->size()], '\0');
        EXPECT_EQ(text->data()[text->size() + 1], '\0');
        return std::string(text->data(), text->size());
    }
    std::string path(const std::string& name) const { return (scratch_.path() / name).string(); }

    ScratchDirectory scratch_;
};

TEST_F(SourceFileTest, CarriageReturnBeforeLineFeedIsDropped) {
    scratch_.write("a.asm", "nop\r\nstop\r\r\n\rx\r");
    EXPECT_EQ(read("a.asm"), "nop\nstop\r\n\rx\r");
    scratch_.write("empty.asm", "");
    EXPECT_EQ(read("empty.asm"), "");
}

TEST_F(SourceFileTest, TextInMemoryIsReadTheSameWay) {
    std::optional<SourceText> text = SourceText::of("a\r\nb\r\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(std::string(text->data(), text->size()), "a\nb\n");
    EXPECT_EQ(text->size_with_end_marks(), 6u);
}

TEST_F(SourceFileTest, OnlyRegularFilesAreRead) {
    ASSERT_EQ(mkfifo(path("pipe.h").c_str(), 0644), 0);
    EXPECT_EQ(read("pipe.h"), "error " + std::to_string(ENOTSUP)) << "and it does not wait";
    scratch_.write("dir/x.h", "nop\n");
    EXPECT_EQ(read("dir"), "error " + std::to_string(EISDIR));
    EXPECT_EQ(read("missing.h"), "error " + std::to_string(ENOENT));
    int error = 0;
    EXPECT_FALSE(read_source("/dev/zero", max_source_size, error));
    EXPECT_EQ(error, ENOTSUP);
}

TEST_F(SourceFileTest, FilesBeyondTheLimitAreRefused) {
    scratch_.write("ten.asm", "0123456789");
    EXPECT_EQ(read("ten.asm", 10), "0123456789");
    EXPECT_EQ(read("ten.asm", 9), "error " + std::to_string(EFBIG));
    EXPECT_EQ(read("ten.asm", 0), "error " + std::to_string(EFBIG));
}

// Files whose size says nothing about their content (such as those of /proc) are read up
// to the limit all the same.
TEST_F(SourceFileTest, ContentBeyondTheStatedSizeIsReadWithinTheLimit) {
    int error = 0;
    std::optional<SourceText> status = read_source("/proc/self/status", max_source_size, error);
    ASSERT_TRUE(status) << error;
    EXPECT_NE(std::string(status->data(), status->size()).find("Name:"), std::string::npos);
    EXPECT_FALSE(read_source("/proc/self/status", 16, error));
    EXPECT_EQ(error, EFBIG);
}

} // namespace
