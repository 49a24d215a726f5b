// The Download page's commands end to end on the simulated programmer: what reaches the chip,
// what the page shows (messages, lamp, label, progress bar, user EEPROM table), the questions
// and warnings, the failures, and that the window is served but the user cannot act while an
// operation runs.
#include "download/download_commands.h"
#include "download_fixture.h"
#include "pages/download_page.h"
#include "programmer/download_commands.h"
#include "settings/settings.h"
#include "shell/lamp.h"
#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

namespace ide::test {
namespace {

const QString separator = "- - - - - - - - - - - - - - - - - - - - - - - - -";

class DownloadPage : public DownloadTest {
protected:
    const auto& eeprom() const { return simulator->board().spi_eeprom.contents(); }
    bool eepromHolds(const Bytes& image) const {
        return std::equal(image.begin(), image.end(), eeprom().begin());
    }
    bool readVerifyAvailable() const {
        const bool menu = find<QAction>("mDownloadRdVerify")->isEnabled();
        EXPECT_EQ(menu, enabled("readVerifyButton")) << "menu item and button disagree";
        return menu;
    }
};

TEST_F(DownloadPage, DownloadThenVerifyTheSpiEepromWithSuccess) {
    const Bytes image = countingBytes(40);
    selectHexFile(image);
    EXPECT_FALSE(readVerifyAvailable()); // nothing downloaded yet

    click("downloadButton");
    EXPECT_TRUE(eepromHolds(image));
    EXPECT_EQ(eeprom()[40], 0xFF); // the last page padded
    // The texts reach the box as they are, without line breaks of the box's own.
    EXPECT_TRUE(messages().startsWith("Opening connection...\nLooking for KZ71 programmer...\n"))
        << messages().toStdString();
    EXPECT_TRUE(messages().contains("Communication check......OK.\nDownload in progress..."));
    EXPECT_TRUE(messages().endsWith("\nClose connection...\n\n" + separator + "\n"));
    EXPECT_EQ(lampLabel(), "Download");
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_TRUE(lamp().isOn());
    EXPECT_EQ(lamp().onColor(), QColor(0x00, 0xFF, 0x00));
    EXPECT_TRUE(readVerifyAvailable());
    EXPECT_TRUE(acting.shown.isEmpty()) << acting.titles().toStdString();

    click("readVerifyButton");
    EXPECT_EQ(lampLabel(), "Read & Verify");
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_TRUE(messages().contains("\nSelected memory: SPI EEPROM\nOpening connection..."));
    EXPECT_TRUE(messages().contains("\nNumber of verified bytes: 40"));
    EXPECT_TRUE(messages().endsWith("\nRead & verify was successful. Download was successful.\n\n" +
                                    separator + "\n"));
    EXPECT_FALSE(visible("verifyFailedText"));
    EXPECT_FALSE(visible("downloadProgress")); // only while a memory is worked on
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(acting.shown.isEmpty()) << acting.titles().toStdString();
}

TEST_F(DownloadPage, TheProgressBarMovesUnderTheBusyCursor) {
    selectHexFile(countingBytes(200)); // 13 pages
    std::vector<int> values;
    std::vector<int> maximums;
    bool busyCursor = true;
    QObject::connect(&progressBar(), &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        maximums.push_back(progressBar().maximum());
        const QCursor* cursor = QApplication::overrideCursor();
        busyCursor = busyCursor && cursor && cursor->shape() == Qt::WaitCursor;
        EXPECT_TRUE(visible("downloadProgress"));
    });
    click("downloadButton");
    ASSERT_EQ(statusText(), "SUCCESS");
    EXPECT_TRUE(busyCursor);
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 13);
    EXPECT_EQ(maximums.back(), 13);

