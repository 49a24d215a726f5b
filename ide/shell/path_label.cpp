#include "shell/path_label.h"

#include <QFontMetrics>
#include <QLabel>

namespace ide {

void showPath(QLabel& label, const QString& path) {
    const int room = label.contentsRect().width();
    const QString shown = label.fontMetrics().elidedText(path, Qt::ElideMiddle, room);
    label.setText(shown);
    label.setToolTip(shown == path ? QString() : path);
}

} // namespace ide
