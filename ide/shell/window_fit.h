// Fitting the main window into the screen with its frame: the title bar and borders a window
// manager adds must fit into the screen's available area too.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace ide {

// The client geometry closest to `client` whose frame (`frame` margins around it) lies inside
// `available`: shrunk where it is too large, moved where it sticks out.
QRect fitFrameInto(const QRect& client, const QMargins& frame, const QRect& available);
// The smallest client size the window snaps back to: `designed`, unless the available area
// cannot show that much with the frame around it.
QSize smallestClientSize(const QSize& designed, const QMargins& frame, const QRect& available);

} // namespace ide
