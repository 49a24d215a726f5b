// The editor tabs of the Assembler page: the EditorTab table, the templates, and the File
// and Edit operations on the tabs.
#pragma once

#include "files/read_file.h"
#include "shell/user_dialogs.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class EditorTabWidget;
class QLabel;
class QsciScintilla;

namespace ide {

class Application;
class FindDialog;
class PageSwitcher;
class SettingsChange;

inline constexpr int max_editor_tabs = 50;
inline constexpr int max_path_chars = 199;
// Source files above this size are not opened (an assembler source is far smaller).
inline constexpr qint64 max_source_file_bytes = 16 << 20;

// Popup codes of the editor tabs.
inline constexpr int open_failed_code = 30;
inline constexpr int save_failed_code = 31;
inline constexpr int too_many_tabs_code = 32;
inline constexpr int path_too_long_code = 33;
inline constexpr int source_refused_code = 34;

// One row per tab, in tab order. The label and the main-file mark live on the tab itself.
struct EditorTab {
    QPointer<QsciScintilla> editor;
    QString path;         // empty for a cleared slot
    bool hasFile = false; // the path names a file the tab was opened from or saved to
};

class EditorTabs : public QObject {
public:
    // The table of the Assembler page's editor tab control; tab 0 holds `editor0`.
    EditorTabs(Application& app, PageSwitcher& pages, EditorTabWidget& tabs, QsciScintilla& editor0,
               QLabel& currentFileText);
    ~EditorTabs() override;

    // Gives the File and Edit commands (and the listeners on the editor settings) to the
    // command table.
    void defineCommands();

    void clearEditorTabPaths();
    int editorTabCount() const;
    int activeEditorTab() const;
    EditorTab& editorTab(int index);
    QsciScintilla* activeEditor();
    QString editorTabLabel(int index) const;
    bool hasMainFileMark(int index) const;
    void setMainFileMark(int index, bool marked);
    void activateEditorTab(int index);
    // The current-file text of the Assembler page: the path it names (shortened in the middle
    // when too long for it).
    void showCurrentFile(const QString& path);
    QString currentFileText() const { return currentPath_; }

    // Fills editor 0 with the untitled template: label and path "untitled.asm", main-file mark.
    void applyUntitledTemplate();
    // Adds a tab at the end with a new editor, labelled `label`; -1 (after telling the user)
    // when all 50 tabs are in use.
    int addEditorTab(const QString& label);
    // addEditorTab, then loads `path` into it and stores the path. A file that does not exist
    // or cannot be read leaves the editor empty. -1 when no tab is free, -2 when the path
    // names something that is not a source file (a folder, a device, a FIFO, a file above
    // 16 MB): the user is told and no tab is made.
    int openFileInNewTab(const QString& path);
    // Loads `path` into tab 0 in place of what it holds, as openFileInNewTab loads a new tab:
    // 0, or -2 when the path names something that is not a source file.
    int openFileInFirstTab(const QString& path);
    // Loads `path` into the existing tab `index`: its label, path and text; the same checks
    // and results as openFileInNewTab (-2 for a file that is not a source file).
    int loadFileIntoTab(int index, const QString& path);
    // File/Open for one path: brings its tab to the front, or opens it in a new tab
    // (marked when it is the first .asm file); false when no further file can be opened.
    bool openChosenPath(const QString& path);
    // Deletes tab `index` (> 0) and its row.
    void deleteEditorTab(int index);
    // 1 at once when the file exists, else polls until it exists (1) or 5 s passed (0). The
    // window keeps painting while it waits, but takes no input.
    int waitForFile(const QString& path);
    // The editor settings for one tab.
    void applyEditorSettings(int tab);

    // Saves one tab as File/Save does; true when the file was written.
    bool saveEditorTab(int tab);
    // Before a tab's buffer would be discarded: when it is modified, brings the tab to the
    // front and asks "Save Changes". True when the caller may go on.
    bool confirmDiscard(int tab);
    // confirmDiscard for every tab, left to right; false as soon as one is cancelled.
    bool confirmDiscardAll();

    // File and Edit menu callbacks.
    void mFileNew();
    void mFileOpen();
    void mFileOpenMult();
    void mFileSave();
    void mFileSaveAs();
    void mFileClose();
    void mEditCut();
    void mEditCopy();
    void mEditPaste();
    void mEditUndo();
    void mEditRedo();
    void mEditFind();
    void mEditFindReplace();
    // The editor tab control's active-tab change.
    void cbAsmTabFocus(int index);

private:
    void settingsChanged(const SettingsChange& change);
    bool pathFits(const QString& path);
    bool tabAvailable();
    QString untitledName() const;
    QString lastTabDirectory() const;
    bool anyTabMarked() const;
    bool writeTab(int tab, bool withStatus);
    bool saveTabAs(int tab);
    bool readSourceFile(const QString& path, QByteArray& bytes);
    void showFileIn(int tab, const QString& path, const QByteArray& bytes);
    FileChoice chooseSources(FileRequest::Mode mode, const QString& title);
    bool assemblerPageInFront() const;
    void editActive(void (QsciScintilla::*operation)());
    void openFindDialog(bool replacing);

    Application& app_;
    PageSwitcher& pages_;
    EditorTabWidget& tabs_;
    QLabel& currentFile_;
    QString currentPath_;
    std::vector<EditorTab> rows_; // one per tab, in tab order
    QPointer<FindDialog> findDialog_;
};

} // namespace ide
