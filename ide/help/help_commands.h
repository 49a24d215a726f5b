// The commands of the Help menu and of Tools/Languages, given to the command table for the
// lifetime of a main window.
#pragma once

class QString;
class QsciScintilla;

namespace ide {

class Application;
class MainWindow;

// mHelpOpcodeHelp (F2, also the "Opcode-Help (F2)" text), mHelpContents (F1), mHelpAbout
// (F10), mToolsLanguagesEnglish (F11) and mToolsLanguagesChinese (F12).
void defineHelpCommands(Application& app, MainWindow& main);

// The word at the editor's cursor (letters, digits and "_"), or empty.
QString wordAtCursor(QsciScintilla& editor);

} // namespace ide
