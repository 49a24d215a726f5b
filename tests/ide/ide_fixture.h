// Shared set-up of the GUI tests: the program's windows on Qt's offscreen platform, with
// popups, file dialogs, printing and the clock replaced by recorders and scripts.
#pragma once

#include "clock.h"
#include "popups.h"
#include "startup.h"
#include "user_dialogs.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <ostream>

class QMainWindow;
class QsciScintilla;

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ide::test {

class PopupRecorder : public PopupHandler {
public:
    int show(const Popup& popup) override;
    QList<Popup> shown;
    std::deque<int> answers; // for questions; unscripted questions are answered "No"
    QString titles() const;  // "title|title|..." of everything shown
};

class DialogScript : public UserDialogs {
public:
    FileChoice chooseFiles(const FileRequest& request) override;
    int printEditor(QsciScintilla& editor) override;
    QList<FileRequest> requests;
    std::deque<FileChoice> choices; // unscripted dialogs are cancelled
    QList<QsciScintilla*> printed;
};

class IdeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up on a screen of the given size and code page.
    StartResult start(int width = 1024, int height = 768, int codePage = 1252);
    QMainWindow* window() const;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& content) const;
    QByteArray readFile(const QString& name) const;

    QTemporaryDir dir;
    QString previousDir;
    PopupRecorder popups;
    DialogScript dialogs;
    kz71::VirtualClock clock;
};

// Delivers pending events (layout, resize).
void settle();
// The text of a tab's editor.
QString editorText(int tab);
QsciScintilla* editorOf(int tab);

} // namespace ide::test
