#include "ide_fixture.h"
#include "shell/popups.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>

namespace ide::test {
namespace {

using CodedPopups = IdeTest;

TEST_F(CodedPopups, NameTheirKindAndCodeInTheTitleAndTheLastLine) {
    app->popups().showErrorPopup("Opening file failed!", 30);
    app->popups().showErrorPopup("Saving of file failed!", 31, -4, "Disk full");
    app->popups().showErrorPopup("Loading failed!", 20, 0, "no return value, no detail");
    app->popups().showWarningPopup("Too many files.", 32);
    app->popups().showInfoPopup("Done.", 5);
    EXPECT_EQ(popups.titles(), "ivra-ASM Error 30|ivra-ASM Error 31|ivra-ASM Error 20|"
                               "ivra-ASM Warning 32|ivra-ASM Info 5");
    ASSERT_EQ(popups.shown.size(), 5);
    EXPECT_EQ(popups.shown[0].text, "Opening file failed!\nError 30");
    EXPECT_EQ(popups.shown[1].text,
              "Saving of file failed! (Return value -4)\nDisk full\nError 31");
    EXPECT_EQ(popups.shown[2].text, "Loading failed!\nError 20");
    EXPECT_EQ(popups.shown[3].text, "Too many files.\nWarning 32");
    EXPECT_EQ(popups.shown[4].text, "Done.\nInfo 5");
    EXPECT_EQ(popups.shown[1].icon, PopupIcon::error);
    EXPECT_EQ(popups.shown[3].icon, PopupIcon::warning);
    EXPECT_EQ(popups.shown[4].icon, PopupIcon::information);
}

TEST_F(CodedPopups, PercentSignsInPathsAreShownAsTheyAre) {
    app->popups().showErrorPopup("Cannot read /tmp/50%2/%1.asm", 30, -2, "/tmp/%3 %1");
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].text,
              "Cannot read /tmp/50%2/%1.asm (Return value -2)\n/tmp/%3 %1\nError 30");
}

// A message box with a short text is still wide enough for its whole title, and keeps the
// icon, text and buttons of its popup.
TEST(MessageBoxes, AShortTextKeepsTheWholeTitleInView) {
    const Popup popup{PopupIcon::error, PopupButtons::ok, "Compilation Error", "No."};
    const std::unique_ptr<QMessageBox> box = makeMessageBox(popup);
    box->show();
    QFont bold = box->font();
    bold.setBold(true);
    EXPECT_GT(box->width(), QFontMetrics(bold).horizontalAdvance(popup.title) + 100);
    EXPECT_EQ(box->windowTitle(), "Compilation Error");
    EXPECT_EQ(box->text(), "No.");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);

    const std::unique_ptr<QMessageBox> question =
        makeMessageBox({PopupIcon::none, PopupButtons::yesNoCancel, "Save Changes", "Save?"});
    EXPECT_EQ(question->standardButtons(),
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(question->defaultButton(), question->button(QMessageBox::Yes));
    EXPECT_EQ(question->escapeButton(), question->button(QMessageBox::Cancel));
}

} // namespace
} // namespace ide::test
