// On an 800 x 600 screen whose windows have a frame, the whole main window (the page tabs and
// Exit included) stays on the screen. These cases run in a program of their own whose
// offscreen screen is 800 x 600 (see CMakeLists.txt).
#include "help/help_viewer.h"
#include "help/help_windows.h"
#include "ide_fixture.h"
#include "shell/main_window.h"
#include "shell/window_fit.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QToolBar>

namespace ide::test {
namespace {

using SmallScreen = IdeTest;

TEST_F(SmallScreen, TheWholeFrameOfTheMainWindowLiesOnTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(available.size(), QSize(800, 600)) << "run through ide_small_screen_tests";
    ASSERT_EQ(start(800, 600), StartResult::mainWindow);
    ASSERT_NE(window()->frameGeometry(), window()->geometry()) << "the windows have no frame";
    EXPECT_TRUE(available.contains(window()->frameGeometry())) << window()->frameGeometry().width();
    QWidget* exit = find<QWidget>("exitButton");
    EXPECT_TRUE(available.contains(QRect(exit->mapToGlobal(QPoint(0, 0)), exit->size())));

    // Snapping back to the smallest size does not push the frame off the screen either.
    window()->resize(700, 500);
    settle();
    EXPECT_TRUE(available.contains(window()->frameGeometry()));
    EXPECT_EQ(window()->frameGeometry().size(), available.size());
}

// The help windows, larger by design than this screen, come up whole on it, title bar included.
TEST_F(SmallScreen, EveryHelpWindowLiesWholeOnTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(start(800, 600), StartResult::mainWindow);
    QTest::keyClick(window(), Qt::Key_F1);
    QTest::keyClick(window(), Qt::Key_F2);
    settle();
    EXPECT_EQ(popups.titles(), "");
    for (HelpBook book : {HelpBook::general, HelpBook::opcode}) {
        HelpViewer* viewer = app->helpWindows().viewer(book);
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(available.contains(viewer->frameGeometry()))
            << viewer->frameGeometry().width() << "x" << viewer->frameGeometry().height();
    }
}

// At 800 pixels wide every toolbar button is on the bar itself, Exit and Close included.
TEST_F(SmallScreen, EveryToolbarButtonFitsAnEightHundredPixelWindow) {
    ASSERT_EQ(start(800, 600), StartResult::mainWindow);
    window()->resize(800 - 4, window()->height()); // no wider than the screen with the frame
    settle();
    auto* bar = window()->findChild<QToolBar*>("asmToolbar");
    ASSERT_NE(bar, nullptr);
    ASSERT_LE(bar->width(), 800);
    QStringList hidden;
    for (QAction* action : bar->actions()) {
        QWidget* button = bar->widgetForAction(action);
        if (!action->isSeparator() && (button == nullptr || !button->isVisible()))
            hidden << action->toolTip();
    }
    EXPECT_TRUE(hidden.isEmpty()) << qPrintable(hidden.join(", "));
}

TEST(WindowFit, FramesAreFittedIntoTheAvailableArea) {
    const QMargins titleBar(4, 24, 4, 4);
    const QRect desktop(0, 0, 1024, 740); // a panel takes the bottom 28 pixels
    EXPECT_EQ(fitFrameInto({0, 0, 1024, 768}, titleBar, desktop), QRect(4, 24, 1016, 712));
    EXPECT_EQ(fitFrameInto({300, 200, 640, 480}, titleBar, desktop), QRect(300, 200, 640, 480));
    EXPECT_EQ(fitFrameInto({600, 500, 640, 480}, titleBar, desktop), QRect(380, 256, 640, 480));
    EXPECT_EQ(smallestClientSize({800, 600}, titleBar, {0, 0, 800, 600}), QSize(792, 572));
    EXPECT_EQ(smallestClientSize({800, 600}, titleBar, desktop), QSize(800, 600));
}

} // namespace
} // namespace ide::test
