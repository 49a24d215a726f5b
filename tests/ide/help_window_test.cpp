// The help windows: F1 and F2 open the two help files at their pages, F2 at the page of the
// mnemonic under the cursor, missing or broken files are told with the path looked for,
// the index and the links lead to pages, and the quit sequence closes the windows.
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "help/help_viewer.h"
#include "help/help_windows.h"
#include "ide_fixture.h"
#include "shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

const QString opcode_root = "qthelp://kz71.opcode/opcode/";
const QString general_root = "qthelp://kz71.general/general/";

class HelpWindowsTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    HelpViewer* viewer(HelpBook book) const { return app->helpWindows().viewer(book); }
    // The page a help window shows, relative to its file's root; empty when it is not open.
    QString shownPage(HelpBook book, const QString& root) const {
        HelpViewer* v = viewer(book);
        if (v == nullptr || !v->isVisible()) return {};
        const QString url = v->currentUrl().toString();
        return url.startsWith(root) ? url.mid(root.size()) : url;
    }
    // Puts the cursor of the front editor on `column` of `line` of `text`.
    void editAt(const QString& text, int line, int column) {
        QsciScintilla* editor = tabs().activeEditor();
        editor->setText(text);
        editor->setCursorPosition(line, column);
        editor->setFocus();
    }
};

TEST_F(HelpWindowsTest, F1OpensTheUserGuideAtItsIndexInOneWindow) {
    QTest::keyClick(window(), Qt::Key_F1);
    EXPECT_EQ(popups.titles(), "");
    EXPECT_EQ(shownPage(HelpBook::general, general_root), "index.htm");
    HelpViewer* first = viewer(HelpBook::general);
    EXPECT_TRUE(first->browser().toPlainText().contains("KZ71 development kit"));
    EXPECT_TRUE(first->windowTitle().endsWith("KZ71 Assembler Help"));
    // The window is its own: not a child of the main window.
    EXPECT_EQ(first->parent(), nullptr);

    first->browser().setSource(QUrl(general_root + "ide.htm"));
    find<QAction>("mHelpContents")->trigger();
    EXPECT_EQ(viewer(HelpBook::general), first);
    EXPECT_EQ(shownPage(HelpBook::general, general_root), "index.htm");
    EXPECT_EQ(viewer(HelpBook::opcode), nullptr);
}

TEST_F(HelpWindowsTest, F2OpensThePageOfTheMnemonicUnderTheCursor) {
    editAt("start:\n\tmove x, 0x1F ; copy\n\tclrC\n", 1, 3);
    QTest::keyClick(tabs().activeEditor(), Qt::Key_F2);
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "move.htm");
    EXPECT_TRUE(viewer(HelpBook::opcode)->browser().toPlainText().contains("move"));

    editAt("start:\n\tmove x, 0x1F ; copy\n\tclrC\n", 2, 5); // right after the word
    QTest::keyClick(tabs().activeEditor(), Qt::Key_F2);
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "clrC.htm");

    for (int column : {0, 9, 16}) { // the label, an accumulator, the comment
        editAt("start:\n\tmove x, 0x1F ; copy\n", column == 0 ? 0 : 1, column);
        QTest::keyClick(tabs().activeEditor(), Qt::Key_F2);
        EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "frame.htm") << column;
    }
    // The text on the Assembler page does what F2 does.
    editAt("\tnop\n", 0, 2);
    QLabel* text = find<QLabel>("opcodeHelpText");
    QTest::mouseClick(text, Qt::LeftButton);
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "nop.htm");
    EXPECT_EQ(popups.titles(), "");
}

TEST_F(HelpWindowsTest, F2OnAnotherPageOpensTheOpcodeOverview) {
    editAt("\tnop\n", 0, 2);
    main().showPage(downloadPageIndex);
    QTest::keyClick(window(), Qt::Key_F2);
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "frame.htm");
}

TEST_F(HelpWindowsTest, MissingHelpFilesAreToldWithThePathLookedFor) {
    app->paths().dataDir = dir.path(); // an installation without the help folder
    const struct {
        Qt::Key key;
        const char* book;
        int code;
    } keys[] = {{Qt::Key_F1, "general", 197}, {Qt::Key_F2, "opcode", 196}};
    for (const auto& [key, book, code] : keys) {
        popups.shown.clear();
        QTest::keyClick(window(), key);
        ASSERT_EQ(popups.shown.size(), 1) << book;
        EXPECT_EQ(popups.shown[0].title, QString("ivra-ASM Warning %1").arg(code));
        EXPECT_EQ(popups.shown[0].text,
                  QString("Cannot find %1 help file.\nPlease check, if %2/help/%1/%1.qch "
                          "exists.\nWarning %3")
                      .arg(book, dir.path())
                      .arg(code));
    }
    EXPECT_EQ(viewer(HelpBook::general), nullptr);
    EXPECT_EQ(viewer(HelpBook::opcode), nullptr);

    QDir().mkpath(path("help/general/general.qch")); // a folder is no help file
    QTest::keyClick(window(), Qt::Key_F1);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 196|ivra-ASM Warning 197");
}

