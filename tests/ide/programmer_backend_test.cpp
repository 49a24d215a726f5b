// Which programmer the IDE talks to: --simulator selects the simulated one, KZ71_PROGRAMMER
// overrides it, and a backend that does not exist is told with the names of those that do.
#include "app/programmer_backend.h"
#include "ide_fixture.h"
#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "programmer/visa.h"
#include "simulator/sim_backend.h"

#include <cstdlib>

namespace ide::test {
namespace {

class ProgrammerBackend : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        unsetenv("KZ71_PROGRAMMER");
        programmer::registerBackend("usb", programmer::makeLibusbBackend);
        programmer::registerBackend("sim", sim::makeSimulatorBackend);
    }
    void TearDown() override {
        unsetenv("KZ71_PROGRAMMER");
        IdeTest::TearDown();
    }
    void useOptions(Options options) {
        app = std::make_unique<Application>(installedPaths(dir.path()), options);
        app->popups().setHandler(&popups);
    }
    // The resource names the selected backend finds.
    static QString programmersFound() {
        ViSession rm = VI_NULL;
        if (viOpenDefaultRM(&rm) != VI_SUCCESS) return "no resource manager";
        ViChar name[VI_FIND_BUFLEN] = {};
        ViUInt32 count = 0;
        const ViStatus status = viFindRsrc(rm, "USB?*", nullptr, &count, name);
        viClose(rm);
        return status == VI_SUCCESS ? QString::fromLatin1(name) : QString("none");
    }
};

TEST_F(ProgrammerBackend, TheSimulatorOptionSelectsTheSimulatedProgrammer) {
    useOptions({.useSimulator = true});
    EXPECT_TRUE(selectProgrammerBackend(*app));
    EXPECT_TRUE(popups.shown.isEmpty());
    EXPECT_EQ(programmersFound(), "USB0::0x194E::0x100F::KZ71SIM0001::RAW");

    useOptions({});
    EXPECT_TRUE(selectProgrammerBackend(*app));
    EXPECT_EQ(programmersFound(), "none"); // no USB programmer on this machine
}

TEST_F(ProgrammerBackend, TheEnvironmentHasTheLastWord) {
    setenv("KZ71_PROGRAMMER", "sim", 1);
    useOptions({});
    EXPECT_TRUE(selectProgrammerBackend(*app));
    EXPECT_EQ(programmersFound(), "USB0::0x194E::0x100F::KZ71SIM0001::RAW");
}

TEST_F(ProgrammerBackend, AnUnknownBackendIsToldWithTheKnownOnes) {
    setenv("KZ71_PROGRAMMER", "serial", 1);
    useOptions({.useSimulator = true});
    EXPECT_FALSE(selectProgrammerBackend(*app));
    ASSERT_EQ(popups.titles(), "ivra-ASM Warning 173");
    EXPECT_TRUE(popups.shown[0].text.contains("'serial'")) << popups.shown[0].text.toStdString();
    EXPECT_TRUE(popups.shown[0].text.contains("known: sim, usb"));
}

} // namespace
} // namespace ide::test
