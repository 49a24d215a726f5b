// The VISA-shaped layer over the simulator backend: search, open, transfers, close, status
// texts, locks and injected faults, as the programmer session relies on them.
#include "programmer/backend_table.h"
#include "programmer/visa.h"
#include "protocol/command_codes.h"
#include "simulator/firmware_image.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr const char* programmer_expression =
    "USB?*{VI_ATTR_MANF_ID == 0x194E && (VI_ATTR_MODEL_CODE == 0x0001 || VI_ATTR_MODEL_CODE == "
    "0x100F)}";
constexpr const char* loader_expression =
    "USB?*{(VI_ATTR_MANF_ID == 0x194E) && (VI_ATTR_MODEL_CODE == 0x100A)}";
constexpr const char* programmer_name = "USB0::0x194E::0x100F::KZ71SIM0001::RAW";

struct Visa : ::testing::Test {
    void SetUp() override {
        programmer::registerBackend("sim", sim::makeSimulatorBackend);
        setenv("KZ71_PROGRAMMER", "sim", 1);
        start({});
    }
    void TearDown() override {
        viClose(rm);
        setenv("KZ71_PROGRAMMER", "sim", 1);
    }

    void start(sim::SimConfig config) {
        viClose(rm);
        clock = std::make_shared<kz71::VirtualClock>();
        simulator = &sim::resetSimulator(std::move(config), clock);
        ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    }
    ViStatus find(const char* expression, ViUInt32& count, std::string& first) {
        ViChar desc[VI_FIND_BUFLEN];
        const ViStatus status = viFindRsrc(rm, expression, nullptr, &count, desc);
        first = desc;
        return status;
    }
    ViSession open(const char* name = programmer_name, ViAccessMode mode = VI_NO_LOCK) {
        ViSession vi = VI_NULL;
        EXPECT_EQ(viOpen(rm, name, mode, 1000, &vi), VI_SUCCESS);
        return vi;
    }
    static ViStatus command(ViSession vi, ViUInt16 code, ViUInt16 index = 0) {
        return viUsbControlOut(vi, wire::vendor_out, wire::programmer_request, code, index, 0,
                               nullptr);
    }
    static std::string description(ViStatus status) {
        ViChar desc[VI_FIND_BUFLEN];
        viStatusDesc(VI_NULL, status, desc);
        return desc;
    }

    std::shared_ptr<kz71::VirtualClock> clock;
    sim::Simulator* simulator = nullptr;
    ViSession rm = VI_NULL;
};

TEST_F(Visa, FindsTheProgrammerButNotTheLoader) {
    ViUInt32 count = 99;
    std::string first;
    EXPECT_EQ(find(programmer_expression, count, first), VI_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(first, programmer_name);
    EXPECT_EQ(find(loader_expression, count, first), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(first, "");

    ViFindList list = VI_NULL;
    ViChar desc[VI_FIND_BUFLEN];
    ASSERT_EQ(viFindRsrc(rm, "?*RAW", &list, &count, desc), VI_SUCCESS);
    EXPECT_EQ(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viClose(list), VI_SUCCESS);

    sim::SimConfig other_model;
    other_model.programmer_model = wire::programmer_model;
    start(other_model);
    EXPECT_EQ(find(programmer_expression, count, first), VI_SUCCESS);
    EXPECT_EQ(first, "USB0::0x194E::0x0001::KZ71SIM0001::RAW");
}

TEST_F(Visa, LoaderReenumeratesAsTheProgrammer) {
    sim::SimConfig config;
    config.start_as_loader = true;
    start(config);
    ViUInt32 count = 0;
    std::string loader;
    ASSERT_EQ(find(loader_expression, count, loader), VI_SUCCESS);
    EXPECT_EQ(loader, "USB0::0x194E::0x100A::KZ71SIM0001::RAW");
    std::string programmer;
    EXPECT_EQ(find(programmer_expression, count, programmer), VI_ERROR_RSRC_NFOUND);

    const ViSession vi = open(loader.c_str());
    const std::vector<std::uint8_t> image =
        sim::makeFirmwareImage(std::vector<std::uint8_t>(40), 1);
    for (std::size_t at = 0; at < image.size(); at += 16) {
        const auto length = static_cast<ViUInt16>(std::min<std::size_t>(16, image.size() - at));
        EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xA0, static_cast<ViUInt16>(at), 0, length,
                                  image.data() + at),
                  VI_SUCCESS);
    }
    const ViByte run = 0x30;
    EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xA0, 0xE600, 0, 1, &run), VI_SUCCESS);
    EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xA0, 0x0000, 0, 1, image.data()), VI_ERROR_CONN_LOST);
    EXPECT_EQ(viClose(vi), VI_SUCCESS);

    EXPECT_EQ(find(loader_expression, count, loader), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(find(programmer_expression, count, programmer), VI_SUCCESS);
}

