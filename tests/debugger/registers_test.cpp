// The register display and the RAM window: what is read, how values are shown, and which RAM
// cells a refresh rewrites.
#include "debugger_fixture.h"
#include "programmer/ram_view.h"
#include "programmer/registers.h"
#include "programmer/run_control.h"

namespace {

using namespace programmer;

TEST(RegisterTexts, HB0IsShownAsASigned24BitNumber) {
    EXPECT_EQ(hb0DecimalText(0x000005), "(5 d)");
    EXPECT_EQ(hb0DecimalText(0xFFFFFB), "(-5 d)");
    EXPECT_EQ(hb0DecimalText(0xFFFFFF), "(-1 d)");
    EXPECT_EQ(hb0DecimalText(0x800000), "(-8388608 d)");
    EXPECT_EQ(hb0DecimalText(0x7FFFFF), "(8388607 d)");
}

TEST(RamCells, RegionsAndPlaces) {
    EXPECT_EQ(ramRegion(0x2F), RamRegion::user);
    EXPECT_EQ(ramRegion(0x30), RamRegion::config);
    EXPECT_EQ(ramRegion(0x40), RamRegion::reserved);
    EXPECT_EQ(ramRegion(0x4F), RamRegion::reserved);
    EXPECT_EQ(ramRegion(0x5B), RamRegion::config);
    EXPECT_EQ(ramRegion(0x5C), RamRegion::reserved);
    EXPECT_EQ(ramRegion(0x60), RamRegion::user);
    EXPECT_EQ(ramRegion(0xD0), RamRegion::system);
    const RamCellLayout a25 = ramCellLayout(0x25); // column 4, row 6 (an even row)
    EXPECT_EQ(a25.column, 4);
    EXPECT_EQ(a25.row, 6);
    EXPECT_EQ(a25.background, 0xB9FFB9u);
    EXPECT_EQ(ramCellLayout(0xFF).column, 16);
    EXPECT_EQ(ramCellLayout(0xFF).row, 32);
    EXPECT_EQ(ramCellLayout(0xE0).background, 0xFFA8A8u);
    EXPECT_EQ(ramCellLayout(0x41).background, 0xF0F0F0u);
}

struct Registers : DebuggerTest {
    void SetUp() override {
        DebuggerTest::SetUp();
        build("\tmove x, 5\n\tincr y\n\tincr y\n\tincr y\n\tincr y\n\tmove z, 1\n\tstop\n");
        ASSERT_EQ(singleStep(debugger).address, 4);
        clearWire();
    }
    sim::Chip& chip() { return simulator->chip(); }
    void refresh() { EXPECT_TRUE(refreshRegisters(debugger)); }
};

TEST_F(Registers, EachValueIsReadAndShownInItsForm) {
    chip().writeRegister(0x47, 0xA01234); // Signum and Overflow, address 0x1234
    chip().writeRegister(0x14, 0xFFFFFB);
    chip().writeRegister(0x4C, 0x001280); // RAM address 0x25
    chip().writeRegister(0x25, 0x00ABCD);
    refresh();
    EXPECT_EQ(wire(), (std::vector<std::string>{
                          "IN B0 0040 0047 len 3 [A0 12 34]", "IN B0 0040 0049 len 3 [00 00 05]",
                          "IN B0 0040 004A len 3 [00 00 00]", "IN B0 0040 004B len 3 [00 00 00]",
                          "IN B0 0040 0014 len 3 [FF FF FB]", "IN B0 0040 004C len 3 [00 12 80]",
                          "IN B0 0040 0025 len 3 [00 AB CD]"}));
    const RegisterTexts& shown = view.registers;
    EXPECT_TRUE(shown.signum);
    EXPECT_FALSE(shown.notEqual);
    EXPECT_TRUE(shown.overflow);
    EXPECT_FALSE(shown.carry);
    EXPECT_EQ(shown.lastAddress, "0x1234");
    EXPECT_EQ(shown.x, "0x000005");
    EXPECT_EQ(shown.hb0, "0xFFFFFB");
    EXPECT_EQ(shown.hb0Decimal, "(-5 d)");
    EXPECT_EQ(shown.ramAddress, "0x25");
    EXPECT_EQ(shown.ramContent, "0x00ABCD");
}

TEST_F(Registers, TheCellShownBeforeFollowsWhenTheCellChanges) {
    // The step's refresh after entering debug mode left "Last address:" alone.
    EXPECT_EQ(view.previousRamAddress, "--");
    refresh(); // nothing changed
    EXPECT_EQ(view.previousRamAddress, "--");
    chip().writeRegister(0x00, 0x000007); // the content of RAM address 0
    refresh();
    EXPECT_EQ(view.previousRamAddress, "0x00");
    EXPECT_EQ(view.previousRamContent, "0x000000");
    chip().writeRegister(0x4C, 0x000100); // RAM address 2
    refresh();
    EXPECT_EQ(view.previousRamContent, "0x000007");
    EXPECT_EQ(view.registers.ramAddress, "0x02");

    // Entering debug mode again starts without a previous cell.
    exitDebugMode(debugger);
    singleStep(debugger);
    EXPECT_TRUE(view.registersShown);
    EXPECT_EQ(view.previousRamAddress, "--");
}

TEST_F(Registers, TheRamWindowReadsAllButTheReservedCellsAndRewritesOnlyChanges) {
    ramWindowOpened(debugger);
    EXPECT_EQ(count("IN B0 0040"), 236u);
    EXPECT_EQ(count("IN B0 0040 0040"), 0u);
    EXPECT_EQ(count("IN B0 0040 004F"), 0u);
    EXPECT_EQ(count("IN B0 0040 005C"), 0u);
    EXPECT_EQ(count("IN B0 0040 005B"), 1u);
    EXPECT_EQ(view.ramCellWrites, 236);
    EXPECT_EQ(view.ramCells.count(0x49), 0u); // X is a reserved cell
    EXPECT_EQ(view.ramCells[0x00], "0x000000");

    // A step changes Y (0x4A, reserved) and the status: no cell outside the reserved ranges.
    view.ramCellWrites = 0;
    singleStep(debugger);
    EXPECT_EQ(view.ramCellWrites, 0);
    chip().writeRegister(0x10, 0xABCDEF);
    singleStep(debugger);
    EXPECT_EQ(view.ramCellWrites, 1);
    EXPECT_EQ(view.ramCells[0x10], "0xabcdef");

    // "Refresh" rewrites every cell; so does the next opening after a close.
    refreshRamContent(debugger);
    EXPECT_EQ(view.ramCellWrites, 1 + 236);
    ramWindowClosed(debugger);
    singleStep(debugger);
    EXPECT_EQ(view.ramCellWrites, 1 + 236);
    ramWindowOpened(debugger);
    EXPECT_EQ(view.ramCellWrites, 1 + 236 + 236);
}

// A value that could not be read is never shown as if the chip held it: the display and the
// RAM cell keep what they showed, warning 216 says why, and the run stops there.
TEST_F(Registers, AReadThatFailsShowsNoMadeUpValue) {
    chip().writeRegister(0x10, 0x123456);
    ramWindowOpened(debugger);
    const RegisterTexts before = view.registers;
    ASSERT_EQ(before.x, "0x000005");
    report.events.clear();

    simulator->faults().failCommand(wire::read_register, sim::Failure::stall, 1);
    EXPECT_FALSE(refreshRegisters(debugger));
    EXPECT_EQ(view.registers.x, before.x);
    EXPECT_EQ(view.registers.lastAddress, before.lastAddress);
    const std::string warning =
        "warning 216 Reading debug information failed\nCould not perform operation because of "
        "I/O error.";
    EXPECT_EQ(report.popups(), std::vector<std::string>{warning});
    EXPECT_TRUE(debugger.state.debugModeActive); // the programmer is still there

    chip().writeRegister(0x00, 0x000777);
    simulator->faults().failCommand(wire::read_register, sim::Failure::stall, 1);
    refreshRamContent(debugger); // address 0 is the first cell read
    EXPECT_EQ(view.ramCells[0x00], "0x000000");
    EXPECT_EQ(view.ramCells[0x10], "0x123456");
    EXPECT_EQ(report.popups(), (std::vector<std::string>{warning, warning}));

    simulator->faults().failCommand(wire::read_register, sim::Failure::stall, 1);
    EXPECT_EQ(singleStep(debugger).reason, StopReason::failed);
    EXPECT_EQ(singleStep(debugger).reason, StopReason::step);
    EXPECT_EQ(view.ramCells[0x00], "0x000777");
}

TEST_F(DebuggerTest, TheRamWindowOpensOnlyInDebugMode) {
    build("\tincr x\n\tmove y, 2\n\tstop\n");
    EXPECT_FALSE(ramWindowMayOpen(debugger));
    EXPECT_EQ(report.popups(),
              std::vector<std::string>{
                  "info 228 RAM content can only be shown\nif debug mode is active"});
    singleStep(debugger);
    EXPECT_TRUE(ramWindowMayOpen(debugger));
    EXPECT_EQ(report.popups().size(), 1u);
}

} // namespace
