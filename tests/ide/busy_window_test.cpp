// The busy windows of a long operation: every window's input dropped and gone afterwards,
// closing refused, painting and timers served when the operation asks (and only then), a
// popup of the operation answerable with the normal cursor, holds that nest, the watchdog timer
// held, and pauses that paint while they last as long as asked.
#include "ide_fixture.h"
#include "shell/busy_window.h"
#include "shell/popups.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace ide::test {
namespace {

using namespace std::chrono_literals;

void postClick(QWidget& widget) {
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            &widget, new QMouseEvent(type, centre, widget.mapToGlobal(centre), Qt::LeftButton,
                                     Qt::LeftButton, Qt::NoModifier));
}

void postKey(QWidget& widget, Qt::Key key, const QString& text) {
    QCoreApplication::postEvent(&widget,
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(&widget,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

Qt::CursorShape cursorShape() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::BlankCursor; // blank: no override cursor
}

// Two windows, as the main window and the RAM window stand side by side.
struct TwoWindows {
    TwoWindows() {
        auto* column = new QVBoxLayout(&main);
        column->addWidget(button);
        main.addAction(menuItem);
        menuItem->setShortcut(QKeySequence("Ctrl+F6"));
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        QObject::connect(menuItem, &QAction::triggered, [this] { ++triggered; });
        main.show();
        other.show();
        settle();
    }
    // What the user does meanwhile: a click, typing, a shortcut.
    void actOnEverything() {
        postClick(*button);
        postKey(other, Qt::Key_A, "a");
        QCoreApplication::postEvent(menuItem, new QShortcutEvent(QKeySequence("Ctrl+F6"), 0));
    }

    QWidget main;
    QPushButton* button = new QPushButton("Compile", &main);
    QAction* menuItem = new QAction("Compile", &main);
    QLineEdit other;
    int clicks = 0;
    int triggered = 0;
};

TEST(BusyWindow, DropsTheInputOfEveryWindowAndRefusesClosingThem) {
    TwoWindows windows;
    BusyWindow busy;
    busy.begin();
    windows.actOnEverything();
    busy.serve();
    EXPECT_EQ(windows.clicks, 0);
    EXPECT_EQ(windows.triggered, 0);
    EXPECT_EQ(windows.other.text(), "");
    // Closing a window (its title bar's button) is refused.
    EXPECT_FALSE(windows.main.close());
    EXPECT_FALSE(windows.other.close());
    EXPECT_TRUE(windows.other.isVisible());
    busy.end();

    // Dropped, not kept: afterwards only what the user does now arrives.
    settle();
    EXPECT_EQ(windows.clicks, 0);
    EXPECT_EQ(windows.other.text(), "");
    postClick(*windows.button);
    postKey(windows.other, Qt::Key_B, "b");
    settle();
    EXPECT_EQ(windows.clicks, 1);
    EXPECT_EQ(windows.other.text(), "b");
    EXPECT_TRUE(windows.other.close());
}

TEST(BusyWindow, ServesPaintingAndTimersWhenTheOperationAsksAndOnlyThen) {
    BusyWindow busy;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);

    // Not busy: nothing is served from inside a callback.
    busy.serve();
    busy.keepPainted();
    EXPECT_EQ(ticks, 0);

    busy.begin();
    busy.serve();
    EXPECT_EQ(ticks, 1);
    // Within the repaint interval keepPainted leaves the events waiting...
    busy.setRepaintInterval(1h);
    EXPECT_FALSE(busy.paintDue());
    busy.keepPainted();
    EXPECT_EQ(ticks, 1);
    // ...with an interval of 0 it serves at every call.
    busy.setRepaintInterval(0ms);
    EXPECT_TRUE(busy.paintDue());
    busy.keepPainted();
    busy.keepPainted();
    EXPECT_EQ(ticks, 3);
    busy.end();
    EXPECT_FALSE(busy.paintDue());
}

TEST(BusyWindow, HoldsNestAndGiveBackTheCursorAndTheWatchdogAtTheLastEnd) {
    BusyWindow busy;
    QTimer watchdog;
    watchdog.start(1000);
    QTimer resting; // a timer that does not run stays so
    busy.holdWhileBusy(&resting);
    busy.begin();
    busy.end();
    EXPECT_FALSE(resting.isActive());

    busy.holdWhileBusy(&watchdog);
    busy.begin();
    busy.begin(); // a wait for a file inside a build
    EXPECT_EQ(cursorShape(), Qt::WaitCursor);
    EXPECT_FALSE(watchdog.isActive());
    busy.end();
    EXPECT_TRUE(busy.busy());
    EXPECT_FALSE(watchdog.isActive());
    busy.end();
    EXPECT_FALSE(busy.busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(watchdog.isActive());
    busy.end(); // one end too many changes nothing
    EXPECT_FALSE(busy.busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Records the cursor each popup is shown with.
struct CursorAtPopup : PopupHandler {
    int show(const Popup&) override {
        shapes.push_back(cursorShape());
        return answerYes;
    }
    QList<Qt::CursorShape> shapes;
};

TEST(BusyWindow, APopupOfTheOperationIsAnsweredWithTheNormalCursor) {
    BusyWindow busy;
    busy.begin();
    // A modal dialog of the operation takes its clicks.
    QDialog question;
    auto* yes = new QPushButton("Yes", &question);
    QObject::connect(yes, &QPushButton::clicked, &question, &QDialog::accept);
    question.setModal(true);
    question.show();
    settle();
    postClick(*yes);
    busy.serve();
    EXPECT_EQ(question.result(), QDialog::Accepted);

    CursorAtPopup shown;
    Popups popups;
    popups.setHandler(&shown);
    EXPECT_TRUE(popups.askYesNo("Warning", "Program the OTP?"));
    EXPECT_EQ(shown.shapes, QList<Qt::CursorShape>{Qt::ArrowCursor});
    EXPECT_EQ(cursorShape(), Qt::WaitCursor); // the operation goes on
    busy.end();
    popups.showInfoPopup("Done", 1);
    EXPECT_EQ(shown.shapes.last(), Qt::BlankCursor); // no cursor pushed when none was busy
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(BusyWindow, APauseLastsAsLongAsAskedAndPaintsWhileBusy) {
    BusyWindow busy;
    busy.setRepaintInterval(0ms);
    kz71::VirtualClock inner;
    PaintingClock clock(inner, busy);
    int served = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++served; });
    timer.start(0);

    clock.sleep(100ms); // outside a busy span: a plain pause
    EXPECT_EQ(inner.now(), kz71::Clock::Duration(100ms));
    EXPECT_EQ(served, 0);

    busy.begin();
    clock.sleep(105ms);
    EXPECT_EQ(inner.now(), kz71::Clock::Duration(205ms));
    EXPECT_GE(served, 10); // at least once every 10 ms of the pause
    busy.end();
}

} // namespace
} // namespace ide::test
