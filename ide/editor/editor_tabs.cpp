#include "editor/editor_tabs.h"

#include "app/application.h"
#include "editor/editor_files.h"
#include "editor/editor_setup.h"
#include "editor/editor_tab_widget.h"
#include "editor/find_dialog.h"
#include "files/read_file.h"
#include "shell/page.h"
#include "shell/path_label.h"

#include <QFileInfo>
#include <QLabel>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

using namespace std::chrono_literals;

constexpr auto file_wait_limit = 5000ms;
constexpr auto file_poll_interval = 10ms;
const QString save_failed = "Saving of file failed!\nPlease try again.";
const QString untitled_name = "untitled.asm";
const QString dash_line = ";" + QString(56, '-');

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

} // namespace

EditorTabs::EditorTabs(Application& app, PageSwitcher& pages, EditorTabWidget& tabs,
                       QsciScintilla& editor0, QLabel& currentFileText)
    : app_(app), pages_(pages), tabs_(tabs), currentFile_(currentFileText) {
    rows_.resize(static_cast<std::size_t>(qMax(tabs.count(), 1)));
    rows_[0].editor = &editor0;
    connect(&tabs_, &QTabWidget::currentChanged, this, &EditorTabs::cbAsmTabFocus);
    connect(&app_.settings(), &SettingsStore::changed, this, &EditorTabs::settingsChanged);
}

EditorTabs::~EditorTabs() {
    delete findDialog_;
}

void EditorTabs::defineCommands() {
    CommandTable& commands = app_.commands();
    const std::pair<const char*, void (EditorTabs::*)()> operations[] = {
        {"mFileNew", &EditorTabs::mFileNew},
        {"mFileOpen", &EditorTabs::mFileOpen},
        {"mFileOpenMult", &EditorTabs::mFileOpenMult},
        {"mFileSave", &EditorTabs::mFileSave},
        {"mFileSaveAs", &EditorTabs::mFileSaveAs},
        {"mFileClose", &EditorTabs::mFileClose},
        {"mEditCut", &EditorTabs::mEditCut},
        {"mEditCopy", &EditorTabs::mEditCopy},
        {"mEditPaste", &EditorTabs::mEditPaste},
        {"mEditUndo", &EditorTabs::mEditUndo},
        {"mEditRedo", &EditorTabs::mEditRedo},
        {"mEditFind", &EditorTabs::mEditFind},
        {"mEditFindReplace", &EditorTabs::mEditFindReplace},
    };
    for (const auto& [name, operation] : operations)
        commands.define(name, this,
                        std::function<void()>([this, op = operation] { (this->*op)(); }));
}

void EditorTabs::settingsChanged(const SettingsChange& change) {
    if (!change.touches(&Settings::lineNumbering) &&
        !change.touches(&Settings::lineNumberingGray) &&
        !change.touches(&Settings::syntaxHighlighting))
        return;
    for (int tab = 0; tab < editorTabCount(); ++tab)
        applyEditorSettings(tab);
}

bool EditorTabs::pathFits(const QString& path) {
    if (path.size() <= max_path_chars) return true;
    app_.popups().showWarningPopup(
        QString("The path is too long:\n%1\nPaths may have at most %2 characters.")
            .arg(path)
            .arg(max_path_chars),
        path_too_long_code);
    return false;
}

bool EditorTabs::tabAvailable() {
    if (editorTabCount() < max_editor_tabs) return true;
    app_.popups().showWarningPopup(QString("Too many files are open.\nAt most %1 files can be open "
                                           "at the same time; please close a file first.")
                                       .arg(max_editor_tabs),
                                   too_many_tabs_code);
    return false;
}

bool EditorTabs::anyTabMarked() const {
    for (int i = 0; i < editorTabCount(); ++i)
        if (hasMainFileMark(i)) return true;
    return false;
}

