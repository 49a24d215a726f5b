// Faults on the real path, through libusb and the emulated bus: a stalled transfer, a cable
// pulled while a session is open and plugged back, a programmer claimed by another program, a
// reply shorter than asked for, and one time-out (libusb's timers run in real time). Each
// operation ends in its own failure path: lamp, messages, popups.
#include "bus_fixture.h"
#include "link_fixture.h"
#include "programmer/session.h"
#include "programmer/spi_eeprom_download.h"

#include <cstdio>
#include <libusb.h>

namespace {

using namespace programmer;

struct Faults : BusTest {
    void SetUp() override {
        BusTest::SetUp();
        if (IsSkipped()) return;
        programmer = &plugProgrammer();
        hexFile = writeFile("prog.hex", hexFileText(countingImage(100)));
    }
    void TearDown() override {
        closeRaw();
        BusTest::TearDown();
    }
    std::string writeFile(const std::string& name, const std::string& content) const {
        dir.write(name, content);
        return (dir.path() / name).string();
    }
    bool download() { return downloadSpiEeprom(link, image, hexFile); }
    // Whether the message box holds `text`; if not, shows the box.
    ::testing::AssertionResult told(const std::string& text) const {
        if (report.box.find(text) != std::string::npos) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the messages lack \"" << text << "\":\n"
                                             << report.box;
    }
    bool verify() { return verifySpiEeprom(link, image); }
    sim::Simulator& simulator() { return programmer->simulator(); }
    void startOver() {
        report = RecordingReport{};
        session.messagesStarted = false;
    }
    // A session of this test's own, made without the programmer link.
    void openRaw() {
        ASSERT_EQ(viOpenDefaultRM(&rawRm), VI_SUCCESS);
        ASSERT_EQ(viOpen(rawRm, programmer->resourceName().c_str(), VI_NO_LOCK, 1000, &raw),
                  VI_SUCCESS);
    }
    void closeRaw() {
        if (rawRm != VI_NULL) viClose(rawRm);
        rawRm = raw = VI_NULL;
    }
    ViStatus readVersion(ViSession vi, ViUInt16 length, ViUInt16& received) {
        version.fill(0);
        return viUsbControlIn(vi, wire::vendor_in, wire::programmer_request,
                              wire::read_firmware_version, 0, length, version.data(), &received);
    }

    usb_bus::EmulatedProgrammer* programmer = nullptr;
    ScratchDirectory dir;
    std::string hexFile;
    DownloadImage image;
    ViSession rawRm = VI_NULL;
    ViSession raw = VI_NULL;
    std::array<ViByte, 8> version{};
};

TEST_F(Faults, AStalledTransferIsAnIoErrorAndTheNextOneWorks) {
    openRaw();
    simulator().faults().failCommand(wire::read_firmware_version, sim::Failure::stall, 1);
    ViUInt16 received = 99;
    EXPECT_EQ(readVersion(raw, 1, received), VI_ERROR_IO);
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(readVersion(raw, 1, received), VI_SUCCESS);
    EXPECT_EQ(received, 1u);
    EXPECT_EQ(version[0], 1);
    closeRaw();

    // In a download: the page written when the stall comes fails, and so does the operation.
    report.onProgress = [this](std::size_t done) {
        if (done == 2) simulator().faults().failNextTransfers(sim::Failure::stall);
    };
    EXPECT_FALSE(download());
    EXPECT_TRUE(told("\nProgramming Spi EEPROM failed !\n"
                     "\nNumber of programmed bytes: 100\nPerforming init reset..."
                     "\nClose connection...\n"));
    EXPECT_EQ(report.popups(), (Lines{"error 131 Programming Spi EEPROM failed"}));
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_EQ(report.lastProgress.first, 2u);

    report.onProgress = nullptr;
    EXPECT_TRUE(download()) << report.box;
    EXPECT_TRUE(verify()) << report.box;
}

TEST_F(Faults, UnpluggedTheSessionIsLostTheSearchFindsNothingPluggedBackItWorks) {
    openRaw();
    programmer->unplug();
    ViUInt16 received = 0;
    EXPECT_EQ(readVersion(raw, 1, received), VI_ERROR_CONN_LOST);
    EXPECT_EQ(viClose(raw), VI_SUCCESS); // nothing left to release
    closeRaw();

    std::vector<std::string> names{"stale"};
    EXPECT_EQ(findProgrammers(names), VI_ERROR_RSRC_NFOUND);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(download());
    EXPECT_TRUE(told("\nLooking for KZ71 programmer...\n"
                     "Insufficient location information or the device or resource is "
                     "not present in the system.\n"
                     "KZ71 programmer not found!\n"));
    EXPECT_EQ(report.lastLamp(), "FAILED");

    programmer->plug();
    ASSERT_EQ(findProgrammers(names), VI_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{programmer->resourceName()}));
    startOver();
    report.onProgress = [this](std::size_t done) {
        if (done == 3) programmer->unplug();
    };
    EXPECT_FALSE(download());
    EXPECT_TRUE(told("\nProgramming Spi EEPROM failed !\n"
                     "\nNumber of programmed bytes: 100\nPerforming init reset..."
                     "\nExecution of init reset failed !\n"
                     "The connection for the given session has been lost.\n"
                     "\nClose connection...\n"));
    EXPECT_EQ(report.popups(), (Lines{"error 131 Programming Spi EEPROM failed"}));
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_EQ(session.resourceManager, VI_NULL);

