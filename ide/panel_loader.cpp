#include "panel_loader.h"

#include "editor_tab_widget.h"
#include "lamp.h"
#include "shell_state.h"

#include <QFile>
#include <QUiLoader>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// Status codes of a failed load, in the style of the run-time's negative statuses.
constexpr int panel_file_missing = -2;
constexpr int panel_file_bad = -3;

class PanelLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* widget = nullptr;
        if (className == "QsciScintilla")
            widget = new QsciScintilla(parent);
        else if (className == "Lamp")
            widget = new Lamp(parent);
        else if (className == "EditorTabWidget")
            widget = new EditorTabWidget(parent);
        else
            return QUiLoader::createWidget(className, parent, name);
        widget->setObjectName(name);
        return widget;
    }
};

} // namespace

PanelResult loadPanel(const QString& name, QWidget* parent) {
    QString path = paths().panelsDir + "/" + name + ".ui";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, panel_file_missing, QString("File not found: %1").arg(path)};
    PanelLoader loader;
    QWidget* panel = loader.load(&file, parent);
    if (panel == nullptr)
        return {nullptr, panel_file_bad, QString("%1: %2").arg(path, loader.errorString())};
    return {panel, 0, {}};
}

} // namespace ide
