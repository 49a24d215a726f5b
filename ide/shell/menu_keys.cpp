#include "shell/menu_keys.h"

#include "app/application.h"

#include <QShortcut>
#include <QWidget>

namespace ide {

void bindPageKeys(Application& app, QWidget& debuggerPage) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), &debuggerPage);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &debuggerPage,
                         [&app] { app.commands().run("mDebuggerExitDbgMode"); });
    }
}

} // namespace ide
