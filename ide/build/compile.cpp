#include "build/compile.h"

#include "app/application.h"
#include "build/launcher.h"
#include "editor/editor_files.h"
#include "editor/editor_tabs.h"
#include "files/read_file.h"
#include "shell/appearance.h"
#include "shell/page.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

using namespace std::chrono_literals;

constexpr auto poll_interval = 5ms;

} // namespace

void deleteMessageFiles() {
    for (const char* name : {message_file_name, second_pass_message_file_name})
        if (QFile::exists(name)) QFile::remove(name);
}

QString outputPath(const QString& mainFile, const QString& extension) {
    const qsizetype nameStart = mainFile.lastIndexOf('/') + 1;
    const qsizetype dot = mainFile.lastIndexOf('.');
    const QString stem = dot >= nameStart ? mainFile.left(dot) : mainFile;
    return stem + "." + extension;
}

Compile::Compile(Application& app, PageSwitcher& pages, EditorTabs& tabs,
                 QPushButton& compileButton, QPlainTextEdit& asmMessages)
    : app_(app), pages_(pages), tabs_(tabs), button_(compileButton), messages_(asmMessages) {}

Compile::~Compile() = default;

void Compile::defineCommands() {
    app_.commands().define("mAssemblerCompile", this, [this] { runBuild(); });
}

void Compile::colourButton(const QColor& colour) {
    ide::colourButton(button_, colour);
    button_.repaint();
}

void Compile::runBuild() {
    if (app_.busyWindow().busy()) return;
    pages_.showAssemblerPage();
    colourButton(running_red);
    Outcome outcome;
    {
        BusyScope busy(app_.busyWindow());
        outcome = build();
    }
    tell(outcome);
    finalSteps();
}

// From saving the tabs to the messages in the box; the popups come after the busy span.
Compile::Outcome Compile::build() {
    if (!saveEditedTabs()) return Outcome::tabNotSaved;
    const Outcome ran = runScript();
    return ran == Outcome::shown ? showMessages() : ran;
}

// Writes every tab whose buffer differs from its file (a tab that never had a file has
// nothing to write to), and takes the marked tab's path as the main file. False, with the
// tab in front, when a file cannot be written: the build would assemble its old contents.
bool Compile::saveEditedTabs() {
    BuildOutputs& outputs = app_.build();
    const bool multibyte = app_.settings()->multibyte == 1;
    for (int i = 0; i < tabs_.editorTabCount(); ++i) {
        EditorTab& tab = tabs_.editorTab(i);
        if (tab.editor && tab.hasFile && tab.editor->isModified()) {
            const SaveResult saved = saveEditorFile(*tab.editor, tab.path, multibyte);
            if (saved.status < 0) {
                tabs_.activateEditorTab(i);
                failedPath_ = tab.path;
                failureText_ = saved.error;
                failureStatus_ = saved.status;
                return false;
            }
        }
        if (tabs_.hasMainFileMark(i)) {
            outputs.mainFilePath = tab.path;
            mainNeverWritten_ = !tab.hasFile;
        }
    }
    return true;
}

// The script on the main file, with the one restart after the IDE's first time-out.
Compile::Outcome Compile::runScript() {
    BuildOutputs& outputs = app_.build();
    for (;;) {
        // The file of a tab that never had one is not waited for.
        if (mainNeverWritten_ || tabs_.waitForFile(outputs.mainFilePath) == 0)
            return Outcome::noSourceFile;
        LaunchFailure failure;
        std::unique_ptr<LaunchedProgram> script = app_.launcher().launch(
            programPath(app_.paths(), build_script_name), {outputs.mainFilePath}, failure);
        if (!script) {
            failureStatus_ = failure.status;
            return Outcome::launchFailed;
        }
        if (waitForScript(*script)) return Outcome::shown;
        // A script that never ends is ended: left running, it could still write the message
        // file of a later build.
        script->terminate();
        if (outputs.launchRetried) return Outcome::timedOut;
        outputs.launchRetried = true;
    }
}

