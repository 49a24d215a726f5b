// Projects: File/Open Project, File/Save Project, Help/Search Examples, the project question
// of the quit sequence and the reopening of the last project at start-up. A project is the
// set of files open in the editor tabs, the marked tab being the main file; Settings'
// lastProject names the project file last saved or opened.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace ide {

class Application;
class EditorTabs;
class PageSwitcher;
struct ProjectFile;

// Popup codes of the projects.
inline constexpr int project_without_main_code = 35;
inline constexpr int project_not_written_code = 36;
inline constexpr int project_not_read_code = 37;
inline constexpr int project_files_refused_code = 38;

// "File not found: <path>" in a box titled "Info" with the warning icon.
void tellFileNotFound(Application& app, const QString& path);

class Projects : public QObject {
public:
    Projects(Application& app, PageSwitcher& pages, EditorTabs& tabs);

    // File/Open Project, File/Save Project, Help/Search Examples (and their toolbar buttons).
    void defineCommands();

    // Writes the project file of the open tabs beside the marked tab's file and makes it the
    // last project. False, after telling the user, when no tab is marked or the file cannot
    // be written.
    bool saveProjectFile();
    // saveProjectFile, then "Project saved" naming the file.
    void mSaveProject();
    void mOpenProject();
    // Open Project starting in the shipped examples.
    void mHelpSearchExamples();
    // Replaces the open tabs by the project's files, after asking about unsaved changes.
    // False when the project cannot be read or the user cancelled (nothing changed then).
    bool loadProjectFile(const QString& path);
    // Start-up: the last project's files, or the untitled file.
    void restoreLastProject();

private:
    void openChosenProject(const QString& startDirectory);
    void deleteFurtherTabs();
    void openFurtherFile(const QString& path, QStringList& refused);
    void tellRefused(const QStringList& refused);
    void showFirstTab();

    Application& app_;
    PageSwitcher& pages_;
    EditorTabs& tabs_;
};

} // namespace ide
