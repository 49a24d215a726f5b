// The libusb backend builds and runs everywhere; on a machine without a KZ71 programmer it finds
// nothing and says so in VISA's terms.
#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "programmer/visa.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct LibusbBackend : ::testing::Test {
    void SetUp() override { programmer::registerBackend("usb", programmer::makeLibusbBackend); }
};

TEST_F(LibusbBackend, FindsNoProgrammerHere) {
    setenv("KZ71_PROGRAMMER", "usb", 1);
    ViSession rm = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViUInt32 count = 99;
    ViChar desc[VI_FIND_BUFLEN] = "untouched";
    EXPECT_EQ(viFindRsrc(rm,
                         "USB?*{VI_ATTR_MANF_ID == 0x194E && (VI_ATTR_MODEL_CODE == 0x0001 || "
                         "VI_ATTR_MODEL_CODE == 0x100F)}",
                         nullptr, &count, desc),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(desc[0], '\0');
    ViSession vi = VI_NULL;
    EXPECT_EQ(viOpen(rm, "USB0::0x194E::0x100F::NOSUCHDEVICE::RAW", VI_NO_LOCK, 1000, &vi),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viClose(rm), VI_SUCCESS);
}

TEST_F(LibusbBackend, IsTheDefault) {
    unsetenv("KZ71_PROGRAMMER");
    ViSession rm = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    EXPECT_EQ(viFindRsrc(rm, "USB?*{VI_ATTR_MANF_ID == 0x194E}", nullptr, &count, desc),
              VI_ERROR_RSRC_NFOUND); // the simulator's device is not seen
    viClose(rm);
}

} // namespace