    values.clear();
    click("readVerifyButton");
    ASSERT_EQ(statusText(), "SUCCESS");
    EXPECT_EQ(values.back(), 200); // one step per byte read back
    EXPECT_EQ(progressBar().maximum(), 200);
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DownloadPage, TheWindowIsServedWhileTheUserCannotAct) {
    selectHexFile(countingBytes(64));
    // What the event loop delivers in the middle of the download: a timer, clicks on Get Device
    // Info and on the Assembler page's tab, the download's shortcut, and a close of the window
    // by its title bar.
    QString lampWhenServed;
    std::size_t transfersWhenServed = 0;
    QTimer::singleShot(0, [&] {
        lampWhenServed = statusText();
        transfersWhenServed = simulator->log().size();
    });
    const auto postClick = [](QWidget* widget, QPointF at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(widget, new QMouseEvent(type, at, widget->mapToGlobal(at),
                                                                Qt::LeftButton, Qt::LeftButton,
                                                                Qt::NoModifier));
    };
    auto* info = find<QPushButton>("getDevInfoButton");
    postClick(info, QPointF(info->width() / 2.0, info->height() / 2.0));
    main().showPage(2);
    auto* pageTabs = find<QTabWidget>("mainTabs")->findChild<QTabBar*>();
    postClick(pageTabs, pageTabs->tabRect(0).center());
    QCoreApplication::postEvent(window(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F4, Qt::ControlModifier));
    QCoreApplication::postEvent(window(), new QCloseEvent);
    find<QAction>("mDownloadHexFile")->trigger(); // no settle(): only the download serves events

    EXPECT_EQ(lampWhenServed, "IN PROGRESS");
    EXPECT_GT(transfersWhenServed, 0u);
    ASSERT_EQ(statusText(), "SUCCESS");
    const std::size_t transfers = simulator->log().size();
    settle();
    EXPECT_EQ(simulator->log().size(), transfers); // the input was dropped, not kept for later
    EXPECT_FALSE(messages().contains("Devices found"));
    EXPECT_EQ(messages().count("Opening connection..."), 1);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_FALSE(app->quitRequested());
    EXPECT_EQ(main().frontPage(), 2);

    // Afterwards the same click is the user's again.
    info->click();
    EXPECT_TRUE(messages().contains("Devices found: 1"));
}

TEST_F(DownloadPage, NoOperationStartsWhileAnotherRuns) {
    selectHexFile(countingBytes(32));
    bool nestedRan = true;
    QObject::connect(&progressBar(), &QProgressBar::valueChanged, [&](int value) {
        if (value != 1) return;
        nestedRan = commands().runOnProgrammer([](programmer::ProgrammerLink&) {});
        find<QAction>("mDownloadGetDevInfo")->trigger();
    });
    click("downloadButton");
    EXPECT_FALSE(nestedRan);
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_FALSE(messages().contains("Devices found"));
    EXPECT_FALSE(commands().running());
}

TEST_F(DownloadPage, OtpIsProgrammedOnlyAfterTheWarningIsConfirmed) {
    selectHexFile(countingBytes(20));
    EXPECT_FALSE(enabled("readProtect"));
    chooseMemory(1);
    EXPECT_TRUE(enabled("readProtect"));

    acting.answers = {answerNo};
    runMenu("mDownloadHexFile");
    ASSERT_EQ(acting.shown.size(), 1);
    EXPECT_EQ(acting.shown[0].title, "Warning");
    EXPECT_EQ(acting.shown[0].text,
              "Warning: any change to the OTP content is permanent, do you want to continue?");
    EXPECT_EQ(acting.shown[0].buttons, PopupButtons::yesNo);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(lampLabel(), "Status");
    EXPECT_EQ(statusText(), "");

    acting.answers = {answerYes};
    runMenu("mDownloadHexFile");
    EXPECT_EQ(statusText(), "SUCCESS");
    const auto& otp = simulator->chip().otp().cells();
    EXPECT_TRUE(std::equal(otp.begin(), otp.begin() + 20, countingBytes(20).begin()));
    EXPECT_TRUE(messages().contains("\nSelected memory: OTP"));
    EXPECT_TRUE(messages().contains("\nWarning: Read Protect option not selected !\n"));
    EXPECT_EQ(countWire("OUT B0 00A7"), 20u);

    // Read & Verify follows the page's selection, from the menu as from the button.
    runMenu("mDownloadRdVerify");
    EXPECT_TRUE(messages().contains("\nSelected memory: OTP\nOpening connection..."));
    EXPECT_EQ(statusText(), "SUCCESS");
}