// "untitled.asm", else the first "untitled%d.asm" that no tab carries as its label.
QString EditorTabs::untitledName() const {
    auto taken = [this](const QString& name) {
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

QString EditorTabs::lastTabDirectory() const {
    return editorTabCount() > 0 ? directoryOf(rows_.back().path) : QString();
}

// Writes a tab's buffer to its path; `withStatus` reports the failure's status and text.
bool EditorTabs::writeTab(int tab, bool withStatus) {
    EditorTab& row = editorTab(tab);
    if (!row.editor) return false;
    SaveResult result = saveEditorFile(*row.editor, row.path, app_.settings()->multibyte == 1);
    if (result.status >= 0) {
        row.hasFile = true;
        return true;
    }
    if (withStatus)
        app_.popups().showErrorPopup(save_failed, save_failed_code, result.status, result.error);
    else
        app_.popups().showErrorPopup(save_failed, save_failed_code);
    return false;
}

bool EditorTabs::saveTabAs(int tab) {
    EditorTab& row = editorTab(tab);
    FileChoice choice = app_.dialogs().chooseFiles({FileRequest::Mode::save,
                                                    "Save File As...",
                                                    row.path,
                                                    {"*.asm; *.h", "*.asm; *.txt"},
                                                    "asm"});
    if (choice.status < 0) {
        app_.popups().showErrorPopup(save_failed, save_failed_code, choice.status,
                                     "The file dialog failed.");
        return false;
    }
    if (choice.status == 0 || choice.paths.isEmpty()) return false;
    const QString path = choice.paths.first();
    if (!pathFits(path)) return false;
    row.path = path;
    showCurrentFile(path);
    tabs_.setTabText(tab, fileName(path));
    return writeTab(tab, true);
}

// Open steps 3 to 5 for one chosen path; false when no further file can be opened.
bool EditorTabs::openChosenPath(const QString& path) {
    for (int i = 0; i < editorTabCount(); ++i) {
        if (editorTab(i).path == path) {
            activateEditorTab(i);
            showCurrentFile(path);
            return true;
        }
    }
    if (!pathFits(path)) return true;
    int index = openFileInNewTab(path);
    if (index < 0) return index != -1; // a refused file still lets the next one open
    activateEditorTab(index);
    showCurrentFile(path);
    if (extensionBeginsWithAsm(path) && !anyTabMarked()) setMainFileMark(index, true);
    return true;
}

FileChoice EditorTabs::chooseSources(FileRequest::Mode mode, const QString& title) {
    FileChoice choice =
        app_.dialogs().chooseFiles({mode, title, lastTabDirectory(), {"*.asm; *.h"}, {}});
    if (choice.status < 0)
        app_.popups().showErrorPopup("Opening file failed!\nPlease try again.", open_failed_code,
                                     choice.status, "The file dialog failed.");
    return choice;
}

bool EditorTabs::assemblerPageInFront() const {
    return pages_.frontPage() == assemblerPageIndex;
}

// The Edit operations act on the editor of the active tab.
void EditorTabs::editActive(void (QsciScintilla::*operation)()) {
    if (!assemblerPageInFront()) return;
    if (QsciScintilla* editor = activeEditor()) (editor->*operation)();
}

void EditorTabs::openFindDialog(bool replacing) {
    if (!assemblerPageInFront()) return;
    if (QsciScintilla* editor = activeEditor()) editor->setFocus();
    if (!findDialog_)
        findDialog_ = new FindDialog([this] { return activeEditor(); }, tabs_.window());
    findDialog_->open(replacing ? FindDialog::Mode::replace : FindDialog::Mode::find);
}

void EditorTabs::clearEditorTabPaths() {
    for (EditorTab& row : rows_) {
        row.path.clear();
        row.hasFile = false;
    }
}

int EditorTabs::editorTabCount() const {
    return static_cast<int>(rows_.size());
}

int EditorTabs::activeEditorTab() const {
    return qMax(tabs_.currentIndex(), 0);
}

EditorTab& EditorTabs::editorTab(int index) {
    return rows_.at(static_cast<std::size_t>(index));
}

QsciScintilla* EditorTabs::activeEditor() {
    return editorTabCount() > 0 ? editorTab(activeEditorTab()).editor.data() : nullptr;
}

QString EditorTabs::editorTabLabel(int index) const {
    return tabs_.tabText(index);
}

bool EditorTabs::hasMainFileMark(int index) const {
    return tabs_.markedTabBar()->isMarked(index);
}

void EditorTabs::setMainFileMark(int index, bool marked) {
    tabs_.markedTabBar()->setMarked(index, marked);
}

void EditorTabs::activateEditorTab(int index) {
    tabs_.setCurrentIndex(index);
}

void EditorTabs::showCurrentFile(const QString& path) {
    currentPath_ = path;
    showPath(currentFile_, path);
}

void EditorTabs::applyUntitledTemplate() {
    if (editorTabCount() == 0 || !editorTab(0).editor) return;
    fillEditor(*editorTab(0).editor, fileTemplate("Untitled.asm", false));
    tabs_.setTabText(0, untitled_name);
    editorTab(0).path = untitled_name;
    editorTab(0).hasFile = false;
    showCurrentFile(untitled_name);
    setMainFileMark(0, true);
}

int EditorTabs::addEditorTab(const QString& label) {
    if (!tabAvailable()) return -1;
    auto* page = new QWidget;
    QsciScintilla* editor = duplicateEditor(page, app_.settings().values(), app_.editorLanguages());
    rows_.push_back({editor, {}, false});
    return tabs_.addTab(page, label);
}

// False (after telling the user) when `path` is not a source file; a file that does not
// exist or cannot be read gives no bytes.
bool EditorTabs::readSourceFile(const QString& path, QByteArray& bytes) {
    FileBytes file = readFileBytes(path, max_source_file_bytes);
    if (file.status == files::ReadStatus::notRegular ||
        file.status == files::ReadStatus::tooLarge) {
        const QString why =
            file.status == files::ReadStatus::tooLarge
                ? QString("it is larger than %1 MB").arg(max_source_file_bytes >> 20)
                : describe(file.status);
        app_.popups().showWarningPopup(QString("Cannot open %1:\n%2.").arg(path, why),
                                       source_refused_code);
        return false;
    }
    bytes = file.bytes;
    return true;
}

void EditorTabs::showFileIn(int tab, const QString& path, const QByteArray& bytes) {
    EditorTab& row = editorTab(tab);
    if (row.editor) showSourceText(*row.editor, bytes); // an unreadable file leaves it empty
    row.path = path;
    row.hasFile = true;
}

int EditorTabs::openFileInNewTab(const QString& path) {
    QByteArray bytes;
    if (!readSourceFile(path, bytes)) return -2;
    if (!tabAvailable()) return -1;
    int index = addEditorTab(fileName(path));
    showFileIn(index, path, bytes);
    return index;
}

int EditorTabs::openFileInFirstTab(const QString& path) {
    if (editorTabCount() == 0 || !editorTab(0).editor) return -2;
    return loadFileIntoTab(0, path);
}

int EditorTabs::loadFileIntoTab(int index, const QString& path) {
    QByteArray bytes;
    if (!readSourceFile(path, bytes)) return -2;
    tabs_.setTabText(index, fileName(path));
    showFileIn(index, path, bytes);
    return index;
}

void EditorTabs::deleteEditorTab(int index) {
    if (editorTabCount() <= 1 || index < 0 || index >= editorTabCount()) return;
    QWidget* page = tabs_.widget(index);
    rows_.erase(rows_.begin() + index);
    tabs_.removeTab(index);
    delete page;
}

int EditorTabs::waitForFile(const QString& path) {
    if (QFileInfo::exists(path)) return 1;
    BusyWindow& busy = app_.busyWindow();
    BusyScope waiting(busy);
    kz71::Clock& clock = app_.clock();
    const auto start = clock.now();
    int found = 0;
    while (found == 0 && clock.now() - start < file_wait_limit) {
        clock.sleep(file_poll_interval);
        busy.serve();
        found = QFileInfo::exists(path) ? 1 : 0;
    }
    return found;
}

void EditorTabs::applyEditorSettings(int tab) {
    if (tab >= 0 && tab < editorTabCount() && editorTab(tab).editor)
        applyEditorSettingsTo(*editorTab(tab).editor, app_.settings().values(),
                              app_.editorLanguages());
}

bool EditorTabs::saveEditorTab(int tab) {
    if (tab < 0 || tab >= editorTabCount()) return false;
    // A tab that never had a file (untitled, New) has nothing to wait for: it needs a name.
    if (editorTab(tab).hasFile && waitForFile(editorTab(tab).path) == 1)
        return writeTab(tab, false);
    return saveTabAs(tab);
}

bool EditorTabs::confirmDiscard(int tab) {
    QsciScintilla* editor = editorTab(tab).editor;
    if (editor == nullptr || !editor->isModified()) return true;
    pages_.showAssemblerPage();
    activateEditorTab(tab);
    switch (app_.popups().askSaveChanges()) {
    case answerYes:
        return saveEditorTab(tab);
    case answerNo:
        return true;
    default:
        return false;
    }
}

bool EditorTabs::confirmDiscardAll() {
    for (int i = 0; i < editorTabCount(); ++i)
        if (!confirmDiscard(i)) return false;
    return true;
}

void EditorTabs::mFileNew() {
    if (app_.shell().activePage != assemblerPageIndex) return;
    pages_.showAssemblerPage();
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
    tabs_.setTabText(index, name);
}

void EditorTabs::mFileOpen() {
    if (!assemblerPageInFront()) return;
    pages_.showAssemblerPage();
    FileChoice choice = chooseSources(FileRequest::Mode::open, "Open File");
    if (choice.status > 0 && !choice.paths.isEmpty()) openChosenPath(choice.paths.first());
}

void EditorTabs::mFileOpenMult() {
    if (!assemblerPageInFront()) return;
    pages_.showAssemblerPage();
    FileChoice choice = chooseSources(FileRequest::Mode::openMultiple, "Open Multiple Files");
    if (choice.status <= 0) return;
    for (const QString& path : choice.paths)
        if (!openChosenPath(path)) break;
}

void EditorTabs::mFileSave() {
    if (!assemblerPageInFront()) return;
    pages_.showAssemblerPage();
    saveEditorTab(activeEditorTab());
}

void EditorTabs::mFileSaveAs() {
    if (app_.shell().activePage != assemblerPageIndex || editorTabCount() == 0) return;
    pages_.showAssemblerPage();
    saveTabAs(activeEditorTab());
}

void EditorTabs::mFileClose() {
    if (editorTabCount() == 0) return;
    const int tab = activeEditorTab();
    const int page = pages_.frontPage();
    if (!confirmDiscard(tab)) return;
    pages_.showPage(page); // asking may have shown the Assembler page; Close leaves it as it was
    app_.shell().activePage = page;
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

void EditorTabs::mEditCut() {
    editActive(&QsciScintilla::cut);
}

void EditorTabs::mEditCopy() {
    editActive(&QsciScintilla::copy);
}

void EditorTabs::mEditPaste() {
    editActive(&QsciScintilla::paste);
}

void EditorTabs::mEditUndo() {
    editActive(&QsciScintilla::undo);
}

void EditorTabs::mEditRedo() {
    editActive(&QsciScintilla::redo);
}

void EditorTabs::mEditFind() {
    openFindDialog(false);
}

void EditorTabs::mEditFindReplace() {
    openFindDialog(true);
}

void EditorTabs::cbAsmTabFocus(int index) {
    if (index >= 0 && index < editorTabCount()) showCurrentFile(editorTab(index).path);
}

} // namespace ide
