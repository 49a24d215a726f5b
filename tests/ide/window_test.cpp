#include "ide_fixture.h"
#include "main_window.h"
#include "panel_loader.h"
#include "settings.h"
#include "shell_state.h"

#include <QAction>
#include <QMainWindow>
#include <QTabWidget>
#include <QToolBar>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

using MainWindow = IdeTest;

QWidget* child(const char* name) {
    return control<QWidget>(shell().mainPanel, name);
}

// Resizes the window and lets every page lay itself out.
void resizeWindow(int width, int height) {
    shell().mainPanel->resize(width, height);
    for (int page : {1, 2, 0}) {
        showPage(page);
        settle();
    }
}

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

        QWidget* assembler = mainPage(0);
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

        QWidget* debugger = mainPage(1);
        w = debugger->width(), h = debugger->height();
        EXPECT_EQ(child("listingTabs")->geometry(), QRect(0, 0, w, h - 320));
        EXPECT_EQ(child("dbgHexView")->width(), w - 30);
        EXPECT_EQ(child("singleStepButton")->y(), h - 290);
        EXPECT_EQ(child("xValue")->y(), h - 95);
        EXPECT_EQ(child("zValue")->y(), h - 55);

        QWidget* download = mainPage(2);
        w = download->width(), h = download->height();
        QWidget* log = child("downloadMessages");
        m = log->height();
        EXPECT_EQ(log->y(), h - m - 20);
        EXPECT_EQ(log->width(), w - 266);
        EXPECT_EQ(child("hexView")->size(), QSize(w - 30, h - m - 150));
        EXPECT_EQ(child("userEepromTable")->pos(), QPoint(w - 226, h - 230));
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
    int debuggerRefreshes = 0, downloadRefreshes = 0;
    hooks().refreshDebuggerPage = [&] { ++debuggerRefreshes; };
    hooks().prepareDownloadPage = [&] { ++downloadRefreshes; };
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* tabs = control<QTabWidget>(window(), "mainTabs");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(shell().activePage, 1);
    EXPECT_EQ(debuggerRefreshes, 1);
    tabs->setCurrentIndex(2);
    EXPECT_EQ(shell().activePage, 2);
    EXPECT_EQ(downloadRefreshes, 1);
    showAssemblerPage();
    EXPECT_EQ(shell().activePage, 0);
    EXPECT_EQ(frontPage(), 0);
    EXPECT_EQ(debuggerRefreshes + downloadRefreshes, 2); // showAssemblerPage refreshes nothing

    control<QAction>(window(), "mViewDownload")->trigger();
    EXPECT_EQ(frontPage(), 2);
    EXPECT_EQ(downloadRefreshes, 2);
    control<QAction>(window(), "mViewDebugger")->trigger();
    EXPECT_EQ(frontPage(), 1);
    EXPECT_EQ(debuggerRefreshes, 2);
    control<QAction>(window(), "mViewAssembler")->trigger();
    EXPECT_EQ(shell().activePage, 0);
}

TEST_F(MainWindow, HexViewsAreReadOnlyAndStyledAsHexFromTheFirstStart) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    for (const char* name : {"hexView", "dbgHexView"}) {
        auto* hex = control<QsciScintilla>(window(), name);
        ASSERT_NE(hex, nullptr) << name;
        EXPECT_TRUE(hex->isReadOnly()) << name;
        ASSERT_NE(hex->lexer(), nullptr) << name;
        EXPECT_STREQ(hex->lexer()->language(), "KZ71 Hex") << name;
    }
}

TEST_F(MainWindow, TitleNamesTheLastProject) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    settings().lastProject = "/work/demo.prj";
    updateWindowTitle();
    EXPECT_EQ(window()->windowTitle(), "KZ71 Assembler - /work/demo.prj");
}

TEST_F(MainWindow, TooltipsFollowTheSetting) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_EQ(child("compileButton")->toolTip(), "Compile program");
    EXPECT_EQ(child("getDevInfoButton")->toolTip(), "Get programmer information");
    EXPECT_EQ(child("resetInterfaceButton")->toolTip(),
              "Reset USB interface and message output box");
    EXPECT_EQ(child("statusLamp")->toolTip(), "Indicator shows status of last performed action");
    settings().showTooltips = 0;
    setTooltips();
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
    discardPanels();

    writeFile("settings.ini", "[Window]\nWindowstatus = 1\nAllow maximization = 0\n");
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_FALSE(window()->isMaximized());
    EXPECT_FALSE(window()->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindow, MenuItemsAndToolbarButtonsReachTheirCallbacks) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    auto* bar = window()->findChild<QToolBar*>("asmToolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->windowTitle(), "ASM Toolbar");
    EXPECT_EQ(bar->iconSize(), QSize(22, 22));
    QStringList texts;
    for (QAction* a : bar->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts.size(), 24);
    EXPECT_EQ(texts.first(), "New File");
    EXPECT_EQ(texts.last(), "Close File");
    EXPECT_FALSE(bar->findChild<QAction*>("tb_mFileNew")->icon().isNull());
    // In English the Language button switches to Chinese.
    EXPECT_NE(bar->findChild<QAction*>("tb_mToolsLanguagesChinese"), nullptr);

    EXPECT_TRUE(control<QAction>(window(), "mFileNew")->isEnabled());
    bar->findChild<QAction*>("tb_mFileNew")->trigger();
    EXPECT_EQ(control<QTabWidget>(window(), "editorTabs")->count(), 2);
    // Commands that are not part of this program yet are dimmed rather than silently dead.
    EXPECT_FALSE(control<QAction>(window(), "mAssemblerCompile")->isEnabled());
    EXPECT_FALSE(bar->findChild<QAction*>("tb_mAssemblerCompile")->isEnabled());
    EXPECT_EQ(control<QAction>(window(), "mEditFindReplace")->shortcut(), QKeySequence("Ctrl+H"));
}

} // namespace
} // namespace ide::test
