#include "build/message_links.h"

#include "app/application.h"
#include "editor/editor_tabs.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// Parser: "%s:  Line %d  ERROR: %s"; back end: "%s  Line:%d  ERROR: ...". The file name is
// the shortest text before the line number, so a path with blanks or colons stays whole.
const QRegularExpression parser_message(R"(^(.+?):  Line (\d+)  ERROR: )");
const QRegularExpression back_end_message(R"(^(.+?)  Line:(\d+)  ERROR: )");

} // namespace

std::optional<MessageLocation> parseMessageLine(const QString& line) {
    for (const QRegularExpression* form : {&parser_message, &back_end_message}) {
        const QRegularExpressionMatch match = form->match(line);
        if (!match.hasMatch()) continue;
        bool ok = false;
        const int number = match.captured(2).toInt(&ok);
        if (ok && number > 0) return MessageLocation{match.captured(1), number};
    }
    return std::nullopt;
}

MessageLinks::MessageLinks(Application& app, EditorTabs& tabs, QPlainTextEdit& messages)
    : QObject(&messages), app_(app), tabs_(tabs), messages_(messages) {
    messages_.viewport()->installEventFilter(this);
}

bool MessageLinks::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return false;
    auto* click = static_cast<QMouseEvent*>(event);
    if (click->button() != Qt::LeftButton) return false;
    const int block = messages_.cursorForPosition(click->position().toPoint()).blockNumber();
    return followMessage(block);
}

// The tab whose file is `path`, also when the two are spelled differently; -1 for none.
int MessageLinks::tabShowing(const QString& path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    for (int i = 0; i < tabs_.editorTabCount(); ++i) {
        const QString& tabPath = tabs_.editorTab(i).path;
        if (tabPath == path || (!tabPath.isEmpty() && !wanted.isEmpty() &&
                                QFileInfo(tabPath).canonicalFilePath() == wanted))
            return i;
    }
    return -1;
}

bool MessageLinks::followMessage(int block) {
    const std::optional<MessageLocation> location =
        parseMessageLine(messages_.document()->findBlockByNumber(block).text());
    if (!location) return false;
    const QString path = QDir::current().absoluteFilePath(location->file);
    int tab = tabShowing(location->file);
    if (tab < 0) tab = tabShowing(path);
    if (tab < 0) {
        if (!QFileInfo(path).isFile()) {
            app_.popups().showPopup({PopupIcon::warning, PopupButtons::ok, "Info",
                                     QString("File not found: %1").arg(path)});
            return true;
        }
        tabs_.openChosenPath(path);
        tab = tabShowing(path);
        if (tab < 0) return true; // refused; the user was told why
    }
    tabs_.activateEditorTab(tab);
    tabs_.showCurrentFile(tabs_.editorTab(tab).path);
    if (QsciScintilla* editor = tabs_.editorTab(tab).editor) {
        const int line = qMin(location->line, editor->lines()) - 1;
        editor->setCursorPosition(qMax(line, 0), 0);
        editor->ensureLineVisible(qMax(line, 0));
        editor->setFocus();
    }
    return true;
}

} // namespace ide
