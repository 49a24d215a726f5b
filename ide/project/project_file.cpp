#include "project/project_file.h"

#include "settings/ini.h"

#include <QDir>
#include <QFileInfo>

namespace ide {
namespace {

// A project lists at most a few hundred files; reading stops here whatever the file says.
constexpr int max_project_entries = 10000;

QString fileKey(int index) {
    return QString("File%1").arg(index);
}

std::string text(const QString& value) {
    return value.toStdString();
}

} // namespace

QString projectPathFor(const QString& mainFile) {
    const qsizetype nameStart = mainFile.lastIndexOf('/') + 1;
    const qsizetype dot = mainFile.lastIndexOf('.');
    return (dot >= nameStart ? mainFile.left(dot) : mainFile) + ".prj";
}

ProjectFile projectFor(const QString& mainFile, const QStringList& otherFiles) {
    const QString directory = mainFile.left(mainFile.lastIndexOf('/') + 1);
    ProjectFile project{mainFile.mid(directory.size()), {}};
    for (const QString& file : otherFiles)
        project.files << (!directory.isEmpty() && file.startsWith(directory)
                              ? file.mid(directory.size())
                              : file);
    return project;
}

QString resolveProjectValue(const QString& projectPath, const QString& value) {
    QString file = value;
    file.replace('\\', '/');
    if (QDir::isAbsolutePath(file)) return QDir::cleanPath(file);
    return QDir::cleanPath(QFileInfo(projectPath).absolutePath() + "/" + file);
}

QStringList projectPaths(const QString& projectPath, const ProjectFile& project) {
    QStringList paths;
    if (!project.main) return paths;
    paths << resolveProjectValue(projectPath, *project.main);
    for (const QString& file : project.files)
        paths << resolveProjectValue(projectPath, file);
    return paths;
}

bool writeProjectFile(const QString& path, const ProjectFile& project) {
    ini::IniText ini;
    ini.putString(project_section, project_main_key, text(project.main.value_or(QString())));
    for (int i = 0; i < project.files.size(); ++i)
        ini.putString(project_section, text(fileKey(i)), text(project.files[i]));
    return ini.writeFile(text(path));
}

std::optional<ProjectFile> readProjectFile(const QString& path) {
    const std::optional<ini::IniText> ini =
        ini::IniText::readFile(text(path), static_cast<std::size_t>(max_project_file_bytes));
    if (!ini) return std::nullopt;
    ProjectFile project;
    const std::optional<std::string> main = ini->getString(project_section, project_main_key);
    if (!main) return project;
    project.main = QString::fromStdString(*main);
    for (int i = 0; i < max_project_entries; ++i) {
        const std::optional<std::string> file = ini->getString(project_section, text(fileKey(i)));
        if (!file) break;
        project.files << QString::fromStdString(*file);
    }
    return project;
}

} // namespace ide
