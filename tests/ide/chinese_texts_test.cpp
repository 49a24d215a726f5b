// The shipped Chinese texts: every English text a panel shows has its Chinese text, the
// files are well formed, and a Chinese start shows the panels in Chinese without a warning.
#include "app/shell_state.h"
#include "ide_fixture.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "shell/lamp.h"
#include "shell/localization.h"
#include "shell/panel_loader.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMetaProperty>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <memory>

namespace ide::test {
namespace {

const char* const panels[] = {"big", "notsupported", "toolssettings", "about", "RAM"};

QString languageFile(const QString& panel) {
    return QString(KZ71_BIN_DIR) + "/chinese/" + panel + ".lwl";
}

// Words that read the same in both languages: product names, chips, memories, registers.
bool keptWord(const QString& word) {
    static const QStringList kept = {"ASM", "EEPROM", "EOF", "English",     "Hex",   "IIC", "ivra",
                                     "OTP", "RAM",    "SPI", "SPI_SSN_RST", "Tango", "USB"};
    return kept.contains(word);
}

// True when `text` still holds an English word a Chinese reader would have to read.
bool needsTranslation(QString text) {
    static const QStringList keptTexts = {"KZ71 Assembler", "untitled.asm"};
    text.remove(QRegularExpression("<[^>]*>")).replace("&&", "&").remove('&');
    if (keptTexts.contains(text)) return false;
    text.remove("KZ71 Assembler"); // the product's name, also within a text
    static const QRegularExpression words("[A-Za-z0-9_]+");
    for (const auto& match : words.globalMatch(text)) {
        const QString word = match.captured();
        if (word.size() >= 2 && !word.contains(QRegularExpression("[0-9]")) && !keptWord(word))
            return true;
    }
    return false;
}

// Properties that name or hold data rather than show a text of the panel. A control marked
// "verbatim" shows the same text in every language (names, addresses).
bool notShown(const QObject& object, const char* property) {
    if (object.property("verbatim").toBool()) return true;
    static const QStringList names = {
        "objectName", "accessibleName", "accessibleDescription", "styleSheet",  "plainText",
        "html",       "markdown",       "documentTitle",         "currentText", "cleanText"};
    if (names.contains(property)) return true;
    const bool input = qobject_cast<const QLineEdit*>(&object) ||
                       object.inherits("QAbstractSpinBox") || object.inherits("QsciScintilla");
    return input && qstrcmp(property, "text") == 0;
}

// Every text the panel shows, whatever kind of control carries it.
QStringList shownTexts(QWidget& panel) {
    QStringList texts;
    QList<QObject*> objects = panel.findChildren<QObject*>();
    objects.prepend(&panel);
    for (QObject* object : objects) {
        const QMetaObject* meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            QMetaProperty p = meta->property(i);
            if (p.typeId() == QMetaType::QString && !notShown(*object, p.name()))
                texts << p.read(object).toString();
        }
    }
    for (QTabWidget* tabs : panel.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i);
    for (QComboBox* list : panel.findChildren<QComboBox*>())
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
    for (QTableWidget* table : panel.findChildren<QTableWidget*>())
        for (int i = 0; i < table->columnCount(); ++i)
            if (QTableWidgetItem* header = table->horizontalHeaderItem(i)) texts << header->text();
    return texts;
}

// The letter after a single "&", lower case; empty when the text has none.
QString mnemonic(const QString& text) {
    static const QRegularExpression marked("&([A-Za-z0-9])");
    return marked.match(QString(text).remove("&&")).captured(1).toLower();
}

class ChineseTexts : public IdeTest {
protected:
    // The panel as a Chinese user sees it; nullptr (and a failure) when it cannot be had.
    std::unique_ptr<QWidget> localizedPanel(const char* name) {
        PanelResult loaded = loadPanel(app->paths(), name);
        EXPECT_NE(loaded.panel, nullptr) << qPrintable(loaded.error);
        std::unique_ptr<QWidget> panel(loaded.panel);
        if (panel && !localizePanel(*panel, languageFile(name))) {
            ADD_FAILURE() << name << ".lwl cannot be applied";
            panel.reset();
        }
        return panel;
    }
};

TEST_F(ChineseTexts, EveryTextOfEveryPanelHasItsChineseText) {
    for (const char* name : panels) {
        std::unique_ptr<QWidget> panel = localizedPanel(name);
        ASSERT_NE(panel, nullptr);
        QStringList english;
        for (const QString& text : shownTexts(*panel))
            if (needsTranslation(text)) english << text;
        english.removeDuplicates();
        EXPECT_TRUE(english.isEmpty()) << name << ".lwl lacks: " << qPrintable(english.join(" | "));
    }
}

TEST_F(ChineseTexts, ChineseTextsFitTheirControls) {
    static const QRegularExpression chinese("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]");
    for (const char* name : panels) {
        std::unique_ptr<QWidget> panel = localizedPanel(name);
        ASSERT_NE(panel, nullptr);
        QStringList clipped;
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            QString text = w->property("text").toString();
            if (!text.contains(chinese)) continue;
            // A push button's frame and padding are drawn around the text, not beside it.
            int needed = qobject_cast<QPushButton*>(w)
                             ? w->fontMetrics().horizontalAdvance(text.remove('&')) + 8
                             : w->sizeHint().width();
            if (needed > w->width())
                clipped << QString("%1 (%2 > %3)").arg(w->objectName()).arg(needed).arg(w->width());
        }
        EXPECT_TRUE(clipped.isEmpty()) << name << ": " << qPrintable(clipped.join(", "));
    }
}

