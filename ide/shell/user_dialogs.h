// File dialogs and printing behind one small interface, so tests can script them. The
// application object owns the one service of the program.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QsciScintilla;

namespace ide {

struct FileRequest {
    enum class Mode { open, openMultiple, save };
    Mode mode = Mode::open;
    QString title;
    QString start;         // directory or file the dialog starts from
    QStringList filters;   // e.g. "*.asm; *.h"
    QString defaultSuffix; // added to a saved name that has none
};

struct FileChoice {
    int status = 0; // 1 chosen, 0 cancelled, negative: the dialog failed
    QStringList paths;
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual FileChoice chooseFiles(const FileRequest& request) = 0;
    // Prints the editor's text; 1 printed, 0 cancelled, negative on failure.
    virtual int printEditor(QsciScintilla& editor) = 0;
};

// The Qt file and print dialogs.
std::unique_ptr<UserDialogs> makeQtDialogs();

} // namespace ide
