// The Debugger page on a real X server (xvfb-run): an example program stepped, run to a
// breakpoint and to the cursor with the RAM window open, as the user sees it. Every stage is
// saved as a screenshot in the build folder, and the highlighted lines are looked for in the
// pixels of the screen.
#include "debugger/ram_window.h"
#include "debugger_page_fixture.h"
#include "shell/main_window.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

const QColor current_line(0xFF, 0xFF, 0x80); // 0x80FFFF as the editor gets it
const QColor breakpoint_line(0xFF, 0x80, 0x80);

class DebuggerOnScreen : public DebuggerPageTest {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through xvfb-run";
        DebuggerPageTest::SetUp();
        QDir().mkpath(shotsDir());
    }
    static QString shotsDir() { return QString(KZ71_BUILD_DIR) + "/screenshots"; }
    // Lets the X server draw what changed, then saves the whole screen.
    QImage shot(const QString& name) {
        QElapsedTimer drawn;
        drawn.start();
        while (drawn.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        EXPECT_TRUE(screen.save(shotsDir() + "/debugger-" + name + ".png")) << name.toStdString();
        return screen;
    }
    // Whether the screen shows `colour` inside the widget's area.
    static bool shows(const QImage& screen, QWidget& widget, const QColor& colour) {
        const QRect area(widget.mapToGlobal(QPoint(0, 0)), widget.size());
        for (int y = area.top(); y <= area.bottom(); y += 2)
            for (int x = area.left(); x <= area.right(); x += 2)
                if (screen.pixelColor(x, y) == colour) return true;
        return false;
    }
    void copyExample(const QString& example) {
        const QDir from(QString(KZ71_BIN_DIR) + "/examples/" + example);
        for (const QFileInfo& file : from.entryInfoList(QDir::Files))
            ASSERT_TRUE(QFile::copy(file.filePath(), path(file.fileName())));
    }
};

TEST_F(DebuggerOnScreen, AnExampleIsSteppedAndRunToABreakpointAndToTheCursor) {
    copyExample("measure");
    assemble("measure.asm");
    showDebuggerPage();
    QMainWindow* w = window();
    ASSERT_TRUE(w->isVisible());
    QsciScintilla* source = listing(0);
    shot("1-loaded");

    const QString file = "measure.asm";
    clickMargin(0, lineOf("jsub track_limits", file));
    QImage screen = shot("2-breakpoint-set");
    EXPECT_TRUE(shows(screen, *source, breakpoint_line));

    click("runToBreakpointButton");
    screen = shot("3-at-the-breakpoint");
    EXPECT_EQ(where(debugger().state.previousAddress),
              "measure.asm:" + std::to_string(lineOf("jsub track_limits", file)));
    // The current line is a breakpoint line: it keeps the breakpoint colour.
    EXPECT_TRUE(shows(screen, *source, breakpoint_line));
    EXPECT_TRUE(shows(screen, *hexView(), breakpoint_line));

    click("showRamContentButton");
    ASSERT_NE(page().screen().ramWindow(), nullptr);
    QWidget& ram = page().screen().ramWindow()->panel();
    click("singleStepButton");
    click("singleStepButton");
    screen = shot("4-stepped-with-the-ram-window");
    EXPECT_TRUE(ram.isVisible());
    EXPECT_TRUE(shows(screen, ram, QColor(0x91, 0xFF, 0x91))); // user RAM cells
    EXPECT_TRUE(shows(screen, *hexView(), current_line));

    putCursor(0, lineOf("decr r", file));
    click("runToCursorButton");
    screen = shot("5-at-the-cursor");
    EXPECT_EQ(where(debugger().state.previousAddress),
              "measure.asm:" + std::to_string(lineOf("decr r", file)));
    EXPECT_TRUE(shows(screen, *source, current_line));
    EXPECT_TRUE(shows(screen, *hexView(), current_line));
    EXPECT_EQ(text("lastAddressValue"),
              QString("0x%1")
                  .arg(debugger().state.previousAddress, 4, 16, QChar('0'))
                  .toUpper()
                  .replace("0X", "0x"));

    click("exitDebugModeButton");
    screen = shot("6-debug-mode-left");
    EXPECT_FALSE(shows(screen, *source, current_line));
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

} // namespace
} // namespace ide::test
