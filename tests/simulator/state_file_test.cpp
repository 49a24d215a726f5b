// The state file: the board's non-volatile memories survive from one simulator to the next, and
// a file that is not ours is never overwritten.
#include "scratch_directory.h"
#include "simulator/state_file.h"
#include "wire_rig.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace sim_test;
namespace fs = std::filesystem;

struct StateFile : ::testing::Test {
    sim::SimConfig config() const {
        sim::SimConfig c;
        c.state_path = path;
        return c;
    }
    std::string contents() const { return read_whole_file(path); }

    ScratchDirectory scratch;
    const std::string path = (scratch.path() / "kz71sim_state").string();
};

TEST_F(StateFile, MemoriesSurviveIntoTheNextRun) {
    {
        WireRig rig(config());
        EXPECT_TRUE(rig.sim.stateProblem().empty());
        rig.spiWrite(0x0000, {0x70, 0x00, 0x00, 0x05});
        rig.clock->advance(7ms);
        rig.out(wire::vpp_otp_on);
        rig.clock->advance(1000ms);
        rig.out(wire::enable_otp);
        rig.out(wire::enable_otp_programming);
        rig.out(wire::write_otp_byte, 0x1000, {0x00}); // programmed, with the value 0
        rig.sim.chip().userEeprom().cells()[127] = 0x5A;
    } // the simulator writes its state file when it goes
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(contents().substr(0, 23), "KZ71 simulator state 1\n");

    WireRig next(config());
    EXPECT_TRUE(next.sim.stateProblem().empty());
    EXPECT_EQ(next.sim.board().spi_eeprom.contents()[3], 0x05);
    EXPECT_TRUE(next.sim.chip().otp().programmed()[0x1000]);
    EXPECT_FALSE(next.sim.chip().otp().programmed()[0x1001]);
    EXPECT_EQ(next.sim.chip().userEeprom().cells()[127], 0x5A);
    // The OTP holds a program now, so the chip runs from the OTP after power-on.
    EXPECT_EQ(next.sim.chip().program()[0], 0x00);
}

TEST_F(StateFile, AForeignOrDamagedFileIsReportedAndLeftAlone) {
    std::ofstream(path) << "my notes\n";
    {
        WireRig rig(config());
        EXPECT_EQ(rig.sim.stateProblem(), path + ": line 1: not a KZ71 simulator state file");
        rig.spiWrite(0x0000, {0x01});
        rig.clock->advance(7ms);
        EXPECT_FALSE(rig.sim.saveState());
    }
    EXPECT_EQ(contents(), "my notes\n");

    sim::Faults faults;
    sim::Board board(faults, sim::BoardSwitch::follows_programmer, 0x20);
    const std::string good = sim::serializeState(board);
    std::string text = good;
    const std::size_t line3 = text.find("0020:");
    text.replace(line3 + 6, 2, "XY");
    std::string problem;
    board.spi_eeprom.contents()[0] = 0x11;
    EXPECT_FALSE(sim::parseState(text, board, problem));
    EXPECT_EQ(problem, "line 4: 'XY' is not a byte");
    EXPECT_EQ(board.spi_eeprom.contents()[0], 0x11); // nothing taken from a damaged file
    EXPECT_FALSE(sim::parseState(good.substr(0, good.rfind('\n', 2000) + 1), board, problem));
    EXPECT_NE(problem.find("the file ends inside [spi-eeprom]"), std::string::npos);
}

TEST_F(StateFile, OnlyChangesAreWritten) {
    { WireRig rig(config()); }
    EXPECT_TRUE(fs::exists(path)); // a new file starts with the blank memories
    const auto written = fs::last_write_time(path);
    fs::last_write_time(path, written - std::chrono::hours(1));
    { WireRig rig(config()); }
    EXPECT_EQ(fs::last_write_time(path), written - std::chrono::hours(1));
}

} // namespace
