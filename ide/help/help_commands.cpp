#include "help/help_commands.h"

#include "app/application.h"
#include "editor/editor_tabs.h"
#include "help/about_box.h"
#include "help/help_windows.h"
#include "help/language_switch.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QMainWindow>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// Where F2 looks for a mnemonic: the editor or listing that has the focus, else the editor
// tab in front while the Assembler page is.
QsciScintilla* editorForHelp(MainWindow& main) {
    auto* focused = qobject_cast<QsciScintilla*>(QApplication::focusWidget());
    if (focused && focused->window() == &main.window()) return focused;
    if (main.frontPage() == assemblerPageIndex) return main.editorTabs().activeEditor();
    return nullptr;
}

} // namespace

QString wordAtCursor(QsciScintilla& editor) {
    const long position = editor.SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    const long start = editor.SendScintilla(QsciScintilla::SCI_WORDSTARTPOSITION, position, true);
    const long end = editor.SendScintilla(QsciScintilla::SCI_WORDENDPOSITION, position, true);
    return start < end ? editor.text(static_cast<int>(start), static_cast<int>(end)) : QString();
}

void defineHelpCommands(Application& app, MainWindow& main) {
    CommandTable& commands = app.commands();
    commands.define("mHelpOpcodeHelp", &main, [&app, &main] {
        QsciScintilla* editor = editorForHelp(main);
        app.helpWindows().openOpcodeHelp(editor ? wordAtCursor(*editor) : QString());
    });
    commands.define("mHelpContents", &main, [&app] { app.helpWindows().openGeneralHelp(); });
    commands.define("mHelpAbout", &main, [&app] { AboutBox::mHelpAbout(app); });
    commands.define("mToolsLanguagesEnglish", &main, [&app] { switchLanguage(app, 0); });
    commands.define("mToolsLanguagesChinese", &main, [&app] { switchLanguage(app, 1); });
}

} // namespace ide
