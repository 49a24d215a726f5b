#include "shell/panel_loader.h"

#include "app/paths.h"
#include "editor/editor_tab_widget.h"
#include "files/read_file.h"
#include "shell/lamp.h"

#include <QBuffer>
#include <QUiLoader>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// A panel file is a few tens of kilobytes.
constexpr qint64 max_panel_bytes = 4 << 20;

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

PanelResult loadPanel(const Paths& paths, const QString& name, QWidget* parent) {
    const QString path = paths.panelsDir + "/" + name + ".ui";
    FileBytes file = readFileBytes(path, max_panel_bytes);
    if (file.status == files::ReadStatus::missing)
        return {nullptr, panel_file_missing, QString("File not found: %1").arg(path)};
    if (file.status != files::ReadStatus::ok)
        return {nullptr, panel_file_bad, QString("%1: %2").arg(path, describe(file.status))};
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    PanelLoader loader;
    QWidget* panel = loader.load(&buffer, parent);
    if (panel == nullptr)
        return {nullptr, panel_file_bad, QString("%1: %2").arg(path, loader.errorString())};
    return {panel, 0, {}};
}

WidgetBinder::WidgetBinder(QObject& panel, QString panelName)
    : panel_(panel), panelName_(std::move(panelName)) {}

QObject* WidgetBinder::find(const char* name, const QMetaObject& type) {
    const QString objectName = QString::fromLatin1(name);
    QObject* found =
        panel_.objectName() == objectName ? &panel_ : panel_.findChild<QObject*>(objectName);
    if (found && found->metaObject()->inherits(&type)) return found;
    problems_ << (found ? QString("\"%1\" is a %2, not a %3")
                              .arg(objectName, found->metaObject()->className(), type.className())
                        : QString("no %1 named \"%2\"").arg(type.className(), objectName));
    return nullptr;
}

QString WidgetBinder::problems() const {
    QStringList lines;
    for (const QString& problem : problems_)
        lines << QString("%1.ui: %2").arg(panelName_, problem);
    return lines.join('\n');
}

PanelResult WidgetBinder::failure() const {
    return {nullptr, panel_widget_missing, problems()};
}

} // namespace ide
