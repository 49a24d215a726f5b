// Reading a source file into an editor and writing it back.
#pragma once

#include <QByteArray>
#include <QString>

class QsciScintilla;

namespace ide {

// A file's bytes as text: UTF-8 when they are valid UTF-8, else Latin-1.
QString decodeText(const QByteArray& bytes);

// Replaces the editor's text with a file's bytes (UTF-8 when the bytes are valid UTF-8, else
// Latin-1), keeps the file's line ends, clears the undo history and the modified flag.
void showSourceText(QsciScintilla& editor, const QByteArray& bytes);

struct SaveResult {
    int status = 0; // 0 saved, negative on failure
    QString error;
};

// Writes the editor's text to `path` through a temporary file, so a failed save never
// leaves a truncated file. With `multibyte` the text is written as UTF-8; without it as
// Latin-1, unless the text holds characters Latin-1 cannot hold (then UTF-8, so nothing
// is lost). Clears the modified flag on success.
SaveResult saveEditorFile(QsciScintilla& editor, const QString& path, bool multibyte);

// Sets the editor's text to `lines` joined by line feeds (the templates), unmodified.
void fillEditor(QsciScintilla& editor, const QStringList& lines);

} // namespace ide
