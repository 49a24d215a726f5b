// The backend table: a program's choice of backend, the KZ71_PROGRAMMER override, and unknown
// names refused with the list of known ones.
#include "programmer/backend_table.h"
#include "programmer/visa.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// A backend with one device whose serial number names the backend.
class NamedBackend final : public protocol::UsbBackend {
public:
    explicit NamedBackend(std::string serial, ViStatus started = VI_SUCCESS)
        : serial_(std::move(serial)), started_(started) {}
    ViStatus startStatus() const override { return started_; }
    std::vector<protocol::UsbDeviceEntry> find() override {
        return {{0x194E, 0x100F, serial_, 0, 1}};
    }
    ViStatus open(const protocol::UsbDeviceEntry&, protocol::UsbHandle& handle) override {
        handle = 1;
        return VI_SUCCESS;
    }
    ViStatus close(protocol::UsbHandle) override { return VI_SUCCESS; }
    ViStatus controlOut(protocol::UsbHandle, const wire::ControlSetup&,
                        std::span<const std::uint8_t>, std::uint32_t) override {
        return VI_SUCCESS;
    }
    ViStatus controlIn(protocol::UsbHandle, const wire::ControlSetup&, std::span<std::uint8_t>,
                       std::uint16_t& received, std::uint32_t) override {
        received = 0;
        return VI_SUCCESS;
    }
    kz71::Clock& clock() override { return clock_; }

private:
    std::string serial_;
    ViStatus started_;
    kz71::VirtualClock clock_;
};

struct BackendTable : ::testing::Test {
    void SetUp() override {
        unsetenv("KZ71_PROGRAMMER");
        for (const char* name : {"beta", "alpha"})
            programmer::registerBackend(name,
                                        [name] { return std::make_unique<NamedBackend>(name); });
    }
    void TearDown() override { unsetenv("KZ71_PROGRAMMER"); }

    // The serial number of the device the next resource manager finds: its backend's name.
    static std::string openedBackend() {
        ViSession rm = VI_NULL;
        const ViStatus status = viOpenDefaultRM(&rm);
        if (status != VI_SUCCESS) return "status " + std::to_string(status);
        ViChar name[VI_FIND_BUFLEN] = "";
        ViUInt32 count = 0;
        viFindRsrc(rm, "USB?*RAW", nullptr, &count, name);
        viClose(rm);
        const std::string resource = name; // USB0::0x194E::0x100F::<serial>::RAW
        const std::size_t end = resource.rfind("::");
        const std::size_t start = resource.rfind("::", end - 1) + 2;
        return resource.substr(start, end - start);
    }
};

TEST_F(BackendTable, TheProgramChoosesAndTheEnvironmentOverrides) {
    EXPECT_EQ(programmer::backendNames(), (std::vector<std::string>{"alpha", "beta"}));
    std::string error;
    EXPECT_TRUE(programmer::selectBackend("alpha", error)) << error;
    EXPECT_EQ(openedBackend(), "alpha");
    EXPECT_TRUE(programmer::selectBackend("beta", error));
    EXPECT_EQ(openedBackend(), "beta");

    setenv("KZ71_PROGRAMMER", "ALPHA", 1); // a script's override, in any case
    EXPECT_TRUE(programmer::selectBackend("beta", error));
    EXPECT_EQ(openedBackend(), "alpha");
    setenv("KZ71_PROGRAMMER", "", 1); // empty: not set
    EXPECT_TRUE(programmer::selectBackend("beta", error));
    EXPECT_EQ(openedBackend(), "beta");
}

TEST_F(BackendTable, AnUnknownNameIsRefusedWithTheKnownOnes) {
    std::string error;
    EXPECT_FALSE(programmer::selectBackend("serial", error));
    EXPECT_EQ(error, "unknown programmer backend 'serial' (known: alpha, beta)");
    ViSession rm = 1234;
    EXPECT_EQ(viOpenDefaultRM(&rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(rm, VI_NULL);

    setenv("KZ71_PROGRAMMER", "usb", 1);
    EXPECT_FALSE(programmer::selectBackend("alpha", error));
    EXPECT_EQ(error, "unknown programmer backend 'usb' in KZ71_PROGRAMMER (known: alpha, beta)");
    EXPECT_EQ(viOpenDefaultRM(&rm), VI_ERROR_LIBRARY_NFOUND);
}

TEST_F(BackendTable, ABackendThatCannotStartFailsTheResourceManager) {
    programmer::registerBackend(
        "broken", [] { return std::make_unique<NamedBackend>("x", VI_ERROR_SYSTEM_ERROR); });
    std::string error;
    ASSERT_TRUE(programmer::selectBackend("broken", error)) << error;
    ViSession rm = 1234;
    EXPECT_EQ(viOpenDefaultRM(&rm), VI_ERROR_SYSTEM_ERROR); // not an empty bus
    EXPECT_EQ(rm, VI_NULL);
}

} // namespace
