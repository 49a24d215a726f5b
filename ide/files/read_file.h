// The Qt side of bounded_file.h: reads a regular file of bounded size into a QByteArray.
#pragma once

#include "files/bounded_file.h"

#include <QByteArray>
#include <QString>

namespace ide {

struct FileBytes {
    files::ReadStatus status = files::ReadStatus::missing;
    QByteArray bytes;
};

FileBytes readFileBytes(const QString& path, qint64 limit);
// What went wrong, for a message: "it is not a regular file" and the like.
QString describe(files::ReadStatus status);

} // namespace ide
