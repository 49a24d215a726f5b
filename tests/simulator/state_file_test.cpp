// The state file: the board's non-volatile memories survive from one simulator to the next, and
// a file that is not ours is never overwritten.
#include "scratch_directory.h"
#include "simulator/state_file.h"
#include "wire_rig.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using namespace sim_test;
namespace fs = std::filesystem;

struct StateFile : ::testing::Test {
    sim::SimConfig config() {
        sim::SimConfig c;
        c.state_path = path;
        c.report_problem = [this](const std::string& problem) { reports.push_back(problem); };
        return c;
    }
    std::string contents() const { return read_whole_file(path); }

    // A change the simulator must save.
    static void change(WireRig& rig) { rig.sim.chip().userEeprom().cells()[0] ^= 0xFF; }
    // Files of the scratch directory, without the ones a test made itself.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(scratch.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDirectory scratch;
    std::string path = (scratch.path() / "kz71sim_state").string();
    std::vector<std::string> reports;
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
    EXPECT_TRUE(reports.empty());
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
        EXPECT_EQ(reports, std::vector<std::string>{rig.sim.stateProblem()}); // told at once
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

TEST_F(StateFile, AnUnwritablePathIsReportedBeforeAnythingIsLost) {
    path = (scratch.path() / "no-such-folder" / "state").string();
    WireRig rig(config());
    const std::string problem = path + ": cannot be written (No such file or directory)";
    EXPECT_EQ(rig.sim.stateProblem(), problem);
    EXPECT_EQ(reports, std::vector<std::string>{problem});
    change(rig);
    EXPECT_FALSE(rig.sim.saveState());
    EXPECT_FALSE(rig.sim.close());
    EXPECT_EQ(reports.size(), 1u); // the same problem is told once

    path = scratch.path().string(); // a folder is not a state file
    WireRig folder(config());
    EXPECT_EQ(folder.sim.stateProblem(), path + ": not a regular file");
}

TEST_F(StateFile, ALinkKeepsPointingToTheFileItNames) {
    fs::create_directory(scratch.path() / "real");
    const fs::path target = scratch.path() / "real" / "state.txt";
    fs::create_symlink("real/state.txt", path); // dangling until the first save
    {
        WireRig rig(config());
        EXPECT_EQ(rig.sim.stateProblem(), "");
        change(rig);
        EXPECT_TRUE(rig.sim.saveState());
    }
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::read_symlink(path), "real/state.txt");
    EXPECT_EQ(read_whole_file(target).substr(0, 22), "KZ71 simulator state 1");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    {
        WireRig rig(config());
        EXPECT_EQ(rig.sim.chip().userEeprom().cells()[0], 0xFF);
        change(rig);
    }
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // No temporary file is left beside the state file or its link.
    EXPECT_EQ(files(), std::vector<std::string>({"kz71sim_state", "real"}));
    EXPECT_EQ(fs::directory_iterator(target.parent_path())->path(), target);
}

TEST_F(StateFile, AFifoOrAnOversizedFileIsRefusedUnread) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    {
        WireRig rig(config()); // must not wait for a writer
        EXPECT_EQ(rig.sim.stateProblem(), path + ": not a regular file");
        change(rig);
    }
    EXPECT_TRUE(fs::is_fifo(path)); // never replaced
    fs::remove(path);
    std::ofstream(path) << std::string(2 * 1024 * 1024, ' ');
    WireRig rig(config());
    EXPECT_EQ(rig.sim.stateProblem(), path + ": too large for a state file");
}

} // namespace
