// Keeps a panel's controls laid out when it is resized: a rule runs on every resize, and
// controls with an "anchor" property keep their designed distance to the bottom ("bottom")
// or to the bottom and right edges ("bottomRight").
#pragma once

#include <functional>

class QWidget;

namespace ide {

// Records the anchored controls' designed distances and runs `rule` on every resize of
// `target` (its "designSize" property gives the designed size).
void installLayout(QWidget& target, std::function<void()> rule);
// Moves the anchored controls of `page` to their distances from its edges.
void applyAnchors(QWidget& page);

void place(QWidget* widget, int x, int y);
void setRect(QWidget* widget, int x, int y, int width, int height);

} // namespace ide
