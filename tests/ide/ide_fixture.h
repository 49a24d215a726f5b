// Shared set-up of the GUI tests: a fresh application object per test, its windows on Qt's
// offscreen platform, with popups, file dialogs, printing and the clock replaced by recorders
// and scripts.
#pragma once

#include "app/application.h"
#include "app/startup.h"
#include "shell/popups.h"
#include "shell/user_dialogs.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

class QsciScintilla;

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ide {
class EditorTabs;
class MainWindow;
} // namespace ide

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

// The installation in the build's bin folder, with settings.ini in `programDir`.
Paths installedPaths(const QString& programDir);

class IdeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up on a screen of the given size and code page.
    StartResult start(int width = 1024, int height = 768, int codePage = 1252);
    QMainWindow* window() const;
    MainWindow& main() const;
    EditorTabs& tabs() const;
    const Settings& settings() const { return app->settings().values(); }
    void setSetting(int Settings::*field, int value) { app->settings().set(field, value); }

    // The widget (or action) named `name` in the main window.
    template <typename T = QWidget>
    T* find(const char* name) const {
        return findIn<T>(window(), name);
    }
    template <typename T = QWidget>
    static T* findIn(QObject* parent, const char* name) {
        return parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& content) const;
    QByteArray readFile(const QString& name) const;
    // The text of a tab's editor.
    QString editorText(int tab) const;
    QsciScintilla* editorOf(int tab) const;

    QTemporaryDir dir;
    QString previousDir;
    PopupRecorder popups;
    DialogScript dialogs;
    kz71::VirtualClock clock;
    std::unique_ptr<Application> app;
};

// Delivers pending events (layout, resize).
void settle();
// A press of the right mouse button on `widget`.
void pressRightButton(QWidget& widget);

} // namespace ide::test
