// The "RAM Content" window on the simulated chip: opened only in debug mode, beside the main
// window, its cells coloured by region and filled from the chip; after a step only the cells
// whose value changed are rewritten, "Refresh" rewrites all; it goes when debug mode ends.
#include "debugger/ram_window.h"
#include "debugger_page_fixture.h"
#include "shell/appearance.h"
#include "shell/main_window.h"
#include "shell/window_fit.h"

#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace ide::test {
namespace {

// RAM cell 0x10 becomes 7, then cell 0x11 becomes 8.
const char* const ram_source = "\tramadr 0x10\n"
                               "\tmove r, 7\n"
                               "\tincramadr\n"
                               "\tmove r, 8\n"
                               "\tstop\n";

constexpr int ram_cells = 256;
constexpr int cells_read = 236; // all but the reserved 0x40-0x4F and 0x5C-0x5F

bool reserved(int a) {
    return (a >= 0x40 && a <= 0x4F) || (a >= 0x5C && a <= 0x5F);
}

class RamContent : public DebuggerPageTest {
protected:
    void SetUp() override {
        DebuggerPageTest::SetUp();
        build(ram_source);
        showDebuggerPage();
    }
    RamWindow* ramWindow() const { return page().screen().ramWindow(); }
    QTableWidget& table() const { return ramWindow()->table(); }
    // Every value cell emptied, so that the next refresh shows which cells it wrote.
    void emptyCells() const {
        for (int a = 0; a < ram_cells; ++a)
            ramWindow()->setCell(a, "");
    }
    int writtenCells() const {
        int written = 0;
        for (int a = 0; a < ram_cells; ++a)
            written += ramWindow()->cell(a).isEmpty() ? 0 : 1;
        return written;
    }
    QColor background(int row, int column) const {
        return table().item(row, column)->background().color();
    }
    // Register reads since the wire was cleared, and whether any read a reserved cell.
    std::size_t reads() const { return count("IN B0 0040"); }
    bool readReserved() const {
        for (int a = 0; a < ram_cells; ++a) {
            const QString read = QString("IN B0 0040 %1").arg(a, 4, 16, QChar('0')).toUpper();
            if (reserved(a) && count(read.toStdString()) != 0) return true;
        }
        return false;
    }
    std::size_t count(const std::string& prefix) const;
    // Where the window stands beside the main window: half its width plus a twelfth, a
    // fourteenth of its height down, pushed left as far as the screen needs.
    QPoint designedPlace() const {
        QMainWindow* w = window();
        const QPoint place =
            w->mapToGlobal(QPoint(w->width() / 2 + w->width() / 12, w->height() / 14));
        const QRect screen = w->screen()->availableGeometry();
        const int width = ramWindow()->panel().frameGeometry().width();
        return {qMin(place.x(), screen.right() + 1 - width), place.y()};
    }
    // What the event loop does once the callback that discarded a window has returned.
    static void returnToEventLoop() {
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

std::size_t RamContent::count(const std::string& prefix) const {
    std::size_t n = 0;
    for (const std::string& line : wire())
        n += line.starts_with(prefix) ? 1 : 0;
    return n;
}

TEST_F(RamContent, OutsideDebugModeItDoesNotOpen) {
    click("showRamContentButton");
    EXPECT_EQ(popups.titles(), "ivra-ASM Info 228");
    EXPECT_EQ(popups.shown.front().text,
              "RAM content can only be shown\nif debug mode is active\nInfo 228");
    EXPECT_EQ(ramWindow(), nullptr);
    EXPECT_EQ(app->shell().ramPanel, nullptr);
    EXPECT_TRUE(nothingSent());
}

TEST_F(RamContent, ItOpensBesideTheMainWindowWithEveryCellReadAndColouredByRegion) {
    click("singleStepButton"); // ramadr 0x10
    clearWire();
    click("showRamContentButton");
    ASSERT_NE(ramWindow(), nullptr);
    QWidget& panel = ramWindow()->panel();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(app->shell().ramPanel, &panel);
    EXPECT_EQ(panel.windowTitle(), "RAM Content");
    EXPECT_EQ(main().frontPage(), debuggerPageIndex);
    EXPECT_EQ(panel.pos(), designedPlace());
    EXPECT_TRUE(window()->screen()->availableGeometry().contains(panel.frameGeometry()));

    EXPECT_EQ(reads(), static_cast<std::size_t>(cells_read));
    EXPECT_FALSE(readReserved());
    EXPECT_EQ(writtenCells(), cells_read);
    EXPECT_EQ(ramWindow()->cell(0x10), "0x000000");
    EXPECT_EQ(ramWindow()->cell(0x45), "");
    // Address a: column (a div 32) * 2 + 2, row (a mod 32) + 1; its label beside it.
    EXPECT_EQ(table().item(0x10, 0)->text(), "0x10");
    EXPECT_EQ(table().item(0x10, 1)->text(), "0x000000");
    EXPECT_EQ(table().item(0x05, 4)->text(), "0x45");
    EXPECT_EQ(background(0, 1), QColor(0x91, 0xFF, 0x91));   // 0x00 user RAM, odd row
    EXPECT_EQ(background(1, 1), QColor(0xB9, 0xFF, 0xB9));   // 0x01 user RAM, even row
    EXPECT_EQ(background(16, 3), QColor(0xFF, 0xB4, 0x6A));  // 0x30 config RAM
    EXPECT_EQ(background(5, 5), QColor(0xF0, 0xF0, 0xF0));   // 0x45 reserved
    EXPECT_EQ(background(6, 5), QColor(0xF0, 0xF0, 0xF0));   // 0x46 reserved, even row alike
    EXPECT_EQ(background(17, 13), QColor(0xFF, 0xBB, 0xBB)); // 0xD1 system RAM, even row

    // A step reads every cell again, but rewrites only the one whose value changed.
    emptyCells();
    clearWire();
    click("singleStepButton");                                    // move r, 7
    EXPECT_EQ(reads(), static_cast<std::size_t>(cells_read) + 7); // and the register display
    EXPECT_EQ(writtenCells(), 1);
    EXPECT_EQ(ramWindow()->cell(0x10), "0x000007");

    // "Refresh" rewrites every cell.
    emptyCells();
    QTest::mouseClick(panel.findChild<QPushButton*>("refreshButton"), Qt::LeftButton);
    EXPECT_EQ(writtenCells(), cells_read);
    EXPECT_EQ(panel.findChild<QPushButton*>("refreshButton")->palette().color(QPalette::Button),
              run_green);
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

// On a screen too small for the whole table the window fits it with its frame, and the table
// scrolls to every cell; on a large one the whole table shows again.
TEST_F(RamContent, OnASmallScreenItFitsAndItsTableScrolls) {
    click("singleStepButton");
    click("showRamContentButton");
    ASSERT_NE(ramWindow(), nullptr);
    QWidget& panel = ramWindow()->panel();
    QTableWidget& cells = table();
    QTableWidgetItem* last = cells.item(31, 15);
    ASSERT_NE(last, nullptr);
    const auto inView = [&] {
        settle();
        return cells.viewport()->rect().contains(cells.visualItemRect(last));
    };
    EXPECT_TRUE(inView());
    const QSize whole = panel.size();

    const QRect small(0, 0, 800, 600);
    ramWindow()->fitInto(small);
    settle();
    const QSize framed = panel.size().grownBy(frameMarginsOf(panel));
    EXPECT_LE(framed.width(), small.width());
    EXPECT_LE(framed.height(), small.height());
    EXPECT_FALSE(inView());
    EXPECT_GT(cells.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(cells.verticalScrollBar()->maximum(), 0);
    cells.scrollToItem(last);
    EXPECT_TRUE(inView());

    ramWindow()->fitInto(QRect(0, 0, 1920, 1200));
    settle();
    EXPECT_EQ(panel.size(), whole);
    cells.scrollToTop();
    EXPECT_TRUE(inView());
    EXPECT_EQ(cells.horizontalScrollBar()->maximum(), 0);
}

TEST_F(RamContent, ClosingItAndLeavingDebugModeDiscardIt) {
    click("singleStepButton");
    click("showRamContentButton");
    QPointer<QWidget> panel = &ramWindow()->panel();
    QTest::mouseClick(panel->findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    returnToEventLoop();
    EXPECT_TRUE(panel.isNull());
    EXPECT_EQ(ramWindow(), nullptr);
    EXPECT_EQ(app->shell().ramPanel, nullptr);

    // Opened again, it starts with a full refresh.
    click("showRamContentButton");
    ASSERT_NE(ramWindow(), nullptr);
    EXPECT_EQ(writtenCells(), cells_read);
    // The title bar's close button closes it as "Close" does.
    panel = &ramWindow()->panel();
    panel->close();
    returnToEventLoop();
    EXPECT_TRUE(panel.isNull());
    EXPECT_EQ(app->shell().ramPanel, nullptr);

    for (const char* leaving : {"exitDebugModeButton", "newDebugCycleButton"}) {
        click("singleStepButton");
        click("showRamContentButton");
        panel = &ramWindow()->panel();
        click(leaving);
        returnToEventLoop();
        EXPECT_TRUE(panel.isNull()) << leaving;
        EXPECT_EQ(app->shell().ramPanel, nullptr) << leaving;
    }
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

TEST_F(RamContent, ItFollowsTheMainWindowAndTheDebuggerPage) {
    click("singleStepButton");
    click("showRamContentButton");
    QWidget& panel = ramWindow()->panel();
    QMainWindow* w = window();
    w->resize(w->width() - 100, w->height() - 40);
    settle();
    EXPECT_EQ(panel.pos(), designedPlace());
    const QPoint before = panel.pos();
    w->move(w->pos() + QPoint(10, 20));
    settle();
    EXPECT_EQ(panel.pos(), before + QPoint(10, 20));

    find<QTabWidget>("mainTabs")->setCurrentIndex(assemblerPageIndex);
    EXPECT_FALSE(panel.isVisible()); // hidden, not closed
    EXPECT_EQ(app->shell().ramPanel, &panel);
    find<QTabWidget>("mainTabs")->setCurrentIndex(debuggerPageIndex);
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(RamContent, ItSpeaksChineseAndTellsWhenItCannotBeLoaded) {
    setSetting(&Settings::language, 1);
    click("singleStepButton");
    click("showRamContentButton");
    ASSERT_NE(ramWindow(), nullptr);
    EXPECT_EQ(ramWindow()->panel().windowTitle(), "RAM 内容");
    EXPECT_EQ(ramWindow()->panel().findChild<QPushButton*>("refreshButton")->text(), "刷新");
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
    click("exitDebugModeButton");

    app->paths().dataDir = dir.path(); // no chinese folder: English, with warning 22
    click("singleStepButton");
    click("showRamContentButton");
    ASSERT_NE(ramWindow(), nullptr);
    EXPECT_EQ(ramWindow()->panel().windowTitle(), "RAM Content");
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 22");
    click("exitDebugModeButton");

    popups.shown.clear();
    app->paths().panelsDir = dir.path(); // no RAM.ui
    click("singleStepButton");
    click("showRamContentButton");
    EXPECT_EQ(ramWindow(), nullptr);
    ASSERT_EQ(popups.titles(), "ivra-ASM Error 226");
    EXPECT_TRUE(popups.shown.front().text.startsWith(
        "Loading RAM content panel failed! (Return value -2)\nFile not found: "));
}

} // namespace
} // namespace ide::test
