#include "shell/busy_window.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace ide {
namespace {

// The shortest slice of a pause: a repaint interval of 0 (every chance) must not make a pause
// endless.
constexpr kz71::Clock::Duration shortest_slice = std::chrono::milliseconds(10);

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool isWindowClose(QObject* watched, QEvent* event) {
    return event->type() == QEvent::Close && watched->isWidgetType() &&
           static_cast<QWidget*>(watched)->isWindow();
}

} // namespace

BusyWindow::~BusyWindow() {
    while (busy())
        end();
}

void BusyWindow::begin() {
    if (depth_++ > 0) return;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    heldWasActive_ = held_ && held_->isActive();
    if (heldWasActive_) held_->stop();
    sinceServed_.start();
}

void BusyWindow::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (heldWasActive_ && held_) held_->start();
    heldWasActive_ = false;
}

void BusyWindow::serve() {
    if (!busy()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceServed_.start();
}

bool BusyWindow::paintDue() const {
    return busy() && (!sinceServed_.isValid() || sinceServed_.elapsed() >= interval_.count());
}

void BusyWindow::keepPainted() {
    if (paintDue()) serve();
}

bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
    // A popup of the operation is asking: Qt itself keeps the other windows from input.
    if (QApplication::activeModalWidget() != nullptr) return false;
    if (isWindowClose(watched, event)) {
        event->ignore();
        return true;
    }
    if (!isUserInput(event->type())) return false;
    // A shortcut's override query is answered "taken", so no menu item runs from the keyboard.
    event->accept();
    return true;
}

void PaintingClock::sleep(Duration length) {
    const Duration slice = std::max<Duration>(busy_.repaintInterval(), shortest_slice);
    const Duration end = inner_.now() + length;
    for (;;) {
        busy_.keepPainted();
        const Duration rest = end - inner_.now();
        if (rest <= Duration::zero()) return;
        inner_.sleep(busy_.busy() ? std::min(rest, slice) : rest);
    }
}

} // namespace ide
