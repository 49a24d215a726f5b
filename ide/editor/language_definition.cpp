#include "editor/language_definition.h"

#include "files/read_file.h"
#include "isa/mnemonics.h"

#include <QXmlStreamReader>

namespace ide {
namespace {

bool isWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
    return isWordStart(c) || isDigit(c);
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Length of a number starting at `pos` (decimal, 0x hex, fraction), 0 when none.
std::size_t numberLength(std::string_view s, std::size_t pos, bool hexWithoutPrefix) {
    std::size_t i = pos;
    if (s.substr(pos, 2) == "0x" || s.substr(pos, 2) == "0X") {
        i += 2;
        while (i < s.size() && isHexDigit(s[i]))
            ++i;
        return i > pos + 2 ? i - pos : 0;
    }
    if (hexWithoutPrefix) {
        while (i < s.size() && isHexDigit(s[i]))
            ++i;
    } else {
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i > pos && i + 1 < s.size() && s[i] == '.' && isDigit(s[i + 1])) {
            ++i;
            while (i < s.size() && isDigit(s[i]))
                ++i;
        }
    }
    if (i == pos || (i < s.size() && isWordChar(s[i]))) return 0;
    return i - pos;
}

class RunBuilder {
public:
    void add(std::size_t length, int style) {
        if (length == 0) return;
        if (!runs_.empty() && runs_.back().style == style)
            runs_.back().length += static_cast<int>(length);
        else
            runs_.push_back({static_cast<int>(length), style});
    }
    std::vector<StyleRun> take() { return std::move(runs_); }

private:
    std::vector<StyleRun> runs_;
};

int wordStyle(const LanguageDefinition& language, std::string_view word) {
    for (const auto& set : language.keywords)
        if (set.words.contains(word)) return set.style;
    return 0;
}

void readStyle(QXmlStreamReader& xml, LanguageDefinition& language) {
    auto a = xml.attributes();
    TextStyle style;
    style.name = a.value("name").toString();
    style.color = QColor(a.value("color").toString());
    if (!style.color.isValid()) style.color = Qt::black;
    style.bold = a.value("bold") == QLatin1String("true");
    style.italic = a.value("italic") == QLatin1String("true");
    language.styles.push_back(style);
    xml.skipCurrentElement();
}

void readKeywords(QXmlStreamReader& xml, LanguageDefinition& language, int style) {
    LanguageDefinition::KeywordSet set;
    set.style = style;
    if (xml.attributes().value("source") == QLatin1String("instruction-set"))
        for (const isa::Mnemonic& m : isa::mnemonics())
            set.words.emplace(m.source);
    for (const QString& word : xml.readElementText().split(' ', Qt::SkipEmptyParts))
        set.words.insert(word.toStdString());
    language.keywords.push_back(std::move(set));
}

bool readElement(QXmlStreamReader& xml, LanguageDefinition& language, QString& error) {
    const auto tag = xml.name();
    auto attr = [&](const char* name) { return xml.attributes().value(name).toString(); };
    if (tag == QLatin1String("style")) {
        readStyle(xml, language);
        return true;
    }
    int style = language.styleIndex(attr("style"));
    if (style < 0) {
        error = QString("unknown style \"%1\" in <%2>").arg(attr("style"), tag.toString());
        return false;
    }
    if (tag == QLatin1String("keywords")) {
        readKeywords(xml, language, style);
        return true;
    }
    if (tag == QLatin1String("lineComment")) {
        language.lineComments.push_back(attr("start").toStdString());
        language.commentStyle = style;
    } else if (tag == QLatin1String("blockComment")) {
        language.blockCommentStart = attr("start").toStdString();
        language.blockCommentEnd = attr("end").toStdString();
        language.commentStyle = style;
    } else if (tag == QLatin1String("preprocessor")) {
        language.preprocessorPrefix = attr("prefix").toStdString();
        language.preprocessorStyle = style;
    } else if (tag == QLatin1String("numbers")) {
        language.numberStyle = style;
        language.hexWithoutPrefix = attr("hexWithoutPrefix") == QLatin1String("true");
    } else if (tag == QLatin1String("labels")) {
        language.labelStyle = style;
    } else {
        error = QString("unknown element <%1>").arg(tag.toString());
        return false;
    }
    xml.skipCurrentElement();
    return true;
}

} // namespace

