// Chinese panel texts: "chinese/<panel>.lwl" files map each English text of a panel to its
// Chinese text, one pair a line ("English<TAB>Chinese", C escapes \n \t \\ allowed, "#"
// starts a comment line). Applying a file replaces every text the panel shows: window
// titles, labels, buttons, lamps, group boxes, tab labels, menus and menu items, tooltips,
// list entries and table headers. What the user typed and the values shown stay as they are.
#pragma once

#include <QHash>
#include <QString>

class QWidget;

namespace ide {

// A language file is a few kilobytes; larger files are refused.
inline constexpr qint64 max_lwl_file_bytes = 1 << 20;

// Reads a language file; false when it is missing, not a regular file, too large, unreadable
// or holds no pair.
bool readLanguageFile(const QString& path, QHash<QString, QString>& texts);
// Localizes `panel` from the file; false (panel unchanged) when the file cannot be used.
bool localizePanel(QWidget& panel, const QString& path);
// Only the tooltips of the panel's controls (set by the program after the panel was localized).
bool localizeToolTips(QWidget& panel, const QString& path);

} // namespace ide
