#include "app/shell_state.h"
#include "ide_fixture.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/panel_loader.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class MainWindowTest : public IdeTest {
protected:
    QWidget* child(const char* name) const { return find<QWidget>(name); }
    // Resizes the window and lets every page lay itself out.
    void resizeWindow(int width, int height) {
        window()->resize(width, height);
        for (int page : {1, 2, 0}) {
            main().showPage(page);
            settle();
        }
    }
};
using MainWindow = MainWindowTest;

TEST_F(MainWindow, SizesBelow800x600SnapBack) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    resizeWindow(700, 500);
    EXPECT_EQ(window()->size(), QSize(800, 600));
    resizeWindow(1000, 300);
    EXPECT_EQ(window()->size(), QSize(1000, 600));
    resizeWindow(640, 700);
    EXPECT_EQ(window()->size(), QSize(800, 700));
}

TEST_F(MainWindow, PagesKeepTheirControlsAnchoredWhenResized) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    for (QSize size : {QSize(1000, 720), QSize(800, 600)}) {
        resizeWindow(size.width(), size.height());
        QWidget* panel = window()->centralWidget();
        QWidget* tabs = child("mainTabs");
        EXPECT_EQ(tabs->geometry().bottomRight(), panel->rect().bottomRight());
        QWidget* exit = child("exitButton");
        EXPECT_EQ(exit->y(), panel->height() - exit->height() - 10);

        QWidget* assembler = main().mainPage(0);
        int w = assembler->width(), h = assembler->height();
        QWidget* messages = child("asmMessages");
        int m = messages->height();
        EXPECT_EQ(messages->geometry(), QRect(5, h - m, w - 10, m));
        EXPECT_EQ(child("editorTabs")->geometry(), QRect(0, 0, w, h - m - 47));
        EXPECT_EQ(child("compileButton")->geometry(), QRect(w - 200, h - m - 35, 60, 28));
        EXPECT_EQ(child("opcodeHelpText")->pos(), QPoint(w - 127, h - m - 30));
        EXPECT_EQ(child("currentFileText")->y(), h - m - 40);
        // The editor fills its tab page.
        EXPECT_EQ(child("editor0")->size(), child("editorPage0")->size());

        QWidget* debugger = main().mainPage(1);
        w = debugger->width(), h = debugger->height();
        EXPECT_EQ(child("listingTabs")->geometry(), QRect(0, 0, w, h - 320));
        EXPECT_EQ(child("dbgHexView")->width(), w - 30);
        EXPECT_EQ(child("singleStepButton")->y(), h - 290);
        EXPECT_EQ(child("xValue")->y(), h - 95);
        EXPECT_EQ(child("zValue")->y(), h - 55);

        QWidget* download = main().mainPage(2);
        w = download->width(), h = download->height();
        QWidget* log = child("downloadMessages");
        m = log->height();
        EXPECT_EQ(log->y(), h - m - 20);
        EXPECT_EQ(child("hexView")->size(), QSize(w - 30, h - m - 150));
        // The user EEPROM table (hidden: no .epr file) ends 10 pixels from the right edge.
        QWidget* table = child("userEepromTable");
        EXPECT_EQ(table->y(), h - 230);
        EXPECT_EQ(table->geometry().right() + 1, w - 10);
        EXPECT_EQ(log->width(), w - 266);
        EXPECT_LE(child("downloadProgress")->geometry().right(), log->geometry().right());
        // The lamp's label stands left of the lamp, clear of the hex view and the progress bar.
        const QRect label = child("statusLampLabel")->geometry();
        const QRect lamp = child("statusLamp")->geometry();
        EXPECT_LT(label.right(), lamp.left());
        EXPECT_TRUE(label.intersects(QRect(0, lamp.y(), w, lamp.height())));
        EXPECT_FALSE(label.intersects(child("hexView")->geometry()));
        EXPECT_FALSE(label.intersects(child("downloadProgress")->geometry()));
        const QFontMetrics labelFont = child("statusLampLabel")->fontMetrics();
        for (const char* text : {"Status", "Download", "Read & Verify"})
            EXPECT_LE(labelFont.horizontalAdvance(text), label.width()) << text;
        EXPECT_EQ(child("statusLamp")->pos(), QPoint(w - 186, h - 320));
        QWidget* select = child("selectHexButton");
        QWidget* reset = child("resetInterfaceButton");
        QWidget* info = child("getDevInfoButton");
        if (w > 894) {
            EXPECT_EQ(reset->pos(), QPoint(select->x() + 150, info->y())) << w;
            EXPECT_EQ(child("readProtect")->x(), select->x() + 150);
        } else {
            EXPECT_EQ(reset->pos(), QPoint(select->x(), info->y() + 40)) << w;
            EXPECT_EQ(child("readProtect")->x(), select->x() - 100);
        }
    }
}