TEST_F(ChineseTexts, FilesAreWellFormedAndKeepTheMnemonics) {
    for (const char* name : panels) {
        QFile file(languageFile(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QString content = QString::fromUtf8(file.readAll());
        QSet<QString> keys;
        int line = 0;
        for (const QString& text : content.split('\n')) {
            ++line;
            if (text.isEmpty() || text.startsWith('#')) continue;
            const QStringList pair = text.split('\t');
            ASSERT_EQ(pair.size(), 2) << name << ":" << line;
            const QString &english = pair[0], &chinese = pair[1];
            EXPECT_FALSE(chinese.trimmed().isEmpty()) << name << ":" << line;
            EXPECT_FALSE(keys.contains(english)) << name << ":" << line << " repeats its key";
            keys.insert(english);
            EXPECT_FALSE(needsTranslation(chinese)) << name << ":" << line;
            EXPECT_EQ(mnemonic(chinese), mnemonic(english)) << name << ":" << line;
        }
    }
}

TEST_F(ChineseTexts, AChineseStartShowsTheMainWindowInChineseWithoutAWarning) {
    for (int codePage : {936, 950}) {
        ASSERT_EQ(start(1024, 768, codePage), StartResult::mainWindow);
        EXPECT_EQ(settings().language, 1);
        EXPECT_EQ(popups.titles(), "") << codePage;
        QMainWindow* w = window();
        EXPECT_EQ(w->windowTitle(), "KZ71 Assembler");
        EXPECT_EQ(findIn<QAbstractButton>(w, "compileButton")->text(), "编译(&C)");
        EXPECT_EQ(findIn<QAbstractButton>(w, "exitButton")->text(), "退出(&X)");
        EXPECT_EQ(findIn<QTabWidget>(w, "mainTabs")->tabText(0), "汇编器(&S)");
        EXPECT_EQ(findIn<QMenu>(w, "menuFile")->title(), "文件(&F)");
        EXPECT_EQ(findIn<QAction>(w, "mEditFindReplace")->text(), "查找和替换");
        EXPECT_EQ(findIn<Lamp>(w, "carryLamp")->text(), "进位");
        // The toolbar's tooltips and those the program sets are Chinese too.
        QStringList english;
        for (QAction* button : w->findChild<QToolBar*>("asmToolbar")->actions())
            if (needsTranslation(button->toolTip())) english << button->toolTip();
        for (QWidget* control : w->findChildren<QWidget*>())
            if (needsTranslation(control->toolTip())) english << control->toolTip();
        EXPECT_TRUE(english.isEmpty()) << qPrintable(english.join(" | "));
        // Values are not labels: they stay as they are.
        EXPECT_EQ(findIn<QComboBox>(w, "memorySelection")->itemText(0), "SPI EEPROM");
        find<QTabWidget>("mainTabs")->setCurrentIndex(1); // no build yet: only the hint
        EXPECT_EQ(find<QWidget>("debuggerHint")->x(), w->width() / 3);

        SettingsDialog::mToolsSettings(*app);
        QWidget* dialog = app->shell().settingsPanel;
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "设置");
        EXPECT_EQ(findIn<QAbstractButton>(dialog, "applyButton")->text(), "应用(&A)");
        EXPECT_EQ(popups.titles(), "") << codePage;
        SettingsDialog::current(*app)->cbSettingsCancel();
        app->discardPanels();
    }
}

TEST_F(ChineseTexts, TheNotSupportedWindowIsInChineseToo) {
    ASSERT_EQ(start(799, 600, 936), StartResult::notSupported);
    QWidget* panel = app->shell().notSupportedPanel;
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(findIn<QLabel>(panel, "notSupportedText")->text(), "不支持当前屏幕分辨率。");
    EXPECT_EQ(findIn<QAbstractButton>(panel, "exitButton")->text(), "退出(&X)");
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(ChineseTexts, WithoutItsFilesAChineseStartWarnsAndStaysEnglish) {
    app->paths().dataDir = dir.path(); // an installation without the chinese folder
    ASSERT_EQ(start(1024, 768, 936), StartResult::mainWindow);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 22");
    EXPECT_EQ(popups.shown.front().text, "Loading chinese coding failed!\nWarning 22");
    EXPECT_EQ(find<QAbstractButton>("compileButton")->text(), "&Compile");

    popups.shown.clear();
    SettingsDialog::mToolsSettings(*app);
    ASSERT_NE(app->shell().settingsPanel, nullptr);
    EXPECT_EQ(app->shell().settingsPanel->windowTitle(), "Settings");
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 22");
    SettingsDialog::current(*app)->cbSettingsCancel();
}

} // namespace
} // namespace ide::test
