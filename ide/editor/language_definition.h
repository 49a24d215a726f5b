// Editor languages read from our small XML files ("lw26asm.lng", "lw26hex.lng"), and the
// tokenizer that turns one line of text into styled runs for the editor.
#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ide {

struct TextStyle {
    QString name;
    QColor color;
    bool bold = false;
    bool italic = false;
};

struct LanguageDefinition {
    QString name;
    std::vector<TextStyle> styles; // style 0 is the default text style
    std::vector<std::string> lineComments;
    std::string blockCommentStart, blockCommentEnd;
    int commentStyle = 0;
    struct KeywordSet {
        std::set<std::string, std::less<>> words; // looked up by string_view
        int style = 0;
    };
    std::vector<KeywordSet> keywords;
    std::string preprocessorPrefix; // at the start of a line; styles the line's directive word
    int preprocessorStyle = 0;
    int numberStyle = 0;           // 0: numbers are not highlighted
    bool hexWithoutPrefix = false; // bare words of hex digits are numbers (hex files)
    int labelStyle = 0;            // a word directly followed by ':'

    int styleIndex(const QString& name) const; // -1 when unknown
};

// A language file is a few kilobytes; larger files are refused.
inline constexpr qint64 max_language_file_bytes = 1 << 20;

// Reads a language file; on failure returns false and says why in `error`.
bool loadLanguageDefinition(const QString& path, LanguageDefinition& language, QString& error);

struct StyleRun {
    int length; // bytes
    int style;
};

// Styles one line (without its line end) of UTF-8 text. `inBlockComment` carries the
// open block comment from the previous line and is left set when this line ends inside one.
std::vector<StyleRun> styleLine(const LanguageDefinition& language, std::string_view line,
                                bool& inBlockComment);

} // namespace ide
