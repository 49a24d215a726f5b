// A program that registers no backend: nothing to select, and no resource manager opens.
#include "programmer/backend_table.h"
#include "programmer/visa.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(NoBackend, NothingOpens) {
    unsetenv("KZ71_PROGRAMMER");
    ViSession rm = VI_NULL;
    EXPECT_EQ(viOpenDefaultRM(&rm), VI_ERROR_LIBRARY_NFOUND); // not even the default, "usb"
    std::string error;
    EXPECT_FALSE(programmer::selectBackend("usb", error));
    EXPECT_EQ(error, "no programmer backend is built into this program");
    EXPECT_TRUE(programmer::backendNames().empty());
}

} // namespace
