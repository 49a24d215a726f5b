// Fitting the main window into the screen with its frame: the title bar and borders a window
// manager adds must fit into the screen's available area too.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace ide {

// A title bar and borders of usual size, allowed for while a window has no frame yet (a window
// manager adds it some time after the window is shown).
inline constexpr QMargins usual_frame{4, 30, 4, 4};

// The frame around the top-level `window`, or `unknown` while it has none.
QMargins frameMarginsOf(const QWidget& window, const QMargins& unknown = usual_frame);

// The client geometry closest to `client` whose frame (`frame` margins around it) lies inside
// `available`: shrunk where it is too large, moved where it sticks out.
QRect fitFrameInto(const QRect& client, const QMargins& frame, const QRect& available);
// The smallest client size the window snaps back to: `designed`, unless the available area
// cannot show that much with the frame around it.
QSize smallestClientSize(const QSize& designed, const QMargins& frame, const QRect& available);

} // namespace ide
