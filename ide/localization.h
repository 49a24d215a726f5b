// Chinese panel texts: "chinese/<panel>.lwl" files map each English text of a panel to its
// Chinese text, one pair a line ("English<TAB>Chinese", C escapes \n \t \\ allowed, "#"
// starts a comment line). Applying a file replaces the texts of the panel's widgets, tab
// labels, menus and menu items.
#pragma once

#include <QHash>
#include <QString>

class QWidget;

namespace ide {

// Reads a language file; false when it cannot be read or holds no pair.
bool readLanguageFile(const QString& path, QHash<QString, QString>& texts);
// Localizes `panel` from the file; false (panel unchanged) when the file cannot be used.
bool localizePanel(QWidget& panel, const QString& path);

} // namespace ide