TEST_F(MainWindow, PageChangesRefreshTheDebuggerAndDownloadPages) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* tabs = find<QTabWidget>("mainTabs");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(app->shell().activePage, 1);
    // Without a build's debug file the Debugger page shows only its hint.
    EXPECT_TRUE(child("debuggerHint")->isVisibleTo(window()));
    EXPECT_FALSE(child("singleStepButton")->isVisibleTo(window()));
    tabs->setCurrentIndex(2);
    EXPECT_EQ(app->shell().activePage, 2);
    EXPECT_TRUE(child("noHexText")->isVisibleTo(window()));
    EXPECT_FALSE(child("hexView")->isVisibleTo(window()));
    main().showAssemblerPage();
    EXPECT_EQ(app->shell().activePage, 0);
    EXPECT_EQ(main().frontPage(), 0);

    // A hex file and a user EEPROM file: the Download page shows both when it comes up.
    app->build().hexFilePath = writeFile("prog.hex", "0000: 70 00\n");
    app->build().eprFilePath = writeFile("prog.epr", "00: 01\n");
    find<QAction>("mViewDownload")->trigger();
    EXPECT_EQ(main().frontPage(), 2);
    auto* hex = find<QsciScintilla>("hexView");
    EXPECT_TRUE(hex->isVisibleTo(window()));
    EXPECT_EQ(hex->text(), "0000: 70 00\n");
    EXPECT_TRUE(hex->isReadOnly());
    EXPECT_EQ(findIn<QLabel>(window(), "hexFileName")->text(), app->build().hexFilePath);
    EXPECT_TRUE(child("userEepromTable")->isVisibleTo(window()));
    EXPECT_FALSE(child("noHexText")->isVisibleTo(window()));

    app->build().dbgFilePath = writeFile("prog.dbg", "");
    find<QAction>("mViewDebugger")->trigger();
    EXPECT_EQ(main().frontPage(), 1);
    EXPECT_FALSE(child("debuggerHint")->isVisibleTo(window()));
    EXPECT_TRUE(child("singleStepButton")->isVisibleTo(window()));
    EXPECT_FALSE(child("runningText")->isVisibleTo(window()));
    find<QAction>("mViewAssembler")->trigger();
    EXPECT_EQ(app->shell().activePage, 0);
}

TEST_F(MainWindow, HexViewsAreReadOnlyAndStyledAsHexFromTheFirstStart) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    for (const char* name : {"hexView", "dbgHexView"}) {
        auto* hex = find<QsciScintilla>(name);
        ASSERT_NE(hex, nullptr) << name;
        EXPECT_TRUE(hex->isReadOnly()) << name;
        ASSERT_NE(hex->lexer(), nullptr) << name;
        EXPECT_STREQ(hex->lexer()->language(), "KZ71 Hex") << name;
    }
}

TEST_F(MainWindow, TitleNamesTheLastProject) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    app->settings().setLastProject("/work/demo.prj");
    main().updateWindowTitle();
    EXPECT_EQ(window()->windowTitle(), "KZ71 Assembler - /work/demo.prj");
}

TEST_F(MainWindow, TooltipsFollowTheSetting) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_EQ(child("compileButton")->toolTip(), "Compile program");
    EXPECT_EQ(child("getDevInfoButton")->toolTip(), "Get programmer information");
    EXPECT_EQ(child("resetInterfaceButton")->toolTip(),
              "Reset USB interface and message output box");
    EXPECT_EQ(child("statusLamp")->toolTip(), "Indicator shows status of last performed action");
    setSetting(&Settings::showTooltips, 0);
    main().setTooltips();
    EXPECT_TRUE(child("compileButton")->toolTip().isEmpty());
    EXPECT_TRUE(child("statusLamp")->toolTip().isEmpty());
}

