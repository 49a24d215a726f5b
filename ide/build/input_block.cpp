#include "build/input_block.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace ide {
namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlock::InputBlock(QWidget& window) : window_(&window) {
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

InputBlock::~InputBlock() {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

void InputBlock::serve() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool InputBlock::insideWindow(QObject* object) const {
    for (QObject* o = object; o != nullptr; o = o->parent())
        if (o == window_) return true;
    return false;
}

bool InputBlock::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool shortcut = type == QEvent::ShortcutOverride || type == QEvent::Shortcut;
    if (!(shortcut || isUserInput(type)) || !insideWindow(watched)) return false;
    // A shortcut's override query is answered "taken", so no menu item runs from the keyboard.
    if (type == QEvent::ShortcutOverride)
        event->accept();
    else
        event->ignore();
    return true;
}

} // namespace ide
