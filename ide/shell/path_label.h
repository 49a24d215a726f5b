// A path shown in a label of fixed width: a path too long for it is shortened in the middle,
// so that the file's name stays in view, and the whole path becomes the label's tooltip.
#pragma once

#include <QString>

class QLabel;

namespace ide {

void showPath(QLabel& label, const QString& path);

} // namespace ide
