#include "editor/language_lexer.h"

#include <Qsci/qsciscintilla.h>

namespace ide {

LanguageLexer::LanguageLexer(std::shared_ptr<const LanguageDefinition> language, QObject* parent)
    : QsciLexerCustom(parent), language_(std::move(language)), name_(language_->name.toUtf8()) {}

const char* LanguageLexer::language() const {
    return name_.constData();
}

QString LanguageLexer::description(int style) const {
    if (style < 0 || style >= static_cast<int>(language_->styles.size())) return {};
    return language_->styles[style].name;
}

QColor LanguageLexer::defaultColor(int style) const {
    if (style < 0 || style >= static_cast<int>(language_->styles.size()))
        return QsciLexerCustom::defaultColor(style);
    return language_->styles[style].color;
}

QFont LanguageLexer::defaultFont(int style) const {
    QFont font = QsciLexerCustom::defaultFont(style);
    if (style >= 0 && style < static_cast<int>(language_->styles.size())) {
        font.setBold(language_->styles[style].bold);
        font.setItalic(language_->styles[style].italic);
    }
    return font;
}

void LanguageLexer::styleText(int start, int end) {
    QsciScintilla* ed = editor();
    if (ed == nullptr || end <= start) return;
    int firstLine = 0, index = 0;
    ed->lineIndexFromPosition(start, &firstLine, &index);
    int lastLine = 0;
    ed->lineIndexFromPosition(end, &lastLine, &index);
    start = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine));
    bool inBlock =
        firstLine > 0 && ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, firstLine - 1) != 0;
    startStyling(start);
    // A line whose block-comment state changes restyles the lines after it as well.
    bool changed = false;
    for (int line = firstLine; line < ed->lines() && (line <= lastLine || changed); ++line) {
        long from = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        long to = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1);
        if (line + 1 >= ed->lines()) to = ed->length();
        QByteArray text = ed->bytes(static_cast<int>(from), static_cast<int>(to));
        if (text.endsWith('\0')) text.chop(1);
        qsizetype body = text.size();
        while (body > 0 && (text[body - 1] == '\n' || text[body - 1] == '\r'))
            --body;
        for (const StyleRun& run :
             styleLine(*language_, std::string_view(text.constData(), body), inBlock))
            setStyling(run.length, run.style);
        if (text.size() > body) setStyling(static_cast<int>(text.size() - body), 0);
        long state = inBlock ? 1 : 0;
        changed = ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line) != state;
        ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line, state);
    }
}

} // namespace ide
