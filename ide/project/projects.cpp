#include "project/projects.h"

#include "app/application.h"
#include "editor/editor_tabs.h"
#include "project/project_file.h"
#include "shell/main_window.h"
#include "shell/page.h"

#include <QFileInfo>

namespace ide {
namespace {

// The refusal lists this many files by name and counts the rest.
constexpr int refused_names_shown = 10;

} // namespace

void tellFileNotFound(Application& app, const QString& path) {
    app.popups().showPopup(
        {PopupIcon::warning, PopupButtons::ok, "Info", QString("File not found: %1").arg(path)});
}

Projects::Projects(Application& app, PageSwitcher& pages, EditorTabs& tabs)
    : app_(app), pages_(pages), tabs_(tabs) {}

void Projects::defineCommands() {
    CommandTable& commands = app_.commands();
    commands.define("mOpenProject", this, [this] { mOpenProject(); });
    commands.define("mSaveProject", this, [this] { mSaveProject(); });
    commands.define("mHelpSearchExamples", this, [this] { mHelpSearchExamples(); });
}

bool Projects::saveProjectFile() {
    int mainTab = -1;
    for (int i = 0; i < tabs_.editorTabCount() && mainTab < 0; ++i)
        if (tabs_.hasMainFileMark(i)) mainTab = i;
    if (mainTab < 0) {
        app_.popups().showWarningPopup("The project was not saved: no file is marked as the main "
                                       "file.\nOpen the program's .asm file, then save the "
                                       "project again.",
                                       project_without_main_code);
        return false;
    }
    const QString mainFile = tabs_.editorTab(mainTab).path;
    QStringList others;
    for (int i = 0; i < tabs_.editorTabCount(); ++i)
        if (i != mainTab && !tabs_.editorTab(i).path.isEmpty()) others << tabs_.editorTab(i).path;
    // An untitled main file's project lies in the working directory: named in full, the next
    // start finds it from anywhere.
    const QString path = QFileInfo(projectPathFor(mainFile)).absoluteFilePath();
    // A main file named like its project file must not be overwritten by it.
    if (path == mainFile || !writeProjectFile(path, projectFor(mainFile, others))) {
        app_.popups().showErrorPopup(QString("The project file cannot be written:\n%1").arg(path),
                                     project_not_written_code);
        return false;
    }
    app_.settings().setLastProject(path.toStdString());
    if (MainWindow* window = app_.mainWindow()) window->updateWindowTitle();
    return true;
}

void Projects::mSaveProject() {
    if (saveProjectFile())
        app_.popups().showMessagePopup("Project saved",
                                       QString::fromStdString(app_.settings()->lastProject));
}

void Projects::mOpenProject() {
    const QString lastFile = tabs_.editorTab(tabs_.editorTabCount() - 1).path;
    openChosenProject(lastFile.left(lastFile.lastIndexOf('/') + 1));
}

void Projects::mHelpSearchExamples() {
    openChosenProject(QFileInfo(app_.paths().dataFile("examples")).absoluteFilePath());
}

void Projects::openChosenProject(const QString& startDirectory) {
    pages_.showAssemblerPage();
    const FileChoice choice = app_.dialogs().chooseFiles(
        {FileRequest::Mode::open, "Open File", startDirectory, QStringList{"*.prj"}, {}});
    if (choice.status < 0) {
        app_.popups().showErrorPopup("Opening file failed!\nPlease try again.", open_failed_code,
                                     choice.status, "The file dialog failed.");
        return;
    }
    if (choice.status > 0 && !choice.paths.isEmpty()) loadProjectFile(choice.paths.first());
}

bool Projects::loadProjectFile(const QString& path) {
    const std::optional<ProjectFile> project = readProjectFile(path);
    if (!project) {
        app_.popups().showErrorPopup(QString("The project file cannot be read:\n%1").arg(path),
                                     project_not_read_code);
        return false;
    }
    if (!tabs_.confirmDiscardAll()) return false;
    app_.settings().setLastProject(path.toStdString());
    deleteFurtherTabs();
    tabs_.setMainFileMark(0, false);
    const QStringList paths = projectPaths(path, *project);
    QStringList refused;
    bool firstTabFilled = false;
    for (int i = 0; i < paths.size(); ++i) {
        if (!QFileInfo::exists(paths[i])) {
            tellFileNotFound(app_, paths[i]);
        } else if (firstTabFilled) {
            openFurtherFile(paths[i], refused);
        } else if (tabs_.loadFileIntoTab(0, paths[i]) >= 0) {
            firstTabFilled = true;
            if (i == 0) tabs_.setMainFileMark(0, true); // the "ASM" entry
        }
    }
    if (!firstTabFilled) tabs_.applyUntitledTemplate();
    tellRefused(refused);
    showFirstTab();
    return true;
}

void Projects::restoreLastProject() {
    deleteFurtherTabs();
    const QString path = QString::fromStdString(app_.settings()->lastProject);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        tabs_.applyUntitledTemplate();
        return;
    }
    const std::optional<ProjectFile> project = readProjectFile(path);
    const QStringList paths = project ? projectPaths(path, *project) : QStringList();
    if (!project)
        app_.popups().showErrorPopup(QString("The project file cannot be read:\n%1").arg(path),
                                     project_not_read_code);
    // A missing file still gets its tab, with an empty editor.
    if (paths.isEmpty() || tabs_.loadFileIntoTab(0, paths[0]) < 0) {
        tabs_.applyUntitledTemplate();
    } else {
        tabs_.setMainFileMark(0, true);
    }
    QStringList refused;
    for (int i = 1; i < paths.size(); ++i)
        openFurtherFile(paths[i], refused);
    tellRefused(refused);
    showFirstTab();
}

void Projects::deleteFurtherTabs() {
    for (int i = tabs_.editorTabCount() - 1; i > 0; --i)
        tabs_.deleteEditorTab(i);
}

// A file after the first into a tab of its own, while one is free.
void Projects::openFurtherFile(const QString& path, QStringList& refused) {
    if (tabs_.editorTabCount() >= max_editor_tabs)
        refused << path;
    else
        tabs_.openFileInNewTab(path);
}

void Projects::tellRefused(const QStringList& refused) {
    if (refused.isEmpty()) return;
    QStringList names = refused.mid(0, refused_names_shown);
    if (refused.size() > refused_names_shown)
        names << QString("... and %1 more").arg(refused.size() - refused_names_shown);
    app_.popups().showWarningPopup(QString("The project lists more files than can be open.\nAt "
                                           "most %1 files can be open at the same time; these "
                                           "were not opened:\n%2")
                                       .arg(max_editor_tabs)
                                       .arg(names.join('\n')),
                                   project_files_refused_code);
}

void Projects::showFirstTab() {
    tabs_.activateEditorTab(0);
    tabs_.showCurrentFile(tabs_.editorTab(0).path);
    if (MainWindow* window = app_.mainWindow()) window->updateWindowTitle();
}

} // namespace ide
