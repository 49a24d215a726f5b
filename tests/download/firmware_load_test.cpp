// Loading the firmware into a programmer that shows up as the bare loader: one write per record,
// the start byte, and the silent and the told failures.
#include "link_fixture.h"
#include "programmer/firmware_load.h"
#include "simulator/firmware_image.h"

#include <fstream>
#include <sstream>

namespace {

using namespace programmer;

const std::string firmware = ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                             ":00002000E0\r\n"
                             ":0300100002F3A943\r\n"
                             ":00000001FF\r\n"
                             ":01004000EEAA\r\n";

struct FirmwareLoadTest : LinkTest {
    void SetUp() override {
        LinkTest::SetUp();
        sim::SimConfig config;
        config.start_as_loader = true;
        restart(config);
    }
    FirmwareLoad load(const std::string& text) {
        return loadProgrammerFirmware(link, writeFile("firmware/firmware.hex", text));
    }
};

TEST_F(FirmwareLoadTest, OneWritePerDataRecordUpToTheEndRecordThenTheStartByte) {
    EXPECT_EQ(load(firmware), FirmwareLoad::loaded);
    EXPECT_EQ(wire(), (Lines{"OUT A0 0000 0000 [00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F]",
                             "OUT A0 0010 0000 [02 F3 A9]", "OUT A0 E600 0000 [30]"}));
    EXPECT_EQ(simulator->log()[0].requestType, 0x40);
    EXPECT_EQ(simulator->log()[0].length, 16);
    // These few bytes are no firmware image: the loader refuses to start them.
    EXPECT_FALSE(simulator->firmwareRunning());
    EXPECT_EQ(simulator->loader().memory()[0x11], 0xF3);
    EXPECT_EQ(simulator->loader().memory()[0x40], 0x00); // behind the end record
    EXPECT_TRUE(report.popups().empty());
    EXPECT_EQ(session.lastStatus, VI_SUCCESS);
    EXPECT_EQ(session.resourceManager, VI_NULL); // its own sessions, all closed again
}

TEST_F(FirmwareLoadTest, AWellFormedFirmwareStartsTheProgrammer) {
    const std::uint8_t code[] = {0x02, 0x00, 0x10, 0x75, 0x81, 0x30};
    EXPECT_EQ(load(sim::firmwareHexText(sim::makeFirmwareImage(code, 1))), FirmwareLoad::loaded);
    EXPECT_TRUE(simulator->firmwareRunning()) << simulator->loader().problem();
    EXPECT_TRUE(report.popups().empty());
}

TEST_F(FirmwareLoadTest, TheShippedFirmwareStartsTheProgrammer) {
    std::ifstream shipped(KZ71_SOURCE_DIR "/data/firmware/firmware.hex", std::ios::binary);
    ASSERT_TRUE(shipped);
    std::ostringstream text;
    text << shipped.rdbuf();
    EXPECT_EQ(load(text.str()), FirmwareLoad::loaded);
    EXPECT_TRUE(simulator->firmwareRunning()) << simulator->loader().problem();
}

TEST_F(FirmwareLoadTest, NoLoaderOnTheBusDoesNothing) {
    restart({}); // the programmer runs its firmware
    EXPECT_EQ(load("not a firmware file"), FirmwareLoad::no_loader);
    EXPECT_TRUE(wire().empty());
    EXPECT_TRUE(report.events.empty());
}

TEST_F(FirmwareLoadTest, LoaderHeldByAnotherProgram) {
    simulator->faults().holdByOtherProgram(true);
    EXPECT_EQ(load(firmware), FirmwareLoad::loader_busy);
    EXPECT_EQ(report.popups(),
              (Lines{"popup ERROR programmer device is being used by another application"}));
    EXPECT_TRUE(wire().empty());
}

TEST_F(FirmwareLoadTest, MissingFileIsSilentADamagedOneIsToldAndNotLoaded) {
    EXPECT_EQ(loadProgrammerFirmware(link, (dir.path() / "none.hex").string()),
              FirmwareLoad::no_file);
    EXPECT_TRUE(report.events.empty());

    EXPECT_EQ(load(":10000000000102\r\n"), FirmwareLoad::damaged_file);
    EXPECT_EQ(load(":00000001FF\r\nhello\r\n"), FirmwareLoad::damaged_file);
    EXPECT_TRUE(wire().empty());
    ASSERT_EQ(report.popups().size(), 2u);
    EXPECT_TRUE(report.popups()[1].starts_with("popup ERROR The firmware file "));
    EXPECT_TRUE(report.popups()[1].ends_with("firmware.hex is damaged in line 2"));
    EXPECT_FALSE(simulator->firmwareRunning());
}

TEST_F(FirmwareLoadTest, AFailedWriteStopsTheLoadButTheStartByteIsStillSent) {
    simulator->faults().failNextTransfers(sim::Failure::stall);
    EXPECT_EQ(load(firmware), FirmwareLoad::write_failed);
    EXPECT_EQ(wire().size(), 2u);
    EXPECT_EQ(wire().back(), "OUT A0 E600 0000 [30]");
    EXPECT_EQ(report.popups(),
              (Lines{"popup ERROR error by downloading firmware, please make sure drivers\nare "
                     "properly installed, and reset programmer device by\ndisconnecting and "
                     "reconnecting it"}));
    EXPECT_FALSE(simulator->firmwareRunning()); // nothing was loaded to start
}

} // namespace
