// The end-of-program blink of one hex view line, on a timer of the user-interface thread: the
// current-line colour, then 0.6 s apart white, the current-line colour and white again, and
// 0.6 s later the colour the line keeps. A modal popup's event loop keeps it running.
#pragma once

#include "programmer/debugger_view.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace ide {

class LineBlink : public QObject {
public:
    using Paint = std::function<void(int line, programmer::LineColour colour)>;
    static constexpr int phase_ms = 600;

    explicit LineBlink(Paint paint, QObject* parent = nullptr);

    void start(int line, programmer::LineColour after);
    // Ends the blink at once; the line takes the colour it keeps.
    void stop();
    bool running() const { return line_ >= 0; }
    int line() const { return line_; }
    // The colour the line keeps changed meanwhile (a breakpoint toggled on it).
    void setFinalColour(programmer::LineColour after) { after_ = after; }
    // The next colour (what the timer does every 0.6 s).
    void advance();
    const QTimer& timer() const { return timer_; }

private:
    void finish();

    Paint paint_;
    QTimer timer_;
    int line_ = -1;
    int phase_ = 0;
    programmer::LineColour after_ = programmer::colour_default;
};

} // namespace ide