TEST_F(HelpWindowsTest, AFileThatIsNoHelpFileIsToldAndOpensNoWindow) {
    app->paths().dataDir = dir.path();
    writeFile("help/opcode/opcode.qch", "not a help file\n");
    QTest::keyClick(window(), Qt::Key_F2);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 199");
    EXPECT_TRUE(popups.shown[0].text.startsWith("The help file " + path("help/opcode/opcode.qch") +
                                                " cannot be read. (Return value -1)\n"));
    EXPECT_EQ(viewer(HelpBook::opcode), nullptr);

    // The user guide's file under the opcode help's name holds no opcode help.
    QFile::remove(path("help/opcode/opcode.qch"));
    QFile::copy(QString(KZ71_BIN_DIR) + "/help/general/general.qch",
                path("help/opcode/opcode.qch"));
    QTest::keyClick(window(), Qt::Key_F2);
    EXPECT_EQ(popups.titles(), "ivra-ASM Error 199|ivra-ASM Error 199");
    EXPECT_EQ(viewer(HelpBook::opcode), nullptr);
}

TEST_F(HelpWindowsTest, TheIndexAndTheLinksLeadToPages) {
    find<QAction>("mHelpOpcodeHelp")->trigger();
    HelpViewer* v = viewer(HelpBook::opcode);
    ASSERT_NE(v, nullptr);
    // Index: a keyword typed and confirmed shows its page.
    v->indexFilter().setText("swap");
    QHelpIndexModel* index = v->engine().indexModel();
    auto filtered = [index] {
        return !index->isCreatingIndex() && index->rowCount() > 0 && index->rowCount() < 5;
    };
    for (int i = 0; i < 500 && !filtered(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(filtered()) << index->rowCount(); // swap, swap48
    QTest::keyClick(&v->indexFilter(), Qt::Key_Return);
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "swap.htm");
    // A link between pages, and back again.
    v->browser().setSource(QUrl(opcode_root + "frame.htm"));
    const QString html = v->browser().toHtml();
    ASSERT_TRUE(html.contains("href=\"add.htm\""));
    emit v->browser().anchorClicked(QUrl("add.htm"));
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "add.htm");
    v->browser().backward();
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "frame.htm");
    // A link to a page the file does not have leaves the page as it is.
    emit v->browser().anchorClicked(QUrl("nosuchpage.htm"));
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "frame.htm");
    // The page's stylesheet comes out of the help file too.
    EXPECT_FALSE(v->engine().fileData(QUrl(opcode_root + "style.css")).isEmpty());
}

TEST_F(HelpWindowsTest, ALinkFromTheUserGuideIntoTheOpcodeHelpOpensItsWindow) {
    find<QAction>("mHelpContents")->trigger();
    HelpViewer* guide = viewer(HelpBook::general);
    ASSERT_NE(guide, nullptr);
    guide->browser().setSource(QUrl(general_root + "language.htm"));
    ASSERT_TRUE(guide->browser().toHtml().contains(opcode_root + "frame.htm"));
    emit guide->browser().anchorClicked(QUrl(opcode_root + "add.htm"));
    EXPECT_EQ(shownPage(HelpBook::opcode, opcode_root), "add.htm");
    EXPECT_EQ(shownPage(HelpBook::general, general_root), "language.htm");
}

TEST_F(HelpWindowsTest, TheQuitSequenceClosesEveryHelpWindow) {
    QTest::keyClick(window(), Qt::Key_F1);
    QTest::keyClick(window(), Qt::Key_F2);
    QPointer<HelpViewer> general = viewer(HelpBook::general), opcode = viewer(HelpBook::opcode);
    ASSERT_TRUE(general && opcode);
    EXPECT_TRUE(general->isVisible() && opcode->isVisible());
    EXPECT_TRUE(Quit(*app));
    EXPECT_TRUE(general.isNull());
    EXPECT_TRUE(opcode.isNull());
}

TEST_F(HelpWindowsTest, AClosedHelpWindowOpensAgain) {
    QTest::keyClick(window(), Qt::Key_F1);
    QPointer<HelpViewer> first = viewer(HelpBook::general);
    ASSERT_TRUE(first);
    first->close();
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    find<QAction>("mHelpContents")->trigger();
    EXPECT_EQ(shownPage(HelpBook::general, general_root), "index.htm");
}

} // namespace
} // namespace ide::test