TEST_F(Visa, TransfersReachTheDeviceAndReportTheBytesReceived) {
    const ViSession vi = open();
    const ViByte value[3] = {0xAA, 0x55, 0x66};
    EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xB0, wire::write_register, wire::reg_scratch, 3, value),
              VI_SUCCESS);
    ViByte reply[8] = {};
    ViUInt16 received = 0;
    EXPECT_EQ(
        viUsbControlIn(vi, 0xC0, 0xB0, wire::read_register, wire::reg_scratch, 8, reply, &received),
        VI_SUCCESS);
    EXPECT_EQ(received, 3);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[2], 0x66);
    EXPECT_EQ(viUsbControlIn(vi, 0xC0, 0xB0, wire::read_firmware_version, 0, 1, reply, nullptr),
              VI_SUCCESS);

    const sim::TransferLog& log = simulator->log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(sim::describe(log[0]), "OUT B0 0000 00F0 [AA 55 66]");
    EXPECT_EQ(log[2].time, 2 * simulator->config().transfer_time);
}

TEST_F(Visa, ClosedSessionsAreInvalidObjects) {
    const ViSession vi = open();
    EXPECT_EQ(viClose(vi), VI_SUCCESS);
    EXPECT_EQ(command(vi, wire::select_spi), VI_ERROR_INV_OBJECT);
    ViByte reply[3];
    EXPECT_EQ(viUsbControlIn(vi, 0xC0, 0xB0, wire::read_register, 0, 3, reply, nullptr),
              VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(VI_NULL), VI_WARN_NULL_OBJECT);

    // Closing the resource manager closes what was opened through it.
    const ViSession second = open();
    EXPECT_EQ(viClose(rm), VI_SUCCESS);
    EXPECT_EQ(command(second, wire::select_spi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(rm), VI_ERROR_INV_OBJECT);
    rm = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    EXPECT_EQ(viFindRsrc(rm, programmer_expression, nullptr, &count, desc), VI_ERROR_INV_OBJECT);
}

TEST_F(Visa, BadArgumentsGetVisaErrors) {
    const ViSession vi = open();
    ViSession other = VI_NULL;
    ViByte byte = 0;
    EXPECT_EQ(viUsbControlOut(vi, 0xC0, 0xB0, 0x55, 0, 0, nullptr), VI_ERROR_INV_PARAMETER);
    EXPECT_EQ(viUsbControlIn(vi, 0x40, 0xB0, 0x21, 0, 1, &byte, nullptr), VI_ERROR_INV_PARAMETER);
    EXPECT_EQ(viUsbControlOut(vi, 0x140, 0xB0, 0x55, 0, 0, nullptr), VI_ERROR_INV_PARAMETER);
    EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xB0, 0x00, 0xF0, 3, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viUsbControlOut(rm, 0x40, 0xB0, 0x55, 0, 0, nullptr), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viUsbControlOut(vi, 0x40, 0xB0, 0x99, 0, 0, nullptr), VI_ERROR_IO); // stalled
    EXPECT_EQ(viOpen(rm, programmer_name, 8, 1000, &other), VI_ERROR_INV_ACC_MODE);
    EXPECT_EQ(viOpen(rm, "USB0::0x194E", VI_NO_LOCK, 1000, &other), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm, "GPIB0::5::INSTR", VI_NO_LOCK, 1000, &other), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm, "USB0::0x194E::0x100F::KZ71SIM0001::INSTR", VI_NO_LOCK, 1000, &other),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viOpen(rm, "USB0::0x194E::0x100F::OTHER::RAW", VI_NO_LOCK, 1000, &other),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viOpen(rm, "usb::6478::4111::KZ71SIM0001::raw", VI_NO_LOCK, 1000, &other),
              VI_SUCCESS); // decimal numbers, lower case, default board
    EXPECT_EQ(other != VI_NULL, true);
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    EXPECT_EQ(viFindRsrc(rm, "USB?*{VI_ATTR_MANF_ID ==}", nullptr, &count, desc),
              VI_ERROR_INV_EXPR);

    setenv("KZ71_PROGRAMMER", "serial", 1);
    ViSession rm2 = VI_NULL;
    EXPECT_EQ(viOpenDefaultRM(&rm2), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(rm2, VI_NULL);
}

