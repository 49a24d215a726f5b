// The main window under a real window manager (openbox on Xvfb), which adds a title bar and
// borders: the whole frame, the page tabs and Exit included, lies inside the screen's
// available area. Registered for a 1024 x 768 and an 800 x 600 screen.
#include "ide_fixture.h"
#include "shell/main_window.h"
#include "window_manager_process.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMainWindow>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>

namespace ide::test {
namespace {

class WindowManager : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through xvfb-run";
        const std::string failure = window_manager::start(manager);
        ASSERT_TRUE(failure.empty()) << "openbox did not come up: " << failure;
    }
    void TearDown() override {
        app->discardPanels();
        manager.terminate();
        manager.waitForFinished(5000);
        IdeTest::TearDown();
    }
    template <typename Condition>
    static bool waitFor(Condition done, int milliseconds) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(20);
        }
        return done();
    }
    QProcess manager;
};

TEST_F(WindowManager, TheWholeFrameOfTheMainWindowLiesOnTheScreen) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    QMainWindow* w = window();
    const auto framed = [w] { return w->frameGeometry() != w->geometry(); };
    if (!waitFor(framed, 5000)) {
        // A window mapped while a busy window manager was still starting can be missed by it;
        // mapping it again hands it over once more.
        w->hide();
        w->show();
    }
    ASSERT_TRUE(waitFor(framed, 10000)) << "the window manager gave the window no frame; openbox "
                                        << (manager.state() == QProcess::Running ? "runs" : "ended")
                                        << ": " << manager.readAllStandardError().toStdString()
                                        << manager.readAllStandardOutput().toStdString();
    waitFor([] { return false; }, 500); // the refit after the frame became known
    const QRect available = w->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(w->frameGeometry()))
        << "frame " << w->frameGeometry().width() << "x" << w->frameGeometry().height() << "+"
        << w->frameGeometry().x() << "+" << w->frameGeometry().y() << " on " << available.width()
        << "x" << available.height();
    for (const char* name : {"exitButton", "mainTabs"}) {
        QWidget* control = find<QWidget>(name);
        const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
        EXPECT_TRUE(available.contains(onScreen)) << name;
    }
}

} // namespace
} // namespace ide::test
