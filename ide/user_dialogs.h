// File dialogs and printing behind one small interface, so tests can script them.
#pragma once

#include <QString>
#include <QStringList>

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

// Replaces the Qt dialogs (tests); nullptr restores them.
void setUserDialogs(UserDialogs* dialogs);
UserDialogs& userDialogs();

} // namespace ide