    report.onProgress = nullptr;
    programmer->plug();
    EXPECT_TRUE(download()) << report.box;
    EXPECT_TRUE(verify()) << report.box;
}

TEST_F(Faults, ASessionToTheDeviceBeforeItWasReplugged) {
    openRaw();
    programmer->unplug();
    programmer->plug(); // back under a new address: the old session stays dead
    ViUInt16 received = 0;
    EXPECT_EQ(readVersion(raw, 1, received), VI_ERROR_CONN_LOST);
    ViSession fresh = VI_NULL;
    ASSERT_EQ(viOpen(rawRm, programmer->resourceName().c_str(), VI_NO_LOCK, 1000, &fresh),
              VI_SUCCESS);
    EXPECT_EQ(readVersion(fresh, 1, received), VI_SUCCESS);
    EXPECT_EQ(received, 1u);
}

// Another program that claimed the programmer's interface holds it.
TEST_F(Faults, ClaimedByAnotherProgram) {
    libusb_context* other = nullptr;
    ASSERT_EQ(libusb_init(&other), LIBUSB_SUCCESS);
    libusb_device_handle* handle =
        libusb_open_device_with_vid_pid(other, wire::manufacturer_id, wire::programmer_model_alt);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(libusb_claim_interface(handle, 0), LIBUSB_SUCCESS);

    EXPECT_FALSE(download());
    EXPECT_TRUE(told("\nLooking for KZ71 programmer...\n"
                     "The resource is valid, but VISA cannot currently access it.\n"
                     "The Programmer is being used by another application\n"
                     "connection could not be opened\n"));
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_TRUE(simulator().log().empty());

    libusb_release_interface(handle, 0);
    libusb_close(handle);
    libusb_exit(other);
    EXPECT_TRUE(download()) << report.box;
}

TEST_F(Faults, AReplyShorterThanAskedForCountsWhatCame) {
    openRaw();
    ViUInt16 received = 0;
    EXPECT_EQ(readVersion(raw, 8, received), VI_SUCCESS);
    EXPECT_EQ(received, 1u);
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 0); // nothing written past the reply
    EXPECT_EQ(simulator().log().back().length, 8u);
}

TEST_F(Faults, TimeOutWhileVerifying) {
    ASSERT_TRUE(download()) << report.box;
    report.onProgress = [this](std::size_t done) {
        if (done == 4) simulator().faults().failNextTransfers(sim::Failure::timeout);
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(verify());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    char failure[96];
    std::snprintf(failure, sizeof failure,
                  "\nRead/Verify failed !\n\nexpected: %x, obtained: 0Timeout...\n"
                  "\nNumber of verified bytes: 4",
                  image.code[4]);
    EXPECT_TRUE(told(failure));
    EXPECT_EQ(report.popups().back(),
              "error 132 Read & verify failed.\nPlease download hexfile again!");
    EXPECT_EQ(report.lastLamp(), "FAILED");
    // The transfers after the time-out went through again.
    EXPECT_EQ(simulator().log().back().status, sim::TransferStatus::ok);
    EXPECT_EQ(simulator().log().back().value, wire::init_reset);
}

} // namespace
