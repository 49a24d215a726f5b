#include "assembler/include_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(IncludePaths, QuotedNamesAreRelativeToTheIncludingFile) {
    EXPECT_EQ(quoted_include_path("/p/main.asm", "sub/x.h"), "/p/sub/x.h");
    EXPECT_EQ(quoted_include_path("/p/main.asm", "../x.h"), "/x.h");
    EXPECT_EQ(quoted_include_path("/p/q/main.asm", "../../x.h"), "/x.h");
    EXPECT_EQ(quoted_include_path("/p/main.asm", "../../x.h"), "/x.h") << "nothing above /";
    EXPECT_EQ(quoted_include_path("src/main.asm", "x.h"), "src/x.h");
    EXPECT_EQ(quoted_include_path("main.asm", "x.h"), "x.h") << "no directory: working dir";
}

TEST(IncludePaths, ClimbingAboveARelativeDirectory) {
    EXPECT_EQ(quoted_include_path("src/main.asm", "../x.h"), "x.h");
    EXPECT_EQ(quoted_include_path("main.asm", "../x.h"), "../x.h");
    EXPECT_EQ(quoted_include_path("main.asm", "../../x.h"), "../../x.h");
    EXPECT_EQ(quoted_include_path("../main.asm", "../x.h"), "../../x.h");
    EXPECT_EQ(quoted_include_path("./main.asm", "../x.h"), "../x.h");
}

TEST(IncludePaths, BackslashesAndAbsoluteNames) {
    EXPECT_EQ(quoted_include_path("/p/main.asm", "sub\\x.h"), "/p/sub/x.h");
    EXPECT_EQ(quoted_include_path("/p/q/main.asm", "..\\x.h"), "/p/x.h");
    EXPECT_EQ(quoted_include_path("/p/main.asm", "/usr/inc/x.h"), "/usr/inc/x.h");
    // ".." inside a name is left to the file system, which resolves it correctly.
    EXPECT_EQ(quoted_include_path("/p/main.asm", "sub/../x.h"), "/p/sub/../x.h");
}

TEST(IncludePaths, AngleNamesLiveInLibBelowTheWorkingDirectory) {
    EXPECT_EQ(angle_include_path("/work", "x.h"), "/work/lib/x.h");
    EXPECT_EQ(angle_include_path("/", "x.h"), "/lib/x.h");
    EXPECT_EQ(angle_include_path("/work", "dev\\regs.h"), "/work/lib/dev/regs.h");
}

} // namespace
