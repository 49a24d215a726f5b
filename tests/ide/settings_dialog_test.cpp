#include "app/quit.h"
#include "app/shell_state.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "shell/panel_loader.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class SettingsDialogTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    QWidget* dialog() const { return app->shell().settingsPanel; }
    QCheckBox* box(const char* name) const { return findIn<QCheckBox>(dialog(), name); }
    void press(const char* button) { findIn<QPushButton>(dialog(), button)->click(); }
};

TEST_F(SettingsDialogTest, ShowsTheFieldsAndOpensOnlyOnce) {
    setSetting(&Settings::suppressDebugBpMessages, 1);
    setSetting(&Settings::showHints, 0);
    setSetting(&Settings::iicAddress, 0xA0);
    find<QAction>("mToolsSettings")->trigger();
    ASSERT_NE(dialog(), nullptr);
    QWidget* first = dialog();
    ide::SettingsDialog::mToolsSettings(*app);
    EXPECT_EQ(dialog(), first);
    EXPECT_EQ(dialog()->windowTitle(), "Settings");
    EXPECT_TRUE(box("suppressDebugBpMessages")->isChecked());
    EXPECT_FALSE(box("showHints")->isChecked());
    EXPECT_TRUE(box("lineNumbering")->isChecked());
    EXPECT_FALSE(box("clearAll")->isChecked());
    EXPECT_EQ(findIn<QSpinBox>(dialog(), "iicAddress")->value(), 0xA0);
    EXPECT_GE(findIn<QSpinBox>(dialog(), "iicAddress")->maximum(), 0xFFFF);
}

TEST_F(SettingsDialogTest, ApplyStoresAppliesAndReminds) {
    tabs().mFileNew();
    ide::SettingsDialog::mToolsSettings(*app);
    box("lineNumbering")->setChecked(false);
    box("showTooltips")->setChecked(false);
    box("useIic")->setChecked(true);
    findIn<QSpinBox>(dialog(), "iicAddress")->setValue(80);
    press("applyButton");
    EXPECT_EQ(dialog(), nullptr);
    const QByteArray file = readFile("settings.ini");
    EXPECT_TRUE(file.contains("Line numbering = 0\r\n"));
    EXPECT_TRUE(file.contains("IIC address = 80\r\n"));
    EXPECT_EQ(settings().useIic, 1);
    for (int tab : {0, 1})
        EXPECT_EQ(editorOf(tab)->marginWidth(0), 0);
    EXPECT_TRUE(find<QWidget>("compileButton")->toolTip().isEmpty());
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "info");
    EXPECT_EQ(popups.shown[0].text, "Please remember to set switch on EVAL board to IIC !");

    ide::SettingsDialog::mToolsSettings(*app); // nothing changed: the reminder still comes
    box("useIic")->setChecked(false);
    press("applyButton");
    EXPECT_EQ(popups.shown.last().text, "Please remember to set switch on EVAL board to SPI !");
}

TEST_F(SettingsDialogTest, CancelChangesNothing) {
    ide::SettingsDialog::mToolsSettings(*app);
    box("lineNumbering")->setChecked(false);
    press("cancelButton");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(settings().lineNumbering, 1);
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(SettingsDialogTest, RestoreDefaultsWritesAndLoadsThem) {
    app->settings().setLastProject("/p/demo.prj");
    ide::SettingsDialog::mToolsSettings(*app);
    box("lineNumbering")->setChecked(false);
    box("restoreDefaults")->setChecked(true);
    press("applyButton");
    EXPECT_EQ(settings().lineNumbering, 1);
    EXPECT_EQ(settings().suppressDebugBpMessages, 1);
    EXPECT_EQ(settings().lineNumberingIncludesGray, 1);
    EXPECT_EQ(settings().restoreDefaults, 0);
    EXPECT_EQ(settings().lastProject, "/p/demo.prj");
    EXPECT_TRUE(readFile("settings.ini").contains("Show select dialog = 0\r\n"));
}

TEST_F(SettingsDialogTest, ClearAllRunsTheQuitSequenceAndLeavesNoSettingsFile) {
    ide::SettingsDialog::mToolsSettings(*app);
    box("clearAll")->setChecked(true);
    box("restoreDefaults")->setChecked(true);
    press("applyButton");
    EXPECT_TRUE(app->quitRequested());
    EXPECT_EQ(popups.titles(), "Save Project|info");
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
    EXPECT_EQ(settings().clearAll, 1);
}

// A popup that runs its own event loop, as a message box does, and notes whether that loop
// could run at all (a program that is tearing down its loops closes every popup at once).
class ModalPopups : public PopupHandler {
public:
    int show(const Popup& popup) override {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&loop] { loop.exit(1); });
        shown << QString("%1:%2").arg(popup.title, loop.exec() == 1 ? "read" : "closed at once");
        return answerNo;
    }
    QStringList shown;
};

TEST_F(SettingsDialogTest, AfterClearAllTheReminderIsStillShownToTheUser) {
    ModalPopups modal;
    app->popups().setHandler(&modal);
    ide::SettingsDialog::mToolsSettings(*app);
    box("clearAll")->setChecked(true);
    QTimer::singleShot(0, [this] { press("applyButton"); });
    app->exec(); // the main loop ends once Apply has returned
    EXPECT_TRUE(app->quitRequested());
    EXPECT_EQ(modal.shown, (QStringList{"Save Project:read", "info:read"}));
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
}

TEST_F(SettingsDialogTest, TheDialogHasNoMaximizeButton) {
    ide::SettingsDialog::mToolsSettings(*app);
    const Qt::WindowFlags flags = dialog()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)); // only the hints below are shown
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(dialog()->minimumSize(), dialog()->maximumSize());
}

TEST_F(SettingsDialogTest, ForbiddingMaximizationRestoresTheWindow) {
    window()->showMaximized();
    settle();
    ASSERT_EQ(settings().windowStatus, 1);
    ide::SettingsDialog::mToolsSettings(*app);
    box("allowMaximization")->setChecked(false);
    press("applyButton");
    settle();
    EXPECT_FALSE(window()->isMaximized());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(settings().windowStatus, 0);
    EXPECT_TRUE(readFile("settings.ini").contains("Windowstatus = 0\r\n"));
    EXPECT_FALSE(window()->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(SettingsDialogTest, AMissingPanelIsReported) {
    app->paths().panelsDir = path("none");
    ide::SettingsDialog::mToolsSettings(*app);
    EXPECT_EQ(dialog(), nullptr);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 170");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Loading settings panel failed!\nPlease restart application (Return value -2)\n"));
}

} // namespace
} // namespace ide::test
