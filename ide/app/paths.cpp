#include "app/paths.h"

#include "settings/settings.h"

#include <QFileInfo>

namespace ide {

Paths Paths::beside(const QString& programDir) {
    return {programDir, programDir + "/panels", programDir};
}

QString Paths::dataFile(const QString& relative) const {
    if (QFileInfo::exists(relative)) return relative;
    return dataDir + "/" + relative;
}

QString Paths::settingsFile() const {
    return programDir + "/" + settings_file_name;
}

} // namespace ide
