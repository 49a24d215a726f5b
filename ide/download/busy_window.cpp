#include "download/busy_window.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace ide {
namespace {

// The shortest slice of a pause: a repaint interval of 0 (every chance) must not make a
// pause endless.
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
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyWindow::BusyWindow(QWidget* mainWindow, std::chrono::milliseconds repaintInterval)
    : mainWindow_(mainWindow), interval_(repaintInterval) {
    qApp->installEventFilter(this);
}

BusyWindow::~BusyWindow() {
    qApp->removeEventFilter(this);
}

void BusyWindow::keepPainted() {
    if (sinceLast_.isValid() && sinceLast_.elapsed() < interval_.count()) return;
    QCoreApplication::processEvents();
    sinceLast_.start();
}

bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == mainWindow_) {
        event->ignore();
        return true;
    }
    // A popup of the operation is asking: Qt itself keeps the other windows from input.
    if (!isUserInput(event->type()) || QApplication::activeModalWidget()) return false;
    event->accept();
    return true;
}

PaintingClock::PaintingClock(kz71::Clock& inner, BusyWindow& busy)
    : inner_(inner), busy_(busy),
      slice_(std::max<Duration>(busy.repaintInterval(), shortest_slice)) {}

void PaintingClock::sleep(Duration length) {
    const Duration end = inner_.now() + length;
    for (;;) {
        busy_.keepPainted();
        const Duration rest = end - inner_.now();
        if (rest <= Duration::zero()) return;
        inner_.sleep(std::min(rest, slice_));
    }
}

} // namespace ide
