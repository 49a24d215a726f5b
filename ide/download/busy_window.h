// While a programmer operation runs, the user cannot act, yet the windows stay painted. Every
// key press, mouse click and wheel turn is dropped before it reaches a window (a popup the
// operation shows stays answerable), closing the main window is refused, and keepPainted()
// lets the event loop deliver everything else (paint, resize, expose, timers) now and then.
// Dropped input is gone: nothing the user did meanwhile runs once the operation has ended.
#pragma once

#include "protocol/clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <chrono>

class QWidget;

namespace ide {

class BusyWindow : public QObject {
public:
    BusyWindow(QWidget* mainWindow, std::chrono::milliseconds repaintInterval);
    ~BusyWindow() override;
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

    // Delivers the pending events when the last delivery is at least the repaint interval ago.
    void keepPainted();
    std::chrono::milliseconds repaintInterval() const { return interval_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    std::chrono::milliseconds interval_;
    QElapsedTimer sinceLast_;
};

// The pauses of an operation on `inner`, made in slices so that the windows are painted
// during a long one. A pause lasts what it must: it ends when `inner` has advanced by its
// length, however long the painting took.
class PaintingClock final : public kz71::Clock {
public:
    PaintingClock(kz71::Clock& inner, BusyWindow& busy);

    Duration now() const override { return inner_.now(); }
    void sleep(Duration length) override;
    void spend(Duration length) override { inner_.spend(length); }

private:
    kz71::Clock& inner_;
    BusyWindow& busy_;
    Duration slice_;
};

} // namespace ide
