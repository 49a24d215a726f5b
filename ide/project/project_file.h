// The project file (".prj"): the INI text of settings.ini with one section, [Files]. "ASM"
// holds the main file's name; File0, File1, ... (numbered without gaps) hold the other open
// files in tab order, relative to the project directory when they lie below it and as full
// paths otherwise. Written with "/" as the separator; read with "/" or "\".
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ide {

inline constexpr const char* project_section = "Files";
inline constexpr const char* project_main_key = "ASM";
// A project file lists a few dozen names; anything beyond this bound is not one.
inline constexpr qint64 max_project_file_bytes = 1 << 20;

struct ProjectFile {
    std::optional<QString> main; // the "ASM" entry as written; none when the key is missing
    QStringList files;           // File0, File1, ... as written
};

// The project file of a main file: beside it, its name's extension replaced by "prj" (".prj"
// added to a name without one).
QString projectPathFor(const QString& mainFile);
// The entries for a main file and the other open files.
ProjectFile projectFor(const QString& mainFile, const QStringList& otherFiles);
// The value's file: a relative value is taken from the project file's directory.
QString resolveProjectValue(const QString& projectPath, const QString& value);
// Every entry of the project, the main file first, as full paths; an empty list for a project
// without an "ASM" entry.
QStringList projectPaths(const QString& projectPath, const ProjectFile& project);

// False when the file cannot be written (the old file is kept then).
bool writeProjectFile(const QString& path, const ProjectFile& project);
// "ASM", then File0, File1, ... up to the first missing number; nullopt when the file is
// missing, not a regular file, too large or unreadable.
std::optional<ProjectFile> readProjectFile(const QString& path);

} // namespace ide