TEST_F(MainWindow, AMaximizedWindowStaysMaximizedAcrossAStart) {
    writeFile("settings.ini", "[Window]\nWindowstatus = 1\nAllow maximization = 1\n");
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_TRUE(window()->isMaximized());
    EXPECT_EQ(settings().windowStatus, 1);
    window()->showNormal();
    settle();
    EXPECT_EQ(settings().windowStatus, 0);
    app->discardPanels();

    writeFile("settings.ini", "[Window]\nWindowstatus = 1\nAllow maximization = 0\n");
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_FALSE(window()->isMaximized());
    EXPECT_FALSE(window()->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindow, ToolbarButtonsAreTheMenuItemsThemselves) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* bar = window()->findChild<QToolBar*>("asmToolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), "ASM Toolbar");
    EXPECT_EQ(bar->iconSize(), QSize(22, 22));
    QStringList tips, items;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) continue;
        tips << a->toolTip();
        items << a->objectName();
        EXPECT_FALSE(a->icon().isNull()) << qPrintable(a->objectName());
    }
    EXPECT_EQ(tips.size(), 24);
    EXPECT_EQ(tips.first(), "New File");
    EXPECT_EQ(tips.last(), "Close File");
    EXPECT_EQ(items.first(), "mFileNew");
    EXPECT_EQ(items.last(), "mFileClose");
    // In English the Language button switches to Chinese.
    EXPECT_TRUE(items.contains("mToolsLanguagesChinese"));
    EXPECT_FALSE(items.contains("mToolsLanguagesEnglish"));

    EXPECT_EQ(find<QAction>("mEditFindReplace")->shortcut(), QKeySequence("Ctrl+H"));
    EXPECT_TRUE(find<QAction>("mFileNew")->isEnabled());
    find<QAction>("mFileNew")->trigger();
    EXPECT_EQ(find<QTabWidget>("editorTabs")->count(), 2);
}

// A command that is not part of the program yet is dimmed in its menu, on the toolbar and on
// its page alike; once defined, all three come alive together, and run the same command.
TEST_F(MainWindow, CommandsAreEnabledAndDimmedInOnePlaceForMenuToolbarAndPage) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* bar = window()->findChild<QToolBar*>("asmToolbar");
    const std::pair<const char*, const char*> commands[] = {
        {"mDownloadRdVerify", "readVerifyButton"}, // defined, but dimmed until a download
    };
    for (const auto& [item, button] : commands) {
        EXPECT_FALSE(find<QAction>(item)->isEnabled()) << item;
        EXPECT_FALSE(find<QPushButton>(button)->isEnabled()) << button;
    }
    QWidget* toolbarRun = bar->widgetForAction(find<QAction>("mDebuggerRunToBP"));
    ASSERT_NE(toolbarRun, nullptr);

    QObject owner;
    QList<CommandOrigin> runs;
    app->commands().define("mDebuggerRunToBP", &owner,
                           CommandTable::Run([&](CommandOrigin origin) { runs << origin; }));
    EXPECT_TRUE(find<QAction>("mDebuggerRunToBP")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("runToBreakpointButton")->isEnabled());
    EXPECT_TRUE(toolbarRun->isEnabled());
    find<QPushButton>("runToBreakpointButton")->click();
    find<QAction>("mDebuggerRunToBP")->trigger();
    EXPECT_EQ(runs, (QList<CommandOrigin>{CommandOrigin::button, CommandOrigin::menu}));

    app->commands().setAvailable("mDebuggerRunToBP", false); // e.g. Read & Verify after a reset
    EXPECT_FALSE(find<QAction>("mDebuggerRunToBP")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("runToBreakpointButton")->isEnabled());
    EXPECT_FALSE(toolbarRun->isEnabled());
    app->commands().setAvailable("mDebuggerRunToBP", true);
    EXPECT_TRUE(find<QPushButton>("runToBreakpointButton")->isEnabled());
}

// The check marks of Tools/Resolution and Tools/Languages follow the settings only.
TEST_F(MainWindow, CheckMarksFollowTheSettingsNotTheClicks) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* r800 = find<QAction>("toolsResolution800");
    auto* r1024 = find<QAction>("toolsResolution1024");
    EXPECT_TRUE(r800->isEnabled());
    for (int click = 0; click < 2; ++click) {
        r800->trigger();
        r1024->trigger();
        EXPECT_FALSE(r800->isChecked()) << click;
        EXPECT_TRUE(r1024->isChecked()) << click;
    }
    auto* english = find<QAction>("mToolsLanguagesEnglish");
    auto* chinese = find<QAction>("mToolsLanguagesChinese");
    english->trigger();
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(chinese->isChecked());
    setSetting(&Settings::language, 1);
    EXPECT_FALSE(english->isChecked());
    EXPECT_TRUE(chinese->isChecked());
}

} // namespace
} // namespace ide::test
