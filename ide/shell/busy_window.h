// The windows while a long operation runs on the user-interface thread (a build, a download, a
// debug run, a wait for a file): the busy cursor, no user input and the "Executable Watchdog"
// held, yet painting, the window system's events and timers are served whenever the operation
// lets them be (serve, keepPainted, or a pause on a PaintingClock).
//
// Input is dropped, not kept for later: nothing the user did meanwhile runs once the operation
// has ended. Closing a window is refused meanwhile. A popup the operation shows stays
// answerable: while it is up, Qt itself keeps the other windows from input.
//
// One long operation runs at a time: a command asks busy() before it starts one, and starts
// none while another runs. Holds nest (a wait for a file inside a build): the windows are busy
// from the first begin() to the last end(). The application object owns the one instance.
#pragma once

#include "protocol/clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>

namespace ide {

class BusyWindow : public QObject {
public:
    BusyWindow() = default;
    ~BusyWindow() override;
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

    // The timer stopped while busy and started again afterwards if it ran before: the
    // "Executable Watchdog", whose poll would talk to the programmer in the middle of the
    // operation.
    void holdWhileBusy(QTimer* timer) { held_ = timer; }

    void begin();
    void end();
    bool busy() const { return depth_ > 0; }

    // Delivers what is pending (painting, the window system's events, timers) while busy;
    // user input is dropped. Does nothing while not busy.
    void serve();
    // Whether the last serve() lies at least the repaint interval back (and the window is busy).
    bool paintDue() const;
    // serve() when it is due.
    void keepPainted();
    // How often keepPainted() serves (0: at every call).
    void setRepaintInterval(std::chrono::milliseconds interval) { interval_ = interval; }
    std::chrono::milliseconds repaintInterval() const { return interval_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int depth_ = 0;
    std::chrono::milliseconds interval_{40};
    QElapsedTimer sinceServed_;
    QPointer<QTimer> held_;
    bool heldWasActive_ = false;
};

// The windows busy for as long as the scope lasts.
class BusyScope {
public:
    explicit BusyScope(BusyWindow& busy) : busy_(busy) { busy_.begin(); }
    ~BusyScope() { busy_.end(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyWindow& busy_;
};

// The pauses of an operation on `inner`, made in slices so that the windows are painted while
// they are busy. A pause lasts what it must: it ends when `inner` has advanced by its length,
// however long the painting took. Outside a busy span a pause is a plain pause.
class PaintingClock final : public kz71::Clock {
public:
    PaintingClock(kz71::Clock& inner, BusyWindow& busy) : inner_(inner), busy_(busy) {}

    Duration now() const override { return inner_.now(); }
    void sleep(Duration length) override;
    void spend(Duration length) override { inner_.spend(length); }

private:
    kz71::Clock& inner_;
    BusyWindow& busy_;
};

} // namespace ide
