#include "files/read_file.h"

#include <QFile>

namespace ide {

FileBytes readFileBytes(const QString& path, qint64 limit) {
    files::ReadResult file = files::readRegularFile(
        QFile::encodeName(path).toStdString(), static_cast<std::size_t>(qMax<qint64>(limit, 0)));
    return {file.status, QByteArray::fromStdString(file.bytes)};
}

QString describe(files::ReadStatus status) {
    switch (status) {
    case files::ReadStatus::ok:
        return "it was read";
    case files::ReadStatus::missing:
        return "it does not exist";
    case files::ReadStatus::notRegular:
        return "it is not a regular file";
    case files::ReadStatus::tooLarge:
        return "it is too large";
    case files::ReadStatus::unreadable:
        break;
    }
    return "it cannot be read";
}

} // namespace ide
