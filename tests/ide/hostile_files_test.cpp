// Whatever a path names (a FIFO, an endless device, a folder, a huge file), the IDE neither
// hangs nor fills its memory: it tells the user, or treats the file as missing where the
// program's own behaviour says so.
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "shell/main_window.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>
#include <sys/stat.h>

namespace ide::test {
namespace {

class HostileFiles : public IdeTest {
protected:
    void makeFifo(const QString& name) {
        QDir().mkpath(QFileInfo(path(name)).path());
        ASSERT_EQ(mkfifo(QFile::encodeName(path(name)).constData(), 0600), 0);
    }
    void linkToZero(const QString& name) {
        QDir().mkpath(QFileInfo(path(name)).path());
        ASSERT_TRUE(QFile::link("/dev/zero", path(name)));
    }
};

TEST_F(HostileFiles, ASettingsFileThatIsNoFileStartsFromTheStartValues) {
    for (bool fifo : {true, false}) {
        fifo ? makeFifo("settings.ini") : linkToZero("settings.ini");
        ASSERT_EQ(start(), StartResult::mainWindow);
        EXPECT_EQ(settings().lineNumbering, 1);
        EXPECT_EQ(settings().suppressDebugBpMessages, 0);
        EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
        app->discardPanels();
        QFile::remove(path("settings.ini"));
    }
}

TEST_F(HostileFiles, QuittingWhenTheSettingsCannotBeWrittenSaysWhichFile) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("settings.ini"));
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_TRUE(Quit(*app));
    ASSERT_EQ(popups.titles(), "Save Project|ivra-ASM Error 172");
    EXPECT_EQ(popups.shown[1].icon, PopupIcon::error);
    EXPECT_EQ(popups.shown[1].text, QString("Settings cannot be saved.\nFile %1 cannot be written!"
                                            "\nError 172")
                                        .arg(path("settings.ini")));
    EXPECT_TRUE(app->quitRequested());
}

TEST_F(HostileFiles, SourcesThatAreNoFilesOrTooLargeAreRefused) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    makeFifo("pipe.asm");
    linkToZero("zero.asm");
    QFile big(path("big.asm"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(max_source_file_bytes + 1));
    big.close();
    const QString fine = writeFile("fine.asm", "nop\n");
    dialogs.choices = {{1, {path("pipe.asm"), path("zero.asm"), path("big.asm"), fine}}};
    tabs().mFileOpenMult();
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 34|ivra-ASM Warning 34|ivra-ASM Warning 34");
    EXPECT_EQ(
        popups.shown[0].text,
        QString("Cannot open %1:\nit is not a regular file.\nWarning 34").arg(path("pipe.asm")));
    EXPECT_EQ(
        popups.shown[2].text,
        QString("Cannot open %1:\nit is larger than 16 MB.\nWarning 34").arg(path("big.asm")));
    // No tab was made for them, so nothing can later be saved over them; the next file opens.
    ASSERT_EQ(tabs().editorTabCount(), 2);
    EXPECT_EQ(tabs().editorTab(1).path, fine);
    EXPECT_EQ(editorText(1), "nop\n");
}

TEST_F(HostileFiles, LanguageAndPanelFilesThatAreNoFilesFailAsMissingOnes) {
    makeFifo("lw26asm.lng"); // the working directory is searched first
    makeFifo("chinese/big.lwl");
    ASSERT_EQ(start(1024, 768, 936), StartResult::mainWindow);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 22"); // English texts, as without the file
    EXPECT_EQ(editorOf(0)->lexer(), nullptr);          // the default language
    app->discardPanels();

    popups.shown.clear();
    QDir().mkpath(path("panels"));
    for (const char* panel : {"notsupported.ui", "toolssettings.ui"})
        QFile::copy(QString(KZ71_BIN_DIR) + "/panels/" + panel, path("panels/") + panel);
    makeFifo("panels/big.ui");
    app->paths().panelsDir = path("panels");
    EXPECT_EQ(start(), StartResult::failed);
    ASSERT_EQ(popups.titles(), "ivra-ASM Error 20");
    EXPECT_TRUE(popups.shown[0].text.contains("big.ui: it is not a regular file"));
}

} // namespace
} // namespace ide::test
