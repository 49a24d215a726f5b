#include "bus_fixture.h"

#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "simulator/sim_backend.h"

#include <cstdlib>

void BusTest::SetUp() {
    const usb_bus::EmulatedBus& bus = usb_bus::EmulatedBus::instance();
    if (!bus.available()) GTEST_SKIP() << bus.unavailableReason();
    unsetenv("KZ71_PROGRAMMER");
    programmer::registerBackend("usb", programmer::makeLibusbBackend);
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    useBackend("usb");
}

void BusTest::TearDown() {
    viClose(session.resourceManager); // what a failed test left open
    for (const auto& programmer : programmers)
        EXPECT_EQ(programmer->problems(), std::vector<std::string>{}) << programmer->resourceName();
    programmers.clear();
}

usb_bus::EmulatedProgrammer& BusTest::plugProgrammer(sim::SimConfig config,
                                                     std::shared_ptr<kz71::Clock> clock) {
    programmers.push_back(std::make_unique<usb_bus::EmulatedProgrammer>(
        usb_bus::EmulatedBus::instance(), std::move(config), std::move(clock)));
    return *programmers.back();
}

void BusTest::useBackend(const char* name) {
    std::string error;
    ASSERT_TRUE(programmer::selectBackend(name, error)) << error;
}
