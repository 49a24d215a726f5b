#include "debugger/busy_state.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace ide {
namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TouchBegin:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyState::BusyState() = default;

BusyState::~BusyState() {
    while (busy())
        end();
}

void BusyState::begin() {
    if (depth_++ > 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
    heldWasActive_ = held_ && held_->isActive();
    if (heldWasActive_) held_->stop();
    sinceKeepAlive_.start();
}

void BusyState::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (heldWasActive_ && held_) held_->start();
    heldWasActive_ = false;
}

bool BusyState::keepAliveDue() const {
    return busy() && (!sinceKeepAlive_.isValid() || sinceKeepAlive_.elapsed() >= keepAliveMs_);
}

void BusyState::keepAlive() {
    QCoreApplication::processEvents();
    sinceKeepAlive_.start();
}

void BusyState::popupShown(bool open) {
    if (!busy()) return;
    if (open)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool BusyState::eventFilter(QObject* watched, QEvent* event) {
    // A popup shown meanwhile takes its answer; Qt keeps the other windows from input then.
    if (QApplication::activeModalWidget() != nullptr) return false;
    if (isUserInput(event->type())) return true;
    // Closing the window by its title bar would quit in the middle of the operation.
    if (event->type() == QEvent::Close && event->spontaneous() && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        event->ignore();
        return true;
    }
    return false;
}

} // namespace ide
