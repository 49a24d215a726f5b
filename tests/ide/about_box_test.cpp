// The about box: one at a time, OK closes it, the installation's version replaces "Beta",
// Ctrl+Tab on OK switches the logo, the Chinese texts, and a panel that cannot be loaded.
#include "help/about_box.h"
#include "ide_fixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace ide::test {
namespace {

class AboutBoxTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        // The installation's settings of this test, not the machine's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.path());
    }
    void TearDown() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, previousSystemPath);
        IdeTest::TearDown();
    }
    void setInstallerVersion(const QByteArray& line) {
        writeFile("KZ71 Assembler.conf", "[General]\nInstallerVersion=" + line + "\n");
    }
    QWidget* box() const { return app->shell().aboutPanel; }
    QString shown(const char* label) const { return findIn<QLabel>(box(), label)->text(); }
    // The about box as it is shown, after the events that close a box have run.
    static void closeDown() {
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const QString previousSystemPath = QString("/etc/xdg");
};

TEST_F(AboutBoxTest, OneBoxAtATimeAndOKClosesIt) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    QTest::keyClick(window(), Qt::Key_F10);
    QPointer<QWidget> first = box();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "About KZ71 Assembler");
    EXPECT_EQ(first->parentWidget(), window()); // a dialog of the main window
    EXPECT_EQ(shown("productName"), "KZ71 Assembler");
    EXPECT_EQ(shown("versionText"), "Beta");
    EXPECT_TRUE(shown("creditText").contains("Tango"));
    EXPECT_TRUE(shown("creditAddress").contains("http://tango.freedesktop.org"));

    find<QAction>("mHelpAbout")->trigger();
    EXPECT_EQ(box(), first.data());
    EXPECT_EQ(window()->findChildren<QDialog*>("about").size(), 1);

    QTest::mouseClick(findIn<QPushButton>(box(), "okButton"), Qt::LeftButton);
    EXPECT_EQ(box(), nullptr);
    closeDown();
    EXPECT_TRUE(first.isNull());

    find<QAction>("mHelpAbout")->trigger();
    ASSERT_NE(box(), nullptr);
    EXPECT_TRUE(box()->isVisible());
    // Escape (and the title bar's close) closes it as OK does, so it can be opened again.
    QTest::keyClick(box(), Qt::Key_Escape);
    EXPECT_EQ(box(), nullptr);
    find<QAction>("mHelpAbout")->trigger();
    EXPECT_NE(box(), nullptr);
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(AboutBoxTest, TheInstallationsVersionReplacesBeta) {
    setInstallerVersion("2.4.1");
    ASSERT_EQ(start(), StartResult::mainWindow);
    find<QAction>("mHelpAbout")->trigger();
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(shown("versionText"), "2.4.1");
    AboutBox::current(*app)->exitAbout();

    setInstallerVersion(QByteArray(400, '7')); // at most 255 characters
    EXPECT_EQ(installerVersion(), QString(255, '7'));
    setInstallerVersion("\"3.0\\nsecond line\"");
    EXPECT_EQ(installerVersion(), "3.0");
    setInstallerVersion("<b>bold</b>"); // shown as it is written
    find<QAction>("mHelpAbout")->trigger();
    EXPECT_EQ(findIn<QLabel>(box(), "versionText")->textFormat(), Qt::PlainText);
    EXPECT_EQ(shown("versionText"), "<b>bold</b>");
    AboutBox::current(*app)->exitAbout();

    setInstallerVersion("");
    EXPECT_EQ(installerVersion(), "");
    find<QAction>("mHelpAbout")->trigger();
    EXPECT_EQ(shown("versionText"), "Beta");
}

TEST_F(AboutBoxTest, CtrlTabOnOKSwitchesTheLogo) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    find<QAction>("mHelpAbout")->trigger();
    AboutBox* about = AboutBox::current(*app);
    ASSERT_NE(about, nullptr);
    auto* ok = findIn<QPushButton>(box(), "okButton");
    auto* logo = findIn<QLabel>(box(), "logo");
    EXPECT_EQ(about->logoFile(), "icons/ivra.ico");
    const QImage vendor = logo->pixmap().toImage();
    EXPECT_FALSE(vendor.isNull());

    QTest::keyClick(ok, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(about->logoFile(), "icons/face-wink.png");
    EXPECT_FALSE(logo->pixmap().isNull());
    EXPECT_NE(logo->pixmap().toImage(), vendor);
    QTest::keyClick(ok, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(about->logoFile(), "icons/ivra.ico");
    EXPECT_EQ(logo->pixmap().toImage(), vendor);
    // Tab alone, or with another modifier, is not the switch.
    QTest::keyClick(ok, Qt::Key_Tab, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(ok, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(about->logoFile(), "icons/ivra.ico");
    EXPECT_NE(box(), nullptr);
}

TEST_F(AboutBoxTest, InChineseTheBoxIsChineseToo) {
    ASSERT_EQ(start(1024, 768, 936), StartResult::mainWindow);
    find<QAction>("mHelpAbout")->trigger();
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(box()->windowTitle(), "关于 KZ71 Assembler");
    EXPECT_EQ(shown("versionLabel"), "版本：");
    EXPECT_EQ(shown("versionText"), "测试版");
    EXPECT_EQ(findIn<QPushButton>(box(), "okButton")->text(), "确定(&O)");
    EXPECT_EQ(shown("productName"), "KZ71 Assembler");
    EXPECT_TRUE(popups.shown.isEmpty());

    // Without its file the box stays English, silently.
    AboutBox::current(*app)->exitAbout();
    app->paths().dataDir = dir.path();
    find<QAction>("mHelpAbout")->trigger();
    EXPECT_EQ(box()->windowTitle(), "About KZ71 Assembler");
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(AboutBoxTest, APanelThatCannotBeLoadedIsTold) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    writeFile("panels/about.ui", "<ui version=\"4.0\"><widget class=\"QDialog\" name=\"about\"/>"
                                 "</ui>");
    app->paths().panelsDir = path("panels");
    find<QAction>("mHelpAbout")->trigger();
    EXPECT_EQ(box(), nullptr);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 198");
    EXPECT_TRUE(popups.shown[0].text.contains("about.ui: no QLabel named \"logo\""));
}

} // namespace
} // namespace ide::test
