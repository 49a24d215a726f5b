// The udev rule that lets a normal user reach the programmer names exactly its USB ids.
#include "protocol/command_codes.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

TEST(UdevRules, GrantTheProgrammerAndItsLoaderToTheUser) {
    std::ifstream file(UDEV_RULES_PATH);
    ASSERT_TRUE(file) << UDEV_RULES_PATH;
    std::stringstream text;
    text << file.rdbuf();
    const std::string rules = text.str();
    EXPECT_NE(rules.find("ATTR{idVendor}!=\"" + hex4(wire::manufacturer_id) + "\""),
              std::string::npos);
    for (const unsigned model :
         {wire::programmer_model, wire::programmer_model_alt, wire::loader_model}) {
        const std::string rule = "ATTR{idProduct}==\"" + hex4(model) +
                                 "\", MODE=\"0660\", GROUP=\"plugdev\", TAG+=\"uaccess\"";
        EXPECT_NE(rules.find(rule), std::string::npos) << rule;
    }
}

} // namespace
