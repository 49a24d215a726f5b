#include "editor/editor_setup.h"

#include "app/paths.h"
#include "editor/language_lexer.h"
#include "settings/settings.h"

#include <QFontDatabase>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <cstdio>

namespace ide {
namespace {

constexpr int line_number_margin = 0;
const QColor line_number_grey(0x80, 0x80, 0x80);
const QColor caret_line_colour(0xF2, 0xF6, 0xFC);
const QColor margin_colour(0xF0, 0xF0, 0xF0);

std::shared_ptr<const LanguageDefinition> readLanguage(const Paths& paths, const QString& name) {
    auto language = std::make_shared<LanguageDefinition>();
    QString error;
    if (loadLanguageDefinition(paths.dataFile(name), *language, error)) return language;
    std::fprintf(stderr, "Editor language %s not loaded: %s\n", qPrintable(name),
                 qPrintable(error));
    return nullptr;
}

QFont editorFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

} // namespace

EditorLanguages createEditorLanguages(const Paths& paths) {
    return {readLanguage(paths, "lw26asm.lng"), readLanguage(paths, "lw26hex.lng")};
}

void configureEditor(QsciScintilla& editor) {
    editor.setUtf8(true);
    editor.setFont(editorFont());
    editor.setMarginsFont(editorFont());
    editor.setMarginType(line_number_margin, QsciScintilla::NumberMargin);
    editor.setMarginWidth(1, 6);
    editor.setTabWidth(8);
    editor.setIndentationsUseTabs(true);
    editor.setAutoIndent(true);
    editor.setCaretLineVisible(true);
    editor.setCaretLineBackgroundColor(caret_line_colour);
    editor.setMarginsBackgroundColor(margin_colour);
    editor.setBraceMatching(QsciScintilla::NoBraceMatch);
    editor.setFrameShape(QFrame::NoFrame);
    // The horizontal scroll bar appears only for lines wider than the window.
    editor.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    editor.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
}

void fillPage(QWidget& editor) {
    QWidget* page = editor.parentWidget();
    if (page == nullptr || page->layout()) return;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&editor);
}

QsciScintilla* duplicateEditor(QWidget* page, const Settings& settings,
                               const EditorLanguages& languages) {
    auto* editor = new QsciScintilla(page);
    fillPage(*editor);
    configureEditor(*editor);
    applyEditorSettingsTo(*editor, settings, languages);
    return editor;
}

void setEditorLanguage(QsciScintilla& editor,
                       const std::shared_ptr<const LanguageDefinition>& language) {
    QsciLexer* old = editor.lexer();
    if (language) {
        auto* lexer = new LanguageLexer(language, &editor);
        lexer->setDefaultFont(editorFont());
        lexer->setFont(editorFont());
        for (std::size_t style = 0; style < language->styles.size(); ++style)
            lexer->setFont(lexer->defaultFont(static_cast<int>(style)), static_cast<int>(style));
        editor.setLexer(lexer);
    } else {
        editor.setLexer(nullptr);
        editor.setFont(editorFont());
        // The text still carries the highlighting's style numbers, whose fonts the lexer took
        // with it: every style becomes the fixed-pitch default, and the text plain again.
        editor.SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
        editor.SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);
    }
    if (old && old != editor.lexer()) old->deleteLater();
    // setLexer resets the margin font and colours; keep them as configured.
    editor.setMarginsFont(editorFont());
    editor.setCaretLineBackgroundColor(caret_line_colour);
    editor.setMarginsBackgroundColor(margin_colour);
}

void applyEditorSettingsTo(QsciScintilla& editor, const Settings& s,
                           const EditorLanguages& languages) {
    setEditorLanguage(editor, s.syntaxHighlighting == 1 ? languages.asmLanguage : nullptr);
    editor.setMarginLineNumbers(line_number_margin, s.lineNumbering == 1);
    if (s.lineNumbering == 1)
        editor.setMarginWidth(line_number_margin, QString("00000"));
    else
        editor.setMarginWidth(line_number_margin, 0);
    editor.setMarginsForegroundColor(s.lineNumberingGray == 1 ? line_number_grey : Qt::black);
}

void makeHexView(QsciScintilla& editor, const EditorLanguages& languages) {
    configureEditor(editor);
    setEditorLanguage(editor, languages.hexLanguage);
    editor.setMarginLineNumbers(line_number_margin, false);
    editor.setMarginWidth(line_number_margin, 0);
    editor.setReadOnly(true);
    editor.setCaretLineVisible(false);
}

} // namespace ide
