#include "editor/editor_setup.h"
#include "editor/find_dialog.h"
#include "editor/language_definition.h"
#include "ide_fixture.h"
#include "isa/mnemonics.h"
#include "shell/lamp.h"
#include "shell/localization.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class Languages : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        QString error;
        ASSERT_TRUE(loadLanguageDefinition(QString(KZ71_BIN_DIR) + "/lw26asm.lng", asmLang, error))
            << qPrintable(error);
        ASSERT_TRUE(loadLanguageDefinition(QString(KZ71_BIN_DIR) + "/lw26hex.lng", hexLang, error))
            << qPrintable(error);
    }
    // "style:text" for each run of a line.
    QStringList runs(const LanguageDefinition& lang, const std::string& line, bool& inBlock) {
        QStringList out;
        std::size_t at = 0;
        for (const StyleRun& run : styleLine(lang, line, inBlock)) {
            out << QString("%1:%2")
                       .arg(lang.styles[run.style].name)
                       .arg(QString::fromStdString(line.substr(at, run.length)));
            at += run.length;
        }
        EXPECT_EQ(at, line.size());
        return out;
    }
    LanguageDefinition asmLang, hexLang;
};

TEST_F(Languages, TheMnemonicsComeFromTheInstructionSet) {
    bool block = false;
    for (const isa::Mnemonic& m : isa::mnemonics())
        EXPECT_EQ(runs(asmLang, std::string(m.source), block).join('|'),
                  "mnemonic:" + QString::fromLatin1(m.source.data(), m.source.size()));
    EXPECT_EQ(runs(asmLang, "ADD add1 clk10KHz", block).join('|'), "default:ADD add1 clk10KHz");
}

TEST_F(Languages, AssemblerLinesAreStyledByTheirParts) {
    bool block = false;
    EXPECT_EQ(runs(asmLang, "loop:\tmove x, 0x1F ; copy", block).join('|'),
              "label:loop|default::\t|mnemonic:move|default: |accumulator:x|default:, "
              "|number:0x1F|default: |comment:; copy");
    EXPECT_EQ(runs(asmLang, "CONST half -0.5", block).join('|'),
              "keyword:CONST|default: half -|number:0.5");
    EXPECT_EQ(runs(asmLang, "#include \"defs.h\"", block).join('|'),
              "preprocessor:#include|default: \"defs.h\"");
    EXPECT_EQ(runs(asmLang, "nop <COMMENT> skipped", block).join('|'),
              "mnemonic:nop|default: |comment:<COMMENT> skipped");
    EXPECT_TRUE(block);
    EXPECT_EQ(runs(asmLang, "still <ENDCOMMENT> stop", block).join('|'),
              "comment:still <ENDCOMMENT>|default: |mnemonic:stop");
    EXPECT_FALSE(block);
    EXPECT_EQ(runs(asmLang, "; \xe4\xb8\xad", block).join('|'), "comment:; \xe4\xb8\xad");
}

TEST_F(Languages, HexFilesShowAddressesBytesAndComments) {
    bool block = false;
    EXPECT_EQ(runs(hexLang, "001A: 4C 00\t//--- 26: move;  x;", block).join('|'),
              "address:001A|default:: |byte:4C|default: |byte:00|default:\t|"
              "comment://--- 26: move;  x;");
}

TEST_F(Languages, BrokenLanguageFilesAreRefusedWithAReason) {
    LanguageDefinition lang;
    QString error;
    EXPECT_FALSE(loadLanguageDefinition(path("none.lng"), lang, error));
    EXPECT_TRUE(error.contains("cannot open"));
    writeFile("bad.lng", "<language><keywords style=\"nothing\">a</keywords></language>");
    EXPECT_FALSE(loadLanguageDefinition(path("bad.lng"), lang, error));
    EXPECT_TRUE(error.contains("unknown style"));
    writeFile("cut.lng", "<language><style name=\"a\"/><numbers style=\"a\"");
    EXPECT_FALSE(loadLanguageDefinition(path("cut.lng"), lang, error));
}

class Finder : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        configureEditor(editor);
        editor.setText("move x, y\nMove z, r\nremove x\nmove x, x\n");
        editor.setCursorPosition(0, 0);
    }
    QString selected() { return editor.selectedText(); }
    int line() {
        int l = 0, i = 0;
        editor.getCursorPosition(&l, &i);
        return l;
    }
    QsciScintilla editor;
};

TEST_F(Finder, FindsWithCaseWholeWordsDirectionAndWrap) {
    FindOptions o{"move"};
    EXPECT_TRUE(findInEditor(editor, o));
    EXPECT_EQ(line(), 0);
    EXPECT_TRUE(findInEditor(editor, o));
    EXPECT_EQ(line(), 1); // "Move": case is ignored
    o.matchCase = true;
    o.wholeWord = true;
    EXPECT_TRUE(findInEditor(editor, o));
    EXPECT_EQ(line(), 3); // "remove" is no whole word
    EXPECT_TRUE(findInEditor(editor, o));
    EXPECT_EQ(line(), 0); // wrapped
    o.wrap = false;
    o.backwards = true;
    EXPECT_FALSE(findInEditor(editor, o));
    o.wrap = true;
    EXPECT_TRUE(findInEditor(editor, o));
    EXPECT_EQ(line(), 3);
    EXPECT_FALSE(findInEditor(editor, FindOptions{"absent"}));
}

