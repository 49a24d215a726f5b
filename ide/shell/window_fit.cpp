#include "shell/window_fit.h"

#include <QWidget>
#include <QtGlobal>

namespace ide {

QMargins frameMarginsOf(const QWidget& window, const QMargins& unknown) {
    const QRect client = window.geometry(), frame = window.frameGeometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    return margins.isNull() ? unknown : margins;
}

QRect fitFrameInto(const QRect& client, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    QRect fitted(client.topLeft(), client.size().boundedTo(room.size()));
    if (fitted.right() > room.right()) fitted.moveRight(room.right());
    if (fitted.bottom() > room.bottom()) fitted.moveBottom(room.bottom());
    if (fitted.left() < room.left()) fitted.moveLeft(room.left());
    if (fitted.top() < room.top()) fitted.moveTop(room.top());
    return fitted;
}

QSize smallestClientSize(const QSize& designed, const QMargins& frame, const QRect& available) {
    const QSize room = available.marginsRemoved(frame).size();
    if (room.isEmpty()) return designed;
    return designed.boundedTo(room);
}

} // namespace ide
