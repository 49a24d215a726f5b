#include "debugger/line_blink.h"

namespace ide {
namespace {

constexpr int phases = 4; // current line, white, current line, white

} // namespace

LineBlink::LineBlink(Paint paint, QObject* parent) : QObject(parent), paint_(std::move(paint)) {
    timer_.setInterval(phase_ms);
    connect(&timer_, &QTimer::timeout, this, &LineBlink::advance);
}

void LineBlink::start(int line, programmer::LineColour after) {
    stop();
    if (line < 0) return;
    line_ = line;
    after_ = after;
    phase_ = 0;
    paint_(line_, after_ & programmer::colour_current_line);
    timer_.start();
}

void LineBlink::stop() {
    if (running()) finish();
}

void LineBlink::advance() {
    if (!running()) return;
    if (++phase_ >= phases) {
        finish();
        return;
    }
    paint_(line_,
           phase_ % 2 == 1 ? programmer::colour_white : (after_ & programmer::colour_current_line));
}

void LineBlink::finish() {
    timer_.stop();
    const int line = line_;
    line_ = -1;
    paint_(line, after_);
}

} // namespace ide