int LanguageDefinition::styleIndex(const QString& styleName) const {
    for (std::size_t i = 0; i < styles.size(); ++i)
        if (styles[i].name == styleName) return static_cast<int>(i);
    return -1;
}

bool loadLanguageDefinition(const QString& path, LanguageDefinition& language, QString& error) {
    FileBytes file = readFileBytes(path, max_language_file_bytes);
    if (file.status != files::ReadStatus::ok) {
        error = QString("cannot open %1: %2").arg(path, describe(file.status));
        return false;
    }
    language = LanguageDefinition{};
    QXmlStreamReader xml(file.bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language")) {
        error = QString("%1 holds no <language> element").arg(path);
        return false;
    }
    language.name = xml.attributes().value("name").toString();
    language.styles.push_back({"default", Qt::black});
    while (xml.readNextStartElement())
        if (!readElement(xml, language, error)) return false;
    if (xml.hasError()) {
        error = QString("%1, line %2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

std::vector<StyleRun> styleLine(const LanguageDefinition& language, std::string_view line,
                                bool& inBlockComment) {
    RunBuilder runs;
    const std::string_view blockStart = language.blockCommentStart;
    const std::string_view blockEnd = language.blockCommentEnd;
    std::size_t i = 0;
    bool lineStart = true;
    while (i < line.size()) {
        if (inBlockComment) {
            auto end = line.find(blockEnd, i);
            std::size_t stop = end == std::string_view::npos ? line.size() : end + blockEnd.size();
            inBlockComment = end == std::string_view::npos;
            runs.add(stop - i, language.commentStyle);
            i = stop;
            continue;
        }
        std::string_view rest = line.substr(i);
        if (!blockStart.empty() && rest.starts_with(blockStart)) {
            inBlockComment = true;
            runs.add(blockStart.size(), language.commentStyle);
            i += blockStart.size();
            continue;
        }
        bool comment = false;
        for (const auto& start : language.lineComments)
            comment = comment || (!start.empty() && rest.starts_with(start));
        if (comment) {
            runs.add(rest.size(), language.commentStyle);
            break;
        }
        char c = line[i];
        if (c == ' ' || c == '\t') {
            runs.add(1, 0);
            ++i;
            continue;
        }
        if (lineStart && !language.preprocessorPrefix.empty() &&
            rest.starts_with(language.preprocessorPrefix)) {
            std::size_t n = language.preprocessorPrefix.size();
            while (n < rest.size() && isWordChar(rest[n]))
                ++n;
            runs.add(n, language.preprocessorStyle);
            i += n;
            lineStart = false;
            continue;
        }
        lineStart = false;
        std::size_t n = language.numberStyle ? numberLength(line, i, language.hexWithoutPrefix) : 0;
        bool word = n == 0 && isWordStart(c);
        if (word) {
            n = 1;
            while (i + n < line.size() && isWordChar(line[i + n]))
                ++n;
        }
        if (n > 0) {
            bool label = language.labelStyle && i + n < line.size() && line[i + n] == ':';
            int style = label  ? language.labelStyle
                        : word ? wordStyle(language, line.substr(i, n))
                               : language.numberStyle;
            runs.add(n, style);
            i += n;
            continue;
        }
        // Anything else (operators, digits glued to letters, UTF-8 bytes) is plain text.
        n = 1;
        while (i + n < line.size() && !isWordChar(line[i + n]) && line[i + n] != ' ' &&
               line[i + n] != '\t' && static_cast<unsigned char>(line[i + n]) >= 0x80)
            ++n;
        runs.add(n, 0);
        i += n;
    }
    return runs.take();
}

} // namespace ide