bool Compile::waitForScript(LaunchedProgram& script) {
    kz71::Clock& clock = app_.clock();
    const auto start = clock.now();
    while (!script.hasTerminated()) {
        if (clock.now() - start >= script_time_limit) return false;
        clock.sleep(poll_interval);
        app_.busyWindow().serve();
    }
    return true;
}

// The captured messages into the box, then the output paths.
Compile::Outcome Compile::showMessages() {
    if (tabs_.waitForFile(message_file_name) == 0) return Outcome::noMessageFile;
    const QFileInfo file(message_file_name);
    if (!file.isFile()) return Outcome::messageFileNotOpened;
    kz71::Clock& clock = app_.clock();
    const auto start = clock.now();
    while (QFileInfo(message_file_name).size() == 0 && clock.now() - start < message_time_limit) {
        clock.sleep(poll_interval);
        app_.busyWindow().serve();
    }
    const FileBytes read = readFileBytes(message_file_name, max_message_file_bytes);
    switch (read.status) {
    case files::ReadStatus::ok:
        break;
    case files::ReadStatus::tooLarge:
        failureStatus_ = -1;
        failureText_ = QString("The message file is %1 MB long; at most %2 MB are shown.")
                           .arg(QFileInfo(message_file_name).size() >> 20)
                           .arg(max_message_file_bytes >> 20);
        return Outcome::messageFileTooLarge;
    default:
        return Outcome::messageFileNotOpened;
    }
    if (read.bytes.isEmpty()) return Outcome::nothingRead;
    // Read as text: a CR LF line end is a line end.
    messages_.setPlainText(decodeText(read.bytes).replace("\r\n", "\n"));
    BuildOutputs& outputs = app_.build();
    outputs.hexFilePath = outputPath(outputs.mainFilePath, "hex");
    outputs.eprFilePath = outputPath(outputs.mainFilePath, "epr");
    outputs.dbgFilePath = outputPath(outputs.mainFilePath, "dbg");
    return Outcome::shown;
}

void Compile::tell(Outcome outcome) {
    Popups& popups = app_.popups();
    switch (outcome) {
    case Outcome::shown:
        return;
    case Outcome::tabNotSaved:
        popups.showErrorPopup(
            QString("Cannot compile!\nSaving of file %1 failed.").arg(failedPath_),
            tab_not_saved_code, failureStatus_, failureText_);
        return;
    case Outcome::noSourceFile:
        popups.showPopup({PopupIcon::error, PopupButtons::ok, "Compile/Run Error",
                          "Cannot compile!\nThere is no source file."});
        return;
    case Outcome::launchFailed:
        popups.showErrorPopup("Launching TARN failed!\nPlease try again", launch_failed_code,
                              failureStatus_);
        return;
    case Outcome::timedOut:
        popups.showErrorPopup("Launching TARN timed out!\nPlease try again.",
                              launch_timed_out_code);
        return;
    case Outcome::noMessageFile:
        popups.showWarningPopup("Message output was not updated properly.\nPlease run again, or "
                                "start application as Administrator.",
                                message_file_missing_code);
        return;
    case Outcome::messageFileNotOpened:
        popups.showErrorPopup(
            "Cannot get file handle for output messages!\nPlease check disk space",
            message_file_not_opened_code);
        return;
    case Outcome::messageFileTooLarge:
        popups.showErrorPopup("Buffer allocation failed!\nPlease check virtual RAM space.",
                              message_buffer_code, failureStatus_, failureText_);
        return;
    case Outcome::nothingRead:
        popups.showErrorPopup("Cannot read temporary file.\nPlease try again.",
                              message_file_not_read_code);
        return;
    }
}

// After every outcome: the window takes input again (the busy span has ended), the message
// files go, a debug session ends, and the button turns green.
void Compile::finalSteps() {
    deleteMessageFiles();
    app_.endDebugSession();
    colourButton(run_green);
}

} // namespace ide
