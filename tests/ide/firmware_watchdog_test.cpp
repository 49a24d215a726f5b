// The main window's "Executable Watchdog" on the simulated bus: it loads the shipped firmware
// into a programmer that waits for it, leaves a running programmer alone, tells a loader held
// by another program without piling popups up, and never runs inside another operation. And
// the quit sequence closes a programmer session that is still open.
#include "app/quit.h"
#include "download/download_commands.h"
#include "download/firmware_watchdog.h"
#include "download_fixture.h"
#include "programmer/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace ide::test {
namespace {

class Watchdog : public DownloadTest {
protected:
    void SetUp() override {
        DownloadTest::SetUp();
        sim::SimConfig loader;
        loader.start_as_loader = true;
        restartSimulator(loader);
    }
    QTimer& timer() const { return *app->shell().watchdog; }
    FirmwareWatchdog& watchdog() const { return *timer().findChild<FirmwareWatchdog*>(); }
    // Lets the event loop run until `done` or a few seconds have passed.
    static bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
};

TEST_F(Watchdog, TheTimerLoadsTheShippedFirmwareIntoAWaitingProgrammer) {
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(timer().interval(), 1000); // the main window's design
    ASSERT_NE(timer().findChild<FirmwareWatchdog*>(), nullptr);
    timer().setInterval(1);
    ASSERT_TRUE(waitFor([&] { return simulator->firmwareRunning(); }))
        << simulator->loader().problem();
    EXPECT_EQ(wire().back(), "OUT A0 E600 0000 [30]");
    EXPECT_GT(countWire("OUT A0"), 100u); // every record of the file, one write each
    EXPECT_TRUE(acting.shown.isEmpty()) << acting.titles().toStdString();

    // The programmer now runs its firmware: later ticks only look, and the page reaches it.
    simulator->log().clear();
    QElapsedTimer ticks;
    ticks.start();
    while (ticks.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(wire().empty());
    click("getDevInfoButton");
    EXPECT_TRUE(messages().contains("Firmware version: 1")) << messages().toStdString();
}

TEST_F(Watchdog, AHeldLoaderIsToldOncePerAnsweredPopup) {
    simulator->faults().holdByOtherProgram(true);
    int nestedTicks = 0;
    acting.whileShown = [&](const Popup&) {
        // The next ticks come while the popup waits for its answer.
        if (nestedTicks++ < 3) watchdog().watchdogTimer();
    };
    watchdog().watchdogTimer();
    ASSERT_EQ(acting.titles(), "ERROR");
    EXPECT_EQ(acting.shown[0].text, "programmer device is being used by another application");
    EXPECT_EQ(nestedTicks, 1);

    // Once answered, the next tick tells it again.
    acting.shown.clear();
    watchdog().watchdogTimer();
    EXPECT_EQ(acting.titles(), "ERROR");
}

TEST_F(Watchdog, NoTickRunsInsideAnOperation) {
    restartSimulator({}); // a programmer with its firmware, and a download asking its question
    selectHexFile(countingBytes(4));
    chooseMemory(1);
    acting.answers = {answerNo};
    bool tickRan = true;
    acting.whileShown = [&](const Popup&) {
        simulator->log().clear();
        watchdog().watchdogTimer();
        tickRan = !wire().empty() || !commands().running();
    };
    click("downloadButton");
    EXPECT_FALSE(tickRan);
    EXPECT_EQ(acting.titles(), "Warning");
}

using QuitSequence = DownloadTest;

TEST_F(QuitSequence, ClosesAProgrammerSessionThatIsStillOpen) {
    // As the debugger will: a session kept open between user actions.
    commands().runOnProgrammer(
        [](programmer::ProgrammerLink& link) { ASSERT_EQ(programmer::openProgrammer(link), 0); });
    ASSERT_NE(app->programmerSession().resourceManager, VI_NULL);
    acting.answers = {answerNo}; // "Save Project"
    ASSERT_TRUE(Quit(*app));
    EXPECT_EQ(app->programmerSession().resourceManager, VI_NULL);
    EXPECT_EQ(app->programmerSession().instrument, VI_NULL);
    EXPECT_TRUE(messages().endsWith("\nClose connection...\n\n- - - - - - - - - - - - - - - - - - "
                                    "- - - - - - -\n"))
        << messages().toStdString();
}

TEST_F(QuitSequence, LeavesAClosedSessionAlone) {
    click("getDevInfoButton");
    const QString shown = messages();
    acting.answers = {answerNo};
    ASSERT_TRUE(Quit(*app));
    EXPECT_EQ(messages(), shown);
}

} // namespace
} // namespace ide::test
