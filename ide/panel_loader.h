// Loads the Qt Designer panels (big, notsupported, toolssettings) at run time.
#pragma once

#include <QString>
#include <QWidget>

namespace ide {

struct PanelResult {
    QWidget* panel = nullptr; // owned by the caller (or by `parent`)
    int status = 0;           // negative on failure
    QString error;            // what went wrong
};

// Loads "<panelsDir>/<name>.ui".
PanelResult loadPanel(const QString& name, QWidget* parent = nullptr);

// The child named `name` of `panel`, of type T; nullptr when missing.
template <typename T>
T* control(QWidget* panel, const char* name) {
    return panel ? panel->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace ide