TEST_F(DownloadPage, ReadProtectWarnsWhenTickedAndIsWrittenLast) {
    chooseMemory(1);
    auto* protect = find<QCheckBox>("readProtect");
    protect->click();
    ASSERT_EQ(acting.titles(), "ivra-ASM Warning 998");
    EXPECT_EQ(acting.shown[0].text,
              "By activating Read Protect, the OTP will be protected from reading, this action "
              "can not be undone!\nWarning 998");
    protect->click(); // unticking says nothing
    EXPECT_EQ(acting.shown.size(), 1);
    protect->click();
    chooseMemory(0);
    EXPECT_FALSE(enabled("readProtect"));
    chooseMemory(1);

    acting.shown.clear();
    acting.answers = {answerYes};
    selectHexFile(countingBytes(8));
    click("downloadButton");
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_TRUE(simulator->chip().otp().readProtected());
    const std::vector<std::string> lines = wire();
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return line.starts_with("OUT B0 00A7");
    });
    ASSERT_NE(last, lines.rend());
    EXPECT_EQ(*last, "OUT B0 00A7 1FCF [FF]");
    EXPECT_TRUE(messages().contains("\nRead Protect option selected\n"));
}

TEST_F(DownloadPage, DeviceInfoAndResetInterface) {
    runMenu("mDownloadGetDevInfo");
    EXPECT_EQ(main().frontPage(), 2);
    EXPECT_TRUE(
        messages().contains("\n\nDevices found: 1\nInstrument descriptor: "
                            "USB0::0x194E::0x100F::KZ71SIM0001::RAW\nFirmware version: 1\n"))
        << messages().toStdString();
    EXPECT_EQ(lampLabel(), "Status");
    EXPECT_FALSE(lamp().isOn()); // idle again once closed
    EXPECT_EQ(lamp().offColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(statusText(), "");

    selectHexFile(countingBytes(4));
    click("downloadButton");
    ASSERT_TRUE(readVerifyAvailable());
    main().showAssemblerPage();
    runMenu("mDownloadResetInterface");
    EXPECT_EQ(main().frontPage(), 2); // the menu form brings the page to the front
    EXPECT_TRUE(messages().endsWith("\n\nReset interface...\nDone"));
    EXPECT_EQ(lampLabel(), "Status");
    EXPECT_EQ(statusText(), "");
    EXPECT_FALSE(readVerifyAvailable());

    // The first open after the reset starts a fresh message box.
    click("getDevInfoButton");
    EXPECT_TRUE(messages().startsWith("Opening connection...")) << messages().toStdString();
    EXPECT_FALSE(messages().contains("Reset interface"));
}

TEST_F(DownloadPage, WithoutAProgrammerTheDownloadFails) {
    simulator->unplug();
    selectHexFile(countingBytes(16));
    click("downloadButton");
    EXPECT_TRUE(messages().contains("\nLooking for KZ71 programmer...\n"));
    EXPECT_TRUE(messages().contains("KZ71 programmer not found!\n"));
    EXPECT_EQ(statusText(), "FAILED");
    EXPECT_EQ(lamp().onColor(), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(lampLabel(), "Download");
    EXPECT_FALSE(readVerifyAvailable());
    EXPECT_TRUE(acting.shown.isEmpty()) << acting.titles().toStdString();
}

TEST_F(DownloadPage, PullingTheCableHalfwayFailsTheDownload) {
    selectHexFile(countingBytes(160)); // 10 pages
    QObject::connect(&progressBar(), &QProgressBar::valueChanged, [&](int value) {
        if (value == 4) simulator->unplug();
    });
    click("downloadButton");
    EXPECT_EQ(statusText(), "FAILED");
    EXPECT_EQ(acting.titles(), "ivra-ASM Error 131");
    EXPECT_TRUE(acting.shown[0].text.startsWith("Programming Spi EEPROM failed\n"));
    EXPECT_TRUE(messages().contains("\nProgramming Spi EEPROM failed !\n"));
    EXPECT_TRUE(messages().contains("\nNumber of programmed bytes: 160"));
    EXPECT_FALSE(readVerifyAvailable());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DownloadPage, ACorruptedByteFailsTheVerifyUntilItReadsBackRight) {
    selectHexFile(countingBytes(30));
    click("downloadButton");
    ASSERT_EQ(statusText(), "SUCCESS");
    simulator->faults().corruptRead(sim::Memory::spi_eeprom, 5, 0x01);
    click("readVerifyButton");
    EXPECT_EQ(statusText(), "FAILED");
    EXPECT_TRUE(visible("verifyFailedText"));
    EXPECT_TRUE(messages().contains("\nNumber of verified bytes: 5")) << messages().toStdString();
    ASSERT_EQ(acting.titles(), "ivra-ASM Error 132");
    EXPECT_EQ(acting.shown[0].text,
              "Read & verify failed.\nPlease download hexfile again!\nError 132");
    EXPECT_TRUE(readVerifyAvailable()); // a failed verify leaves the download standing

    simulator->faults().clear();
    click("readVerifyButton");
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_FALSE(visible("verifyFailedText"));
}

TEST_F(DownloadPage, WithoutAHexFileTheDialogIsOfferedAndACancelSendsNothing) {
    main().showAssemblerPage();
    runMenu("mDownloadHexFile");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].title, "Select Hex-File");
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"*.hex"});
    EXPECT_EQ(main().frontPage(), 2); // the menu form shows the page before the dialog
    EXPECT_EQ(acting.titles(), "ivra-ASM Warning 130");
    EXPECT_EQ(acting.shown[0].text, "There was no hexfile selected for download\nWarning 130");
    EXPECT_TRUE(wire().empty());

    // A file chosen in the dialog is downloaded at once.
    const QString hex = writeFile("chosen.hex", hexFileText(countingBytes(6)));
    dialogs.choices.push_back({1, {hex}});
    click("downloadButton");
    EXPECT_EQ(app->build().hexFilePath, hex);
    EXPECT_EQ(find<QLabel>("hexFileName")->text(), hex);
    EXPECT_TRUE(visible("hexView"));
    EXPECT_EQ(statusText(), "SUCCESS");
    EXPECT_TRUE(eepromHolds(countingBytes(6)));
}

