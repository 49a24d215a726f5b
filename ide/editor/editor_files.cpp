#include "editor/editor_files.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

constexpr int open_failed = -1;
constexpr int commit_failed = -2;

QByteArray encode(const QString& text, bool multibyte) {
    if (multibyte) return text.toUtf8();
    for (QChar c : text)
        if (c.unicode() > 0xFF) return text.toUtf8();
    return text.toLatin1();
}

void keepLineEnds(QsciScintilla& editor, const QByteArray& bytes) {
    qsizetype lf = bytes.indexOf('\n');
    if (lf > 0 && bytes[lf - 1] == '\r')
        editor.setEolMode(QsciScintilla::EolWindows);
    else if (lf >= 0)
        editor.setEolMode(QsciScintilla::EolUnix);
}

void markUnmodified(QsciScintilla& editor) {
    editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    editor.setModified(false);
}

} // namespace

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

void showSourceText(QsciScintilla& editor, const QByteArray& bytes) {
    editor.setText(decodeText(bytes));
    keepLineEnds(editor, bytes);
    markUnmodified(editor);
}

SaveResult saveEditorFile(QsciScintilla& editor, const QString& path, bool multibyte) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {open_failed, file.errorString()};
    file.write(encode(editor.text(), multibyte));
    if (!file.commit()) return {commit_failed, file.errorString()};
    editor.setModified(false);
    return {};
}

void fillEditor(QsciScintilla& editor, const QStringList& lines) {
    editor.setEolMode(QsciScintilla::EolUnix);
    editor.setText(lines.join('\n'));
    markUnmodified(editor);
}

} // namespace ide
