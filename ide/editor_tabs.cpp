#include "editor_tabs.h"

#include "clock.h"
#include "editor_files.h"
#include "editor_setup.h"
#include "editor_tab_widget.h"
#include "find_dialog.h"
#include "main_window.h"
#include "panel_loader.h"
#include "popups.h"
#include "settings.h"
#include "shell_state.h"
#include "user_dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <Qsci/qsciscintilla.h>
#include <vector>

namespace ide {
namespace {

using namespace std::chrono_literals;

constexpr auto file_wait_limit = 5000ms;
constexpr auto file_poll_interval = 10ms;
constexpr int open_failed_code = 30;
constexpr int save_failed_code = 31;
constexpr int too_many_tabs_code = 32;
constexpr int path_too_long_code = 33;
const QString save_failed = "Saving of file failed!\nPlease try again.";
const QString untitled_name = "untitled.asm";
const QString dash_line = ";" + QString(56, '-');

struct TabTable {
    QPointer<EditorTabWidget> tabs;
    QPointer<QLabel> currentFile;
    std::vector<EditorTab> rows; // one per tab, in tab order
};

TabTable& table() {
    static TabTable t;
    return t;
}

EditorTabWidget* tabs() {
    return table().tabs;
}

QsciScintilla* activeEditor() {
    return editorTabCount() > 0 ? editorTab(activeEditorTab()).editor.data() : nullptr;
}

QString fileName(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Drive and folder of a path, with its trailing separator; empty for a bare name.
QString directoryOf(const QString& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

bool extensionBeginsWithAsm(const QString& path) {
    QString name = fileName(path);
    int dot = name.lastIndexOf('.');
    return dot >= 0 && name.mid(dot + 1).startsWith("asm");
}

bool anyTabMarked() {
    for (int i = 0; i < editorTabCount(); ++i)
        if (hasMainFileMark(i)) return true;
    return false;
}

bool pathFits(const QString& path) {
    if (path.size() <= max_path_chars) return true;
    showWarningPopup(QString("The path is too long:\n%1\nPaths may have at most %2 characters.")
                         .arg(path)
                         .arg(max_path_chars),
                     path_too_long_code);
    return false;
}

bool tabAvailable() {
    if (editorTabCount() < max_editor_tabs) return true;
    showWarningPopup(QString("Too many files are open.\nAt most %1 files can be open at the "
                             "same time; please close a file first.")
                         .arg(max_editor_tabs),
                     too_many_tabs_code);
    return false;
}

// The untitled template names "Untitled.asm"; the New template names the new file and
// ends with an EOF line.
QStringList fileTemplate(const QString& name, bool eofLine) {
    QStringList lines{dash_line,
                      ";\tFile: " + name,
                      ";",
                      ";\tAuthor: unknown",
                      dash_line,
                      "",
                      "; --- place your code here ---",
                      "",
                      ""};
    if (eofLine) lines << "; --- EOF ---";
    return lines;
}

// "untitled.asm", else the first "untitled%d.asm" that no tab carries as its label.
QString untitledName() {
    auto taken = [](const QString& name) {
        for (int i = 0; i < editorTabCount(); ++i)
            if (editorTabLabel(i) == name) return true;
        return false;
    };
    if (!taken(untitled_name)) return untitled_name;
    for (int n = 1;; ++n) {
        QString name = QString("untitled%1.asm").arg(n);
        if (!taken(name)) return name;
    }
}

QString lastTabDirectory() {
    return editorTabCount() > 0 ? directoryOf(editorTab(editorTabCount() - 1).path) : QString();
}

// Writes a tab's buffer to its path; `withStatus` reports the failure's status and text.
bool writeTab(int tab, bool withStatus) {
    EditorTab& row = editorTab(tab);
    if (!row.editor) return false;
    SaveResult result = saveEditorFile(*row.editor, row.path, settings().multibyte == 1);
    if (result.status >= 0) return true;
    if (withStatus)
        showErrorPopup(save_failed, save_failed_code, result.status, result.error);
    else
        showErrorPopup(save_failed, save_failed_code);
    return false;
}

bool saveTabAs(int tab) {
    EditorTab& row = editorTab(tab);
    FileChoice choice = userDialogs().chooseFiles({FileRequest::Mode::save,
                                                   "Save File As...",
                                                   row.path,
                                                   {"*.asm; *.h", "*.asm; *.txt"},
                                                   "asm"});
    if (choice.status < 0) {
        showErrorPopup(save_failed, save_failed_code, choice.status, "The file dialog failed.");
        return false;
    }
    if (choice.status == 0 || choice.paths.isEmpty()) return false;
    const QString path = choice.paths.first();
    if (!pathFits(path)) return false;
    row.path = path;
    showCurrentFile(path);
    tabs()->setTabText(tab, fileName(path));
    return writeTab(tab, true);
}

// Open steps 3 to 5 for one chosen path; false when no further file can be opened.
bool openChosenPath(const QString& path) {
    for (int i = 0; i < editorTabCount(); ++i) {
        if (editorTab(i).path == path) {
            activateEditorTab(i);
            showCurrentFile(path);
            return true;
        }
    }
    if (!pathFits(path)) return true;
    int index = openFileInNewTab(path);
    if (index < 0) return false;
    activateEditorTab(index);
    showCurrentFile(path);
    if (extensionBeginsWithAsm(path) && !anyTabMarked()) setMainFileMark(index, true);
    return true;
}

FileChoice chooseSources(FileRequest::Mode mode, const QString& title) {
    FileChoice choice =
        userDialogs().chooseFiles({mode, title, lastTabDirectory(), {"*.asm; *.h"}, {}});
    if (choice.status < 0)
        showErrorPopup("Opening file failed!\nPlease try again.", open_failed_code, choice.status,
                       "The file dialog failed.");
    return choice;
}

bool assemblerPageInFront() {
    return frontPage() == assemblerPageIndex;
}

// The Edit operations act on the editor of the active tab.
void editActive(void (QsciScintilla::*operation)()) {
    if (!assemblerPageInFront()) return;
    if (QsciScintilla* editor = activeEditor()) (editor->*operation)();
}

void openFindDialog(FindDialog::Mode mode) {
    if (!assemblerPageInFront()) return;
    if (QsciScintilla* editor = activeEditor()) editor->setFocus();
    FindDialog::open(mode, activeEditor, shell().mainPanel);
}

} // namespace

void attachEditorTabs(EditorTabWidget* tabWidget, QsciScintilla* editor0, QLabel* currentFile) {
    TabTable& t = table();
    t = TabTable{tabWidget, currentFile, {}};
    if (tabWidget == nullptr) return;
    t.rows.resize(tabWidget->count());
    if (!t.rows.empty()) t.rows[0].editor = editor0;
    QObject::connect(tabWidget, &QTabWidget::currentChanged, tabWidget, cbAsmTabFocus);
}

void detachEditorTabs() {
    table() = TabTable{};
}

void clearEditorTabPaths() {
    for (EditorTab& row : table().rows)
        row.path.clear();
}

int editorTabCount() {
    return tabs() ? static_cast<int>(table().rows.size()) : 0;
}

int activeEditorTab() {
    return tabs() ? qMax(tabs()->currentIndex(), 0) : 0;
}

EditorTab& editorTab(int index) {
    return table().rows.at(static_cast<std::size_t>(index));
}

QString editorTabLabel(int index) {
    return tabs() ? tabs()->tabText(index) : QString();
}

bool hasMainFileMark(int index) {
    return tabs() && tabs()->markedTabBar()->isMarked(index);
}

void setMainFileMark(int index, bool marked) {
    if (tabs()) tabs()->markedTabBar()->setMarked(index, marked);
}

void activateEditorTab(int index) {
    if (tabs()) tabs()->setCurrentIndex(index);
}

void showCurrentFile(const QString& path) {
    if (table().currentFile) table().currentFile->setText(path);
}

QString currentFileText() {
    return table().currentFile ? table().currentFile->text() : QString();
}

void applyUntitledTemplate() {
    if (editorTabCount() == 0 || !editorTab(0).editor) return;
    fillEditor(*editorTab(0).editor, fileTemplate("Untitled.asm", false));
    tabs()->setTabText(0, untitled_name);
    editorTab(0).path = untitled_name;
    showCurrentFile(untitled_name);
    setMainFileMark(0, true);
}

int addEditorTab(const QString& label) {
    if (tabs() == nullptr || !tabAvailable()) return -1;
    auto* page = new QWidget;
    QsciScintilla* editor = duplicateEditor(page);
    table().rows.push_back({editor, {}});
    return tabs()->addTab(page, label);
}

int openFileInNewTab(const QString& path) {
    int index = addEditorTab(fileName(path));
    if (index < 0) return -1;
    loadEditorFile(*editorTab(index).editor, path); // an unreadable file leaves it empty
    editorTab(index).path = path;
    return index;
}

void deleteEditorTab(int index) {
    if (editorTabCount() <= 1 || index < 0 || index >= editorTabCount()) return;
    QWidget* page = tabs()->widget(index);
    table().rows.erase(table().rows.begin() + index);
    tabs()->removeTab(index);
    delete page;
}

int waitForFile(const QString& path) {
    if (QFileInfo::exists(path)) return 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto start = clock().now();
    int found = 0;
    while (found == 0 && clock().now() - start < file_wait_limit) {
        clock().sleep(file_poll_interval);
        found = QFileInfo::exists(path) ? 1 : 0;
    }
    QApplication::restoreOverrideCursor();
    return found;
}

void applyEditorSettings(int tab) {
    if (tab >= 0 && tab < editorTabCount() && editorTab(tab).editor)
        applyEditorSettingsTo(*editorTab(tab).editor);
}

bool saveEditorTab(int tab) {
    if (tab < 0 || tab >= editorTabCount()) return false;
    if (waitForFile(editorTab(tab).path) == 1) return writeTab(tab, false);
    return saveTabAs(tab);
}

bool confirmDiscard(int tab) {
    QsciScintilla* editor = editorTab(tab).editor;
    if (editor == nullptr || !editor->isModified()) return true;
    showAssemblerPage();
    activateEditorTab(tab);
    switch (askSaveChanges()) {
    case answerYes:
        return saveEditorTab(tab);
    case answerNo:
        return true;
    default:
        return false;
    }
}

bool confirmDiscardAll() {
    for (int i = 0; i < editorTabCount(); ++i)
        if (!confirmDiscard(i)) return false;
    return true;
}

void mFileNew() {
    if (shell().activePage != assemblerPageIndex || tabs() == nullptr) return;
    showAssemblerPage();
    const int index = editorTabCount();
    const QString directory = lastTabDirectory();
    if (!tabAvailable()) return;
    const QString name = untitledName();
    if (!pathFits(directory + name)) return;
    addEditorTab({});
    activateEditorTab(index);
    editorTab(index).path = directory + name;
    showCurrentFile(directory + name);
    fillEditor(*editorTab(index).editor, fileTemplate(name, true));
    tabs()->setTabText(index, name);
}

void mFileOpen() {
    if (!assemblerPageInFront()) return;
    showAssemblerPage();
    FileChoice choice = chooseSources(FileRequest::Mode::open, "Open File");
    if (choice.status > 0 && !choice.paths.isEmpty()) openChosenPath(choice.paths.first());
}

void mFileOpenMult() {
    if (!assemblerPageInFront()) return;
    showAssemblerPage();
    FileChoice choice = chooseSources(FileRequest::Mode::openMultiple, "Open Multiple Files");
    if (choice.status <= 0) return;
    for (const QString& path : choice.paths)
        if (!openChosenPath(path)) break;
}

void mFileSave() {
    if (!assemblerPageInFront()) return;
    showAssemblerPage();
    saveEditorTab(activeEditorTab());
}

void mFileSaveAs() {
    if (shell().activePage != assemblerPageIndex || editorTabCount() == 0) return;
    showAssemblerPage();
    saveTabAs(activeEditorTab());
}

void mFilePrint() {
    const int page = frontPage();
    if (page == assemblerPageIndex) {
        showAssemblerPage();
        if (QsciScintilla* editor = activeEditor()) userDialogs().printEditor(*editor);
    } else if (page == downloadPageIndex) {
        if (hooks().prepareDownloadPage) hooks().prepareDownloadPage();
        auto* hex = control<QsciScintilla>(mainPage(downloadPageIndex), "hexView");
        if (hex && !hex->isHidden()) userDialogs().printEditor(*hex);
    }
}

void mFileClose() {
    if (editorTabCount() == 0) return;
    const int tab = activeEditorTab();
    const int page = frontPage();
    if (!confirmDiscard(tab)) return;
    showPage(page); // asking may have shown the Assembler page; Close leaves the page as it was
    shell().activePage = page;
    if (editorTabCount() == 1) {
        applyUntitledTemplate();
        return;
    }
    const int next = tab == 0 ? 1 : tab - 1;
    const bool wasMarked = hasMainFileMark(tab);
    activateEditorTab(next);
    showCurrentFile(editorTab(next).path);
    deleteEditorTab(tab);
    if (!wasMarked) return;
    for (int i = 0; i < editorTabCount(); ++i)
        if (extensionBeginsWithAsm(editorTab(i).path)) setMainFileMark(i, true);
}

void mEditCut() {
    editActive(&QsciScintilla::cut);
}

void mEditCopy() {
    editActive(&QsciScintilla::copy);
}

void mEditPaste() {
    editActive(&QsciScintilla::paste);
}

void mEditUndo() {
    editActive(&QsciScintilla::undo);
}

void mEditRedo() {
    editActive(&QsciScintilla::redo);
}

void mEditFind() {
    openFindDialog(FindDialog::Mode::find);
}

void mEditFindReplace() {
    openFindDialog(FindDialog::Mode::replace);
}

void cbAsmTabFocus(int index) {
    if (index >= 0 && index < editorTabCount()) showCurrentFile(editorTab(index).path);
}

} // namespace ide
