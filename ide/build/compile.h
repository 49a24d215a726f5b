// Compile: the Assembler page's Compile button and Assembler/Compile. A build saves the edited
// tabs, runs the build script "kz71.sh" on the main file, waits for it, shows the assembler's
// messages unchanged in "ASM Messages" and sets the paths of the output files.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <chrono>

class QPlainTextEdit;
class QPushButton;

namespace ide {

class Application;
class EditorTabs;
class LaunchedProgram;
class PageSwitcher;

// The build script and the assembler's message capture files, in the working directory.
inline constexpr const char* build_script_name = "kz71.sh";
inline constexpr const char* message_file_name = "TARNOutpMsg.tmp";
inline constexpr const char* second_pass_message_file_name = "FELLOutpMsg.tmp";

inline constexpr std::chrono::seconds script_time_limit{50};
inline constexpr std::chrono::seconds message_time_limit{50};
// A message file above this size is not shown (tarn's messages on any source are far smaller).
inline constexpr qint64 max_message_file_bytes = 16 << 20;

// Popup codes of the build.
inline constexpr int launch_failed_code = 93;
inline constexpr int launch_timed_out_code = 94;
inline constexpr int message_file_not_opened_code = 95;
inline constexpr int message_buffer_code = 96;
inline constexpr int message_file_not_read_code = 97;
inline constexpr int tab_not_saved_code = 98;
inline constexpr int message_file_missing_code = 106;

// Deletes "TARNOutpMsg.tmp" and "FELLOutpMsg.tmp" from the working directory.
void deleteMessageFiles();
// The path of an output file beside `mainFile`, as tarn names it: the file name up to its last
// "." (the whole name when it has none), then "." and `extension`.
QString outputPath(const QString& mainFile, const QString& extension);

class Compile : public QObject {
public:
    Compile(Application& app, PageSwitcher& pages, EditorTabs& tabs, QPushButton& compileButton,
            QPlainTextEdit& asmMessages);
    ~Compile() override;

    // Assembler/Compile, its shortcut and the Compile button ("cbCompile").
    void defineCommands();
    // The whole build, from saving the tabs to the final steps. A call while a long operation
    // runs (a build, a download, a debug run) is ignored.
    void runBuild();

private:
    enum class Outcome {
        shown,
        tabNotSaved,
        noSourceFile,
        launchFailed,
        timedOut,
        noMessageFile,
        messageFileNotOpened,
        messageFileTooLarge,
        nothingRead
    };
    Outcome build();
    bool saveEditedTabs();
    Outcome runScript();
    bool waitForScript(LaunchedProgram& script);
    Outcome showMessages();
    void tell(Outcome outcome);
    void finalSteps();
    void colourButton(const QColor& colour);

    Application& app_;
    PageSwitcher& pages_;
    EditorTabs& tabs_;
    QPushButton& button_;
    QPlainTextEdit& messages_;
    // What the last failure was about, for its popup.
    QString failedPath_;
    bool mainNeverWritten_ = false; // the marked tab has no file: none will ever appear
    QString failureText_;
    int failureStatus_ = 0;
};

} // namespace ide
