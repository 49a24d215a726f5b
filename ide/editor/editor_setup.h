// Editor controls: their common look, the editor languages and the editor settings.
#pragma once

#include "editor/language_definition.h"

#include <memory>

class QsciScintilla;
class QWidget;

namespace ide {

struct Paths;
struct Settings;

// The editor languages (the application object holds them); null where a language file could
// not be read (the editors then keep the default language).
struct EditorLanguages {
    std::shared_ptr<const LanguageDefinition> asmLanguage; // "lw26asm.lng"
    std::shared_ptr<const LanguageDefinition> hexLanguage; // "lw26hex.lng"
};
// Reads both language files (working directory first, then the data directory).
EditorLanguages createEditorLanguages(const Paths& paths);

// Font, margins, encoding and key behaviour shared by every editor control.
void configureEditor(QsciScintilla& editor);
// Makes an editor fill the tab page it lies on.
void fillPage(QWidget& editor);
// A new editor control like editor 0, filling `page`.
QsciScintilla* duplicateEditor(QWidget* page, const Settings& settings,
                               const EditorLanguages& languages);
// Gives the editor `language`, or the default language for null.
void setEditorLanguage(QsciScintilla& editor,
                       const std::shared_ptr<const LanguageDefinition>& language);
// Syntax highlighting, line numbering and grey line numbers from the settings.
void applyEditorSettingsTo(QsciScintilla& editor, const Settings& settings,
                           const EditorLanguages& languages);
// Makes an editor a read-only viewer with the hex language (hex views).
void makeHexView(QsciScintilla& editor, const EditorLanguages& languages);

} // namespace ide
