#include "settings/ini.h"

#include <gtest/gtest.h>

namespace {

using ini::IniText;

TEST(Ini, WritesSortedSectionsAndKeysWithCrLf) {
    IniText text;
    text.putInt("Window", "Windowstatus", 0);
    text.putString("Files", "Last project", "C:/work/demo.prj");
    text.putInt("Window", "Allow maximization", 1);
    EXPECT_EQ(text.serialize(), "[Files]\r\n"
                                "Last project = \"C:/work/demo.prj\"\r\n"
                                "\r\n"
                                "[Window]\r\n"
                                "Allow maximization = 1\r\n"
                                "Windowstatus = 0\r\n");
}

TEST(Ini, EscapesEveryControlCharacterAndReadsItBack) {
    const std::string value = "a\"b\\c\td\ne\rf\x01g\x7fh";
    IniText text;
    text.putString("S", "K", value);
    const std::string written = text.serialize();
    EXPECT_NE(written.find(R"(K = "a\"b\\c\td\ne\rf\x01g\x7Fh")"), std::string::npos) << written;
    EXPECT_EQ(IniText::parse(written).getString("S", "K"), value);
    EXPECT_EQ(ini::unescape(R"(\x4a\x4A\q\)"), "JJq\\");
}

TEST(Ini, SplitsLongStringsIntoNumberedLinesAndJoinsThem) {
    const std::string value(81, 'p');
    IniText text;
    text.putString("Files", "Last project", value);
    const std::string written = text.serialize();
    EXPECT_EQ(written, "[Files]\r\n"
                       "Last project Line0001 = \"" +
                           std::string(80, 'p') +
                           "\"\r\n"
                           "Last project Line0002 = \"p\"\r\n");
    EXPECT_EQ(IniText::parse(written).getString("Files", "Last project"), value);

    IniText exact;
    exact.putString("Files", "Last project", std::string(80, 'q'));
    EXPECT_EQ(exact.serialize().find("Line0001"), std::string::npos);
}

TEST(Ini, SplittingKeepsUtf8CharactersAndEscapesWhole) {
    std::string value;
    for (int i = 0; i < 30; ++i)
        value += "\xe4\xb8\xad\\\"";
    IniText text;
    text.putString("S", "Path", value);
    IniText back = IniText::parse(text.serialize());
    EXPECT_EQ(back.getString("S", "Path"), value);
    EXPECT_TRUE(back.getString("S", "Path Line0002").has_value());
}

TEST(Ini, ReadsLfFilesCommentsAndIgnoresCase) {
    IniText text = IniText::parse("; settings\n[editor]\nline numbering = 0\n"
                                  "Bad = x1\n  Spaced   =   7 ; note\n[Other]\nName = \"v\"\n");
    EXPECT_EQ(text.getInt("Editor", "Line numbering"), 0);
    EXPECT_EQ(text.getInt("EDITOR", "spaced"), 7);
    EXPECT_FALSE(text.getInt("Editor", "Bad"));
    EXPECT_FALSE(text.getInt("Other", "Name")); // a quoted value is no integer
    EXPECT_EQ(text.getString("Other", "Name"), "v");
    EXPECT_FALSE(text.getString("Other", "Missing"));
}

TEST(Ini, BrokenInputNeverThrowsAndKeepsWhatIsReadable) {
    IniText text = IniText::parse("key = 1\n[Open\n[S]\n= 3\nnoequals\nK = \"unterminated\\\n"
                                  "N = 99999999999999999999\n");
    EXPECT_EQ(text.getString("S", "K"), "unterminated\\");
    EXPECT_FALSE(text.getInt("S", "N"));
    EXPECT_FALSE(text.hasSection("Open"));
}

TEST(Ini, MissingFileIsReported) {
    EXPECT_FALSE(IniText::readFile("/nonexistent/dir/settings.ini", 1 << 20));
    EXPECT_FALSE(IniText().writeFile("/nonexistent/dir/settings.ini"));
}

} // namespace