TEST_F(Visa, StatusDescriptionsAreVisasTexts) {
    EXPECT_EQ(description(VI_SUCCESS), "Operation completed successfully.");
    EXPECT_EQ(description(VI_ERROR_RSRC_NFOUND), "Insufficient location information or the device "
                                                 "or resource is not present in the system.");
    EXPECT_EQ(description(VI_ERROR_TMO), "Timeout expired before operation completed.");
    EXPECT_EQ(description(VI_ERROR_RSRC_BUSY),
              "The resource is valid, but VISA cannot currently access it.");
    EXPECT_EQ(description(VI_ERROR_INV_OBJECT),
              "The given session or object reference is invalid.");
    ViChar desc[VI_FIND_BUFLEN];
    EXPECT_EQ(viStatusDesc(rm, -1, desc), VI_WARN_UNKNOWN_STATUS);
    EXPECT_EQ(std::string(desc), "Unknown status code 0xFFFFFFFF.");
    EXPECT_EQ(VI_ERROR_RSRC_NFOUND, static_cast<ViStatus>(0xBFFF0011));
    EXPECT_LT(VI_ERROR_TMO, 0);
    EXPECT_GT(VI_WARN_NULL_OBJECT, 0);
}

TEST_F(Visa, DeviceHeldByAnotherProgramIsBusy) {
    simulator->faults().holdByOtherProgram(true);
    ViSession vi = VI_NULL;
    EXPECT_EQ(viOpen(rm, programmer_name, VI_NO_LOCK, 1000, &vi), VI_ERROR_RSRC_BUSY);
    EXPECT_EQ(vi, VI_NULL);
    simulator->faults().holdByOtherProgram(false);
    EXPECT_EQ(viOpen(rm, programmer_name, VI_NO_LOCK, 1000, &vi), VI_SUCCESS);
}

TEST_F(Visa, ExclusiveLockKeepsOtherSessionsOut) {
    const ViSession owner = open(programmer_name, VI_EXCLUSIVE_LOCK);
    const ViSession plain = open();
    ViSession second = VI_NULL;
    const auto before = clock->now();
    EXPECT_EQ(viOpen(rm, programmer_name, VI_EXCLUSIVE_LOCK, 1500, &second), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(clock->now() - before, 1500ms); // waited for the open time-out
    EXPECT_EQ(command(plain, wire::select_spi), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(command(owner, wire::select_spi), VI_SUCCESS);
    viClose(owner);
    EXPECT_EQ(command(plain, wire::select_spi), VI_SUCCESS);
}

TEST_F(Visa, InjectedFaultsBecomeVisaStatuses) {
    const ViSession vi = open();
    simulator->faults().failCommand(wire::enter_debug_mode, sim::Failure::timeout, 1);
    const auto before = clock->now();
    EXPECT_EQ(command(vi, wire::enter_debug_mode), VI_ERROR_TMO);
    EXPECT_GE(clock->now() - before, std::chrono::milliseconds(VI_DEFAULT_TMO_MS));
    simulator->faults().failCommand(wire::bgap_on, sim::Failure::stall, 1);
    EXPECT_EQ(command(vi, wire::bgap_on), VI_ERROR_IO);
    EXPECT_EQ(command(vi, wire::bgap_on), VI_SUCCESS);

    simulator->faults().corruptRead(sim::Memory::registers, wire::reg_scratch, 0x000001);
    ViByte reply[3];
    ViUInt16 received = 0;
    EXPECT_EQ(
        viUsbControlIn(vi, 0xC0, 0xB0, wire::read_register, wire::reg_scratch, 3, reply, &received),
        VI_SUCCESS);
    EXPECT_EQ(reply[2], 0x01);

    simulator->unplug();
    EXPECT_EQ(command(vi, wire::select_spi), VI_ERROR_CONN_LOST);
    EXPECT_EQ(viUsbControlIn(vi, 0xC0, 0xB0, wire::read_register, 0, 3, reply, &received),
              VI_ERROR_CONN_LOST);
    EXPECT_EQ(received, 0);
    ViUInt32 count = 0;
    std::string first;
    EXPECT_EQ(find(programmer_expression, count, first), VI_ERROR_RSRC_NFOUND);
    simulator->plug();
    EXPECT_EQ(command(vi, wire::select_spi), VI_ERROR_CONN_LOST); // the old session stays dead
    EXPECT_EQ(command(open(), wire::select_spi), VI_SUCCESS);
}

TEST_F(Visa, ClosingTellsThatTheMemoriesCouldNotBeKept) {
    sim::SimConfig config;
    config.state_path = "/nonexistent-folder/kz71-state.txt";
    start(config);
    const ViSession vi = open();
    EXPECT_EQ(command(vi, wire::power_reset), VI_SUCCESS);
    EXPECT_EQ(viClose(vi), VI_ERROR_IO);
    EXPECT_EQ(command(vi, wire::power_reset), VI_ERROR_INV_OBJECT); // closed all the same
    EXPECT_NE(simulator->stateProblem().find("cannot be written"), std::string::npos);
}

TEST_F(Visa, SessionsToAReplacedSimulatorAreLost) {
    const ViSession vi = open();
    simulator = &sim::resetSimulator({}, clock);
    EXPECT_EQ(command(vi, wire::select_spi), VI_ERROR_CONN_LOST);
    EXPECT_EQ(command(open(), wire::select_spi), VI_SUCCESS);
}

} // namespace
