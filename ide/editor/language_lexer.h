// A QScintilla lexer that styles text by a LanguageDefinition. One lexer per editor
// (a custom lexer styles only the editor it was last attached to); the definitions are
// shared.
#pragma once

#include "editor/language_definition.h"

#include <Qsci/qscilexercustom.h>
#include <memory>

namespace ide {

class LanguageLexer : public QsciLexerCustom {
public:
    LanguageLexer(std::shared_ptr<const LanguageDefinition> language, QObject* parent);

    const char* language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    void styleText(int start, int end) override;

private:
    std::shared_ptr<const LanguageDefinition> language_;
    QByteArray name_;
};

} // namespace ide
