// Loads the Qt Designer panels (big, notsupported, toolssettings) at run time, and binds a
// controller to the widgets of a loaded panel.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace ide {

struct Paths;

// Status codes of a failed load, in the style of the run-time's negative statuses.
inline constexpr int panel_file_missing = -2;
inline constexpr int panel_file_bad = -3;
inline constexpr int panel_widget_missing = -4;

struct PanelResult {
    QWidget* panel = nullptr; // owned by the caller (or by `parent`)
    int status = 0;           // negative on failure
    QString error;            // what went wrong
};

// Loads "<panelsDir>/<name>.ui".
PanelResult loadPanel(const Paths& paths, const QString& name, QWidget* parent = nullptr);

// The one place where a controller looks up the widgets of its panel, once, when the panel is
// loaded. Every widget that is missing or of another type is remembered, and the controller's
// panel then fails to load with a detail that names them.
class WidgetBinder {
public:
    WidgetBinder(QObject& panel, QString panelName);

    // The child `name` of type T; nullptr (and a problem noted) when there is none.
    template <typename T>
    T* bind(const char* name) {
        return static_cast<T*>(find(name, T::staticMetaObject));
    }

    bool complete() const { return problems_.isEmpty(); }
    // "big.ui: no QPushButton named "compileButton""; one line per problem.
    QString problems() const;
    // The failed load to report when the binding is not complete.
    PanelResult failure() const;

private:
    QObject* find(const char* name, const QMetaObject& type);

    QObject& panel_;
    QString panelName_;
    QStringList problems_;
};

} // namespace ide
