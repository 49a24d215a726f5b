// The assembler's message lines as links into the sources: double-clicking a line of the form
// "FILE:  Line N  ERROR: ..." (the parser's) or "FILE  Line:N  ERROR: ..." (the back end's) in
// the "ASM Messages" box opens FILE, or brings its tab to the front, with the cursor on line N.
// The box's text is never changed.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QPlainTextEdit;

namespace ide {

class Application;
class EditorTabs;

struct MessageLocation {
    QString file;
    int line = 0; // 1 is the first line
};

// The file and line a message line names; nullopt for any other line.
std::optional<MessageLocation> parseMessageLine(const QString& line);

class MessageLinks : public QObject {
public:
    MessageLinks(Application& app, EditorTabs& tabs, QPlainTextEdit& messages);
    // Opens the location of the message on line `block` of the box; false for a line that
    // names none. A relative file is taken from the working directory, where tarn ran.
    bool followMessage(int block);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int tabShowing(const QString& path) const;

    Application& app_;
    EditorTabs& tabs_;
    QPlainTextEdit& messages_;
};

} // namespace ide