TEST_F(Finder, ReplacesOneMatchOrAllInOneUndoStep) {
    FindOptions o{"x"};
    o.wholeWord = true;
    o.matchCase = true;
    EXPECT_TRUE(replaceInEditor(editor, o, "y")); // first press only finds
    EXPECT_EQ(editor.text(0), "move x, y\n");
    EXPECT_TRUE(replaceInEditor(editor, o, "y"));
    EXPECT_EQ(editor.text(0), "move y, y\n");
    EXPECT_EQ(selected(), "x"); // the next match is selected
    EXPECT_EQ(replaceAllInEditor(editor, o, "z"), 3);
    EXPECT_EQ(editor.text(), "move y, y\nMove z, r\nremove z\nmove z, z\n");
    editor.undo();
    EXPECT_EQ(editor.text(), "move y, y\nMove z, r\nremove x\nmove x, x\n");
    FindOptions re{"[xyz],"};
    re.regularExpression = true;
    EXPECT_EQ(replaceAllInEditor(editor, re, ";"), 3);
    EXPECT_EQ(replaceAllInEditor(editor, FindOptions{""}, "q"), 0);
}

TEST_F(Finder, TheDialogActsOnTheEditorItIsGiven) {
    editor.setSelection(0, 5, 0, 6);
    auto* dialog = new FindDialog([this] { return &editor; }, nullptr);
    dialog->open(FindDialog::Mode::replace);
    EXPECT_EQ(dialog->windowTitle(), "Find & Replace");
    EXPECT_EQ(dialog->options().text, "x"); // taken from the selection
    dialog->replaceAll();
    EXPECT_EQ(dialog->findChild<QLabel*>("findStatus")->text(), "4 occurrences replaced.");
    dialog->open(FindDialog::Mode::find);
    EXPECT_EQ(dialog->windowTitle(), "Find");
    dialog->findNext();
    EXPECT_EQ(dialog->findChild<QLabel*>("findStatus")->text(), "\"x\" not found.");
    delete dialog;
}

// The dialog is as large as what it shows: no empty area where the replace row was.
TEST_F(Finder, TheDialogFitsWhatItShows) {
    FindDialog dialog([this] { return &editor; }, nullptr);
    dialog.open(FindDialog::Mode::replace);
    settle();
    const int replaceHeight = dialog.height();
    EXPECT_EQ(dialog.size(), dialog.layout()->totalSizeHint());
    dialog.open(FindDialog::Mode::find);
    settle();
    EXPECT_EQ(dialog.size(), dialog.layout()->totalSizeHint());
    EXPECT_LT(dialog.height(), replaceHeight);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("replaceText")->isHidden());
}

using Localization = IdeTest;

TEST_F(Localization, ReplacesTheTextsAFileNames) {
    QWidget panel;
    panel.setWindowTitle("Settings");
    auto* label = new QLabel("Line one\nLine two", &panel);
    auto* button = new QPushButton("&Apply", &panel);
    auto* other = new QLabel("Untouched", &panel);
    const QString file =
        writeFile("panel.lwl", "# comment\nSettings\t设置\nLine one\\nLine two\t第一\\n第二\n"
                               "&Apply\t应用(&A)\n");
    EXPECT_TRUE(localizePanel(panel, file));
    EXPECT_EQ(panel.windowTitle(), "设置");
    EXPECT_EQ(label->text(), "第一\n第二");
    EXPECT_EQ(button->text(), "应用(&A)");
    EXPECT_EQ(other->text(), "Untouched");
    EXPECT_FALSE(localizePanel(panel, path("missing.lwl")));
}

TEST_F(Localization, ReachesEveryKindOfShownTextButLeavesInputsAlone) {
    const QString file =
        writeFile("panel.lwl", "\xEF\xBB\xBFSignum\t符号\r\nHint\t提示\r\nGroup\t组\r\nPage\t页\r\n"
                               "Item\t项\r\nColumn\t列\r\nTyped\t已输入\r\nAction\t动作\r\n");

    QWidget panel;
    auto* lamp = new Lamp(&panel);
    lamp->setText("Signum");
    lamp->setToolTip("Hint");
    auto* group = new QGroupBox("Group", &panel);
    auto* tabs = new QTabWidget(&panel);
    tabs->addTab(new QWidget, "Page");
    tabs->setTabToolTip(0, "Hint");
    auto* list = new QComboBox(&panel);
    list->addItem("Item");
    auto* table = new QTableWidget(2, 1, &panel);
    table->setHorizontalHeaderItem(0, new QTableWidgetItem("Column"));
    auto* input = new QLineEdit("Typed", &panel);
    input->setPlaceholderText("Hint");
    auto* action = new QAction("Action", &panel);

    ASSERT_TRUE(localizePanel(panel, file));
    EXPECT_EQ(lamp->text(), "符号"); // the first line, behind a byte order mark
    EXPECT_EQ(lamp->toolTip(), "提示");
    EXPECT_EQ(group->title(), "组");
    EXPECT_EQ(tabs->tabText(0), "页");
    EXPECT_EQ(tabs->tabToolTip(0), "提示");
    EXPECT_EQ(list->itemText(0), "项");
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "列");
    EXPECT_EQ(input->text(), "Typed");
    EXPECT_EQ(input->placeholderText(), "提示");
    EXPECT_EQ(action->text(), "动作");
}

} // namespace
} // namespace ide::test
