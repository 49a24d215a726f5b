// The window while a long programmer operation runs on the user-interface thread (a debug run
// may step for minutes): the busy cursor, no user input and no watchdog polls, yet repaints and
// timers keep being served whenever the operation reports progress.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace ide {

class BusyState : public QObject {
public:
    BusyState();
    ~BusyState() override;
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

    // The timer to hold while busy (the "Executable Watchdog": its poll would talk to the
    // programmer in the middle of the operation).
    void holdWhileBusy(QTimer* timer) { held_ = timer; }

    // Nested calls count: the window is busy from the first begin() to the last end().
    void begin();
    void end();
    bool busy() const { return depth_ > 0; }

    // Whether `keepAliveMs` have passed (0: always) since the window was last served.
    bool keepAliveDue() const;
    // Serves pending repaints and timers; user input stays blocked meanwhile.
    void keepAlive();
    void setKeepAliveInterval(int milliseconds) { keepAliveMs_ = milliseconds; }

    // A modal popup shown while busy: the normal cursor while it waits for the user.
    void popupShown(bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int depth_ = 0;
    int keepAliveMs_ = 40;
    QElapsedTimer sinceKeepAlive_;
    QPointer<QTimer> held_;
    bool heldWasActive_ = false;
};

} // namespace ide