TEST_F(DownloadPage, SelectHexFileStartsBesideTheKnownFiles) {
    app->build().mainFilePath = writeFile("project/main.asm", "");
    main().showAssemblerPage();
    runMenu("mDownloadSelHexFile");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].start, path("project"));
    EXPECT_EQ(main().frontPage(), 2);
    EXPECT_TRUE(visible("noHexText")); // cancelled: still none

    const QString hex = writeFile("other/prog.hex", hexFileText({0x70, 0x00}));
    dialogs.choices.push_back({1, {hex}});
    click("selectHexButton");
    EXPECT_EQ(app->build().hexFilePath, hex);
    EXPECT_TRUE(visible("hexView"));
    click("selectHexButton");
    EXPECT_EQ(dialogs.requests.last().start, path("other"));
    EXPECT_EQ(app->build().hexFilePath, hex); // a cancel keeps the selection
}

TEST_F(DownloadPage, TheUserEepromFollowsEveryDownloadAndFillsTheTable) {
    app->build().eprFilePath =
        writeFile("prog.epr", eprFileText({{0x00, 0x12}, {0x09, 0xAB}, {0x7F, 0x01}}));
    // The program's hex file cannot be read: its download fails, the user EEPROM still follows.
    app->build().hexFilePath = path("missing.hex");
    std::vector<int> values;
    QObject::connect(&progressBar(), &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    click("downloadButton");
    EXPECT_TRUE(messages().contains("\nReading from hexfile failed !\n"));
    EXPECT_TRUE(messages().contains("\nWriting user EEPROM..."));
    EXPECT_TRUE(messages().contains("\nNumber of programmed user EEPROM bytes: 128"));
    EXPECT_EQ(acting.titles(), "ivra-ASM Error 131");
    EXPECT_EQ(statusText(), "FAILED"); // the cells were written, the program was not
    const auto& cells = simulator->chip().userEeprom().cells();
    EXPECT_EQ(cells[0x00], 0x12);
    EXPECT_EQ(cells[0x09], 0xAB);
    EXPECT_EQ(cells[0x7F], 0x01);
    EXPECT_GT(values.size(), 2u); // the bar moved along the file
    EXPECT_EQ(values.back(), progressBar().maximum());

    auto* table = find<QTableWidget>("userEepromTable");
    EXPECT_TRUE(visible("userEepromTable"));
    EXPECT_EQ(table->item(0, 0)->text(), "0x12");
    EXPECT_EQ(table->item(1, 1)->text(), "0xab");
    EXPECT_EQ(table->item(15, 7)->text(), "0x01");
    EXPECT_EQ(table->item(0, 1)->text(), "0x00");
    // All eight columns are shown whole, each wide enough for its values; the message box
    // and the progress bar end before the table.
    settle();
    const QRect log = find<QWidget>("downloadMessages")->geometry();
    EXPECT_LT(log.right(), table->x());
    EXPECT_LE(log.width(), find<QWidget>("downloadPage")->width() - 266);
    EXPECT_LE(progressBar().geometry().right(), log.right());
    EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width());
    const QFontMetrics metrics = table->fontMetrics();
    for (int column = 0; column < 8; ++column)
        EXPECT_GE(table->columnWidth(column), metrics.horizontalAdvance("0xab") + 6) << column;
}

