// The editor tabs of the Assembler page: the EditorTab table, the templates, and the File
// and Edit operations on the tabs.
#pragma once

#include <QPointer>
#include <QString>

class EditorTabWidget;
class QLabel;
class QsciScintilla;

namespace ide {

inline constexpr int max_editor_tabs = 50;
inline constexpr int max_path_chars = 199;

// One row per tab, in tab order. The label and the main-file mark live on the tab itself.
struct EditorTab {
    QPointer<QsciScintilla> editor;
    QString path; // empty for a cleared slot
};

// Binds the table to the Assembler page's editor tab control (tab 0 holds `editor0`).
void attachEditorTabs(EditorTabWidget* tabs, QsciScintilla* editor0, QLabel* currentFileText);
void detachEditorTabs();
void clearEditorTabPaths();

int editorTabCount();
int activeEditorTab();
EditorTab& editorTab(int index);
QString editorTabLabel(int index);
bool hasMainFileMark(int index);
void setMainFileMark(int index, bool marked);
void activateEditorTab(int index);
// The current-file text of the Assembler page.
void showCurrentFile(const QString& path);
QString currentFileText();

// Fills editor 0 with the untitled template: label and path "untitled.asm", main-file mark.
void applyUntitledTemplate();
// Adds a tab at the end with a new editor, labelled `label`; -1 (after telling the user)
// when all 50 tabs are in use.
int addEditorTab(const QString& label);
// addEditorTab, then loads `path` into it and stores the path; -1 when refused.
int openFileInNewTab(const QString& path);
// Deletes tab `index` (> 0) and its row.
void deleteEditorTab(int index);
// 1 at once when the file exists, else polls until it exists (1) or 5 s passed (0).
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
void mFilePrint();
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

} // namespace ide
