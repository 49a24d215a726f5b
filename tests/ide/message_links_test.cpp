// Double-clicking an assembler message in "ASM Messages" opens the file it names at its line.
#include "build/message_links.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

TEST(MessageLines, BothMessageFormsNameAFileAndALine) {
    const auto parser = parseMessageLine("/w/prog.asm:  Line 12  ERROR: misplaced comma");
    ASSERT_TRUE(parser);
    EXPECT_EQ(parser->file, "/w/prog.asm");
    EXPECT_EQ(parser->line, 12);
    const auto backEnd = parseMessageLine("inc/defs.h  Line:7  ERROR: value out of range");
    ASSERT_TRUE(backEnd);
    EXPECT_EQ(backEnd->file, "inc/defs.h");
    EXPECT_EQ(backEnd->line, 7);
    // Names with blanks, colons and the words of a message stay whole.
    const auto odd =
        parseMessageLine("/w/my \"odd\" $(dir); x/a: b.asm:  Line 3  ERROR: x  Line:9");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->file, "/w/my \"odd\" $(dir); x/a: b.asm");
    EXPECT_EQ(odd->line, 3);
    for (const char* other : {"INFO: /w/prog.asm: Processing was successful", "Ready...", "",
                              "prog.asm:  Line 0  ERROR: x", "prog.asm:  Line x  ERROR: y",
                              "prog.asm: Line 3 ERROR: single blanks", ":  Line 3  ERROR: "})
        EXPECT_FALSE(parseMessageLine(other)) << other;
}

class MessageLinksTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
        box = find<QPlainTextEdit>("asmMessages");
    }
    // A double click with the left button on line `block` of the box.
    void doubleClick(int block) {
        QTextCursor cursor(box->document()->findBlockByNumber(block));
        const QPointF at = box->cursorRect(cursor).center() + QPointF(2, 0);
        QMouseEvent click(QEvent::MouseButtonDblClick, at, box->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box->viewport(), &click);
    }
    int cursorLine(int tab) const {
        int line = 0, index = 0;
        editorOf(tab)->getCursorPosition(&line, &index);
        return line;
    }
    QPlainTextEdit* box = nullptr;
};

TEST_F(MessageLinksTest, OpensTheFileOrBringsItsTabToTheFrontAtTheLine) {
    const QString source = writeFile("w/prog.asm", "nop\nnop\nadd x, 1\nstop\n");
    writeFile("w/defs.h", "CONST a 1\nCONST b 2\n");
    const QString text = QString("%1:  Line 3  ERROR: misplaced comma\n"
                                 "w/defs.h  Line:2  ERROR: value out of range\n"
                                 "%1:  Line 99  ERROR: past the end\n"
                                 "INFO: Could not parse file")
                             .arg(source);
    box->setPlainText(text);

    doubleClick(0);
    ASSERT_EQ(tabs().editorTabCount(), 2);
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    EXPECT_EQ(tabs().editorTab(1).path, source);
    EXPECT_EQ(cursorLine(1), 2);
    EXPECT_EQ(tabs().currentFileText(), source);

    doubleClick(1); // a name relative to the working directory, where tarn ran
    ASSERT_EQ(tabs().editorTabCount(), 3);
    EXPECT_EQ(tabs().editorTab(2).path, path("w/defs.h"));
    EXPECT_EQ(cursorLine(2), 1);

    doubleClick(2); // the open tab comes to the front; a line past the end is the last one
    EXPECT_EQ(tabs().editorTabCount(), 3);
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    EXPECT_EQ(cursorLine(1), editorOf(1)->lines() - 1);

    doubleClick(3);
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    EXPECT_EQ(box->toPlainText(), text);
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
}

TEST_F(MessageLinksTest, AFileThatIsGoneIsTold) {
    box->setPlainText(path("gone.asm") + ":  Line 1  ERROR: x");
    doubleClick(0);
    EXPECT_EQ(tabs().editorTabCount(), 1);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "Info");
    EXPECT_EQ(popups.shown[0].text, "File not found: " + path("gone.asm"));
}

} // namespace
} // namespace ide::test