TEST_F(DownloadPage, TheIicChoiceAndAddressComeFromTheSettings) {
    setSetting(&Settings::useIic, 1);
    setSetting(&Settings::iicAddress, 0x20);
    click("getDevInfoButton");
    const std::vector<std::string> lines = wire();
    const auto select = std::find(lines.begin(), lines.end(), "OUT B0 0056 0000 []");
    ASSERT_NE(select, lines.end());
    ASSERT_NE(select + 1, lines.end());
    EXPECT_EQ(*(select + 1), "OUT B0 007D 0020 []");
    EXPECT_TRUE(messages().contains("\nusing IIC interface for communication with KZ71\n"));
    EXPECT_TRUE(messages().contains("Firmware version: 1"));
}

TEST_F(DownloadPage, MenuToolbarAndPageButtonsAreOneCommand) {
    const std::pair<const char*, const char*> pairs[] = {
        {"mDownloadGetDevInfo", "getDevInfoButton"},
        {"mDownloadHexFile", "downloadButton"},
        {"mDownloadRdVerify", "readVerifyButton"},
        {"mDownloadSelHexFile", "selectHexButton"},
        {"mDownloadResetInterface", "resetInterfaceButton"}};
    for (const auto& [item, button] : pairs) {
        EXPECT_EQ(find<QAction>(item)->isEnabled(), enabled(button)) << item;
        EXPECT_EQ(app->commands().isEnabled(item), std::string(item) != "mDownloadRdVerify")
            << item;
    }
    // The toolbar's Download button is the menu item itself.
    auto* toolbar = window()->findChild<QToolBar*>();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->actions().contains(find<QAction>("mDownloadHexFile")));
    EXPECT_EQ(find<QAction>("mDownloadHexFile")->shortcut(), QKeySequence("Ctrl+F4"));
}

TEST_F(DownloadPage, ALongSessionsMessagesKeepTheNewestLinesWithinTheBound) {
    const Bytes image = countingBytes(40);
    selectHexFile(image);
    click("downloadButton");
    const QString first = messages();
    ASSERT_TRUE(first.startsWith("Opening connection...")) << first.toStdString();
    auto* box = window()->findChild<QPlainTextEdit*>("downloadMessages");
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < ide::DownloadPage::max_message_lines; ++i)
        box->appendPlainText("filler");
    click("downloadButton");
    EXPECT_EQ(box->blockCount(), ide::DownloadPage::max_message_lines);
    EXPECT_FALSE(messages().startsWith("Opening connection..."));
    EXPECT_TRUE(messages().endsWith(first.right(40))) << messages().right(200).toStdString();
}

} // namespace
} // namespace ide::test
