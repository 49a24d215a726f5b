#include "scratch_directory.h"
#include "settings/ini.h"
#include "settings/settings.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    ide::Settings s;
    std::string read() const { return scratch.read("settings.ini"); }
    void write(const std::string& text) const { scratch.write("settings.ini", text); }

    ScratchDirectory scratch;
    const std::string path = (scratch.path() / "settings.ini").string();
};

TEST_F(SettingsFile, StartValuesWhenNoFileExists) {
    s.showHints = 0;
    ide::initSettings(s, path, path);
    EXPECT_EQ(s.showHints, 1);
    EXPECT_EQ(s.suppressDebugBpMessages, 0);
    EXPECT_EQ(s.lineNumberingIncludesGray, 0);
    EXPECT_EQ(s.codepageDetection, 1);
    EXPECT_EQ(s.lastProject, "");
}

TEST_F(SettingsFile, WritesEveryKeyInItsSection) {
    s.lastProject = "/work/demo.prj";
    ASSERT_TRUE(ide::saveSettings(s, path));
    const std::string expected =
        "[Download]\r\nIIC address = 0\r\nUse IIC protocol = 0\r\n\r\n"
        "[Editor]\r\nEnable Multibyte Support = 0\r\nLine numbering = 1\r\n"
        "Line numbering gray = 1\r\nLine numbering includes = 1\r\n"
        "Line numbering includes gray = 0\r\nSyntax highlighting = 1\r\n"
        "Syntax highlighting includes = 1\r\n\r\n"
        "[Environment]\r\nEnlarge Debug Timeout = 1\r\nShow hints = 1\r\nShow tooltips = 1\r\n"
        "Suppress Debug BP Messages = 0\r\nSuppress Debug Information Refreshing = 1\r\n"
        "Suppress EOF Popup = 1\r\nSuppress Proper File Detection = 1\r\n\r\n"
        "[Files]\r\nLast project = \"/work/demo.prj\"\r\n\r\n"
        "[Language]\r\nCodepage detection = 1\r\nLanguage = 0\r\n\r\n"
        "[Window]\r\nAllow maximization = 1\r\nResolution = 1024\r\nWindowstatus = 0\r\n";
    EXPECT_EQ(read(), expected);
}

TEST_F(SettingsFile, RoundTripKeepsEveryFieldAndALongLastProject) {
    s.showTooltips = 0;
    s.suppressDebugBpMessages = 1;
    s.language = 1;
    s.windowStatus = 1;
    s.allowMaximization = 0;
    s.multibyte = 1;
    s.useIic = 1;
    s.iicAddress = 0x1234;
    s.lineNumberingGray = 0;
    s.lastProject = "/home/user/projects/measurement/very long folder name with \"quotes\"/"
                    "and\\backslashes/demo\tproject.prj";
    ASSERT_GT(s.lastProject.size(), 80u);
    const ide::Settings saved = s;
    ASSERT_TRUE(ide::saveSettings(s, path));
    EXPECT_NE(read().find("Last project Line0001 = \""), std::string::npos);
    EXPECT_NE(read().find("Last project Line0002 = \""), std::string::npos);

    s = ide::Settings{};
    ASSERT_TRUE(ide::loadSettings(s, path));
    EXPECT_EQ(s.lastProject, saved.lastProject);
    EXPECT_EQ(s.showTooltips, 0);
    EXPECT_EQ(s.suppressDebugBpMessages, 1);
    EXPECT_EQ(s.language, 1);
    EXPECT_EQ(s.windowStatus, 1);
    EXPECT_EQ(s.allowMaximization, 0);
    EXPECT_EQ(s.multibyte, 1);
    EXPECT_EQ(s.useIic, 1);
    EXPECT_EQ(s.iicAddress, 0x1234);
    EXPECT_EQ(s.lineNumberingGray, 0);
}

TEST_F(SettingsFile, MissingKeysKeepFieldsButMissingLastProjectEmptiesIt) {
    write("[Editor]\nLine numbering = 0\nSyntax highlighting = bad\n[Window]\nResolution = 640\n");
    s.syntaxHighlighting = 0;
    s.lastProject = "old.prj";
    s.resolution = 1024;
    ASSERT_TRUE(ide::loadSettings(s, path));
    EXPECT_EQ(s.lineNumbering, 0);
    EXPECT_EQ(s.syntaxHighlighting, 0); // unreadable: kept
    EXPECT_EQ(s.showHints, 1);
    EXPECT_EQ(s.resolution, 1024); // never read back
    EXPECT_EQ(s.lastProject, "");
}

TEST_F(SettingsFile, DefaultsDifferFromStartValuesAndKeepLastProject) {
    s.lastProject = "/p/demo.prj";
    s.restoreDefaults = 1;
    s.lineNumbering = 0;
    ASSERT_TRUE(ide::writeDefaultSettings(s, path));
    EXPECT_EQ(s.restoreDefaults, 0);
    EXPECT_EQ(s.lineNumbering, 0); // the file only, not the fields
    const std::string text = read();
    EXPECT_NE(text.find("Suppress Debug BP Messages = 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("Line numbering includes gray = 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("Show select dialog = 0\r\n"), std::string::npos);
    EXPECT_NE(text.find("Last project = \"/p/demo.prj\"\r\n"), std::string::npos);
    ASSERT_TRUE(ide::loadSettings(s, path));
    EXPECT_EQ(s.lineNumbering, 1);
    EXPECT_EQ(s.suppressDebugBpMessages, 1);
}

} // namespace
