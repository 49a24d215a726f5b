// VISA resource expressions and USB resource names.
#include "programmer/resource_expression.h"
#include "programmer/usb_resource_name.h"

#include <gtest/gtest.h>

namespace {

using namespace visa_detail;

AttributeLookup device(std::int64_t manufacturer, std::int64_t model, std::string serial = "S1") {
    return [=](std::string_view name) -> std::optional<AttributeValue> {
        if (name == "VI_ATTR_MANF_ID") return manufacturer;
        if (name == "VI_ATTR_MODEL_CODE") return model;
        if (name == "VI_ATTR_USB_SERIAL_NUM") return serial;
        return std::nullopt;
    };
}

bool matches(const char* expression, const char* name, const AttributeLookup& attributes) {
    const auto parsed = ResourceExpression::parse(expression);
    EXPECT_TRUE(parsed) << expression;
    return parsed && parsed->matches(name, attributes);
}

TEST(ResourceExpression, RegularExpressionPart) {
    const auto any = device(0, 0);
    EXPECT_TRUE(matches("USB?*", "USB0::0x194E::0x100F::S1::RAW", any));
    EXPECT_TRUE(matches("usb?*raw", "USB0::0x194E::0x100F::S1::RAW", any)); // case-insensitive
    EXPECT_FALSE(matches("USB?*", "GPIB0::5::INSTR", any));
    EXPECT_TRUE(matches("?*INSTR", "GPIB0::5::INSTR", any));
    EXPECT_TRUE(matches("USB[0-9]::?*", "USB3::1::2::3::RAW", any));
    EXPECT_FALSE(matches("USB[^0-9]::?*", "USB3::1::2::3::RAW", any));
    EXPECT_TRUE(matches("(GPIB|USB)0+::?*", "USB00::1", any));
    EXPECT_TRUE(matches("a\\?b", "a?b", any));
    EXPECT_FALSE(matches("a\\?b", "axb", any));
    EXPECT_TRUE(matches("a.b", "a.b", any)); // a dot is an ordinary character
    EXPECT_FALSE(matches("a.b", "axb", any));
}

TEST(ResourceExpression, AttributePart) {
    const char* programmer = "USB?*{VI_ATTR_MANF_ID == 0x194E && (VI_ATTR_MODEL_CODE == 0x0001 || "
                             "VI_ATTR_MODEL_CODE == 0x100F)}";
    const char* name = "USB0::1::2::S1::RAW";
    EXPECT_TRUE(matches(programmer, name, device(0x194E, 0x0001)));
    EXPECT_TRUE(matches(programmer, name, device(0x194E, 0x100F)));
    EXPECT_FALSE(matches(programmer, name, device(0x194E, 0x100A)));
    EXPECT_FALSE(matches(programmer, name, device(0x194F, 0x0001)));
    EXPECT_TRUE(matches("?*{!(VI_ATTR_MODEL_CODE < 10) && VI_ATTR_MODEL_CODE <= 0x100A}", name,
                        device(1, 0x100A)));
    EXPECT_TRUE(matches("?*{VI_ATTR_USB_SERIAL_NUM == \"S1\"}", name, device(1, 1)));
    EXPECT_FALSE(matches("?*{VI_ATTR_USB_SERIAL_NUM != \"S1\"}", name, device(1, 1)));
    // An attribute the resource lacks makes its comparison false.
    EXPECT_FALSE(matches("?*{VI_ATTR_GPIB_PRIMARY_ADDR == 5}", name, device(1, 1)));
    EXPECT_TRUE(
        matches("?*{VI_ATTR_GPIB_PRIMARY_ADDR == 5 || VI_ATTR_MANF_ID == 1}", name, device(1, 1)));
}

TEST(ResourceExpression, MalformedExpressionsAreRejected) {
    for (const char* bad : {"", "{VI_ATTR_MANF_ID == 1}", "USB?*{", "USB?*{}", "USB[0-9",
                            "USB?*{VI_ATTR_MANF_ID = 1}", "USB?*{VI_ATTR_MANF_ID == 0x}",
                            "USB?*{(VI_ATTR_MANF_ID == 1}", "USB?*{VI_ATTR_MANF_ID == 1} x",
                            "USB?*{VI_ATTR_MANF_ID == \"open}", "a\\", "USB(?*"})
        EXPECT_FALSE(ResourceExpression::parse(bad)) << bad;
}

TEST(UsbResourceName, CanonicalNamesAndTheirVariants) {
    const UsbDeviceEntry entry{0x194E, 0x100F, "KZ71SIM0001", 0, 7};
    EXPECT_EQ(canonicalName(entry), "USB0::0x194E::0x100F::KZ71SIM0001::RAW");
    const UsbDeviceEntry second_interface{0x194E, 0x0001, "X", 2, 7};
    EXPECT_EQ(canonicalName(second_interface), "USB0::0x194E::0x0001::X::2::RAW");

    const auto parsed = parseUsbResourceName("usb0::0x194e::4111::KZ71SIM0001::raw");
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(sameDevice(*parsed, entry));
    const auto with_interface = parseUsbResourceName("USB::0x194E::0x0001::X::2::RAW");
    ASSERT_TRUE(with_interface);
    EXPECT_TRUE(sameDevice(*with_interface, second_interface));
    const auto instr = parseUsbResourceName("USB0::0x194E::0x100F::KZ71SIM0001");
    ASSERT_TRUE(instr);
    EXPECT_FALSE(instr->raw);
    EXPECT_FALSE(sameDevice(*instr, entry));
    const auto other_board = parseUsbResourceName("USB1::0x194E::0x100F::KZ71SIM0001::RAW");
    ASSERT_TRUE(other_board);
    EXPECT_FALSE(sameDevice(*other_board, entry));

    for (const char* bad : {"", "USB0", "USBx::1::2::S::RAW", "USB0::0x10000::1::S::RAW",
                            "USB0::1::2::::RAW", "USB0::1::2::S::RAW::X", "USB0::1::2::S::x::RAW",
                            "GPIB0::1::2::S::RAW", "USB0::0xZZ::1::S::RAW"})
        EXPECT_FALSE(parseUsbResourceName(bad)) << bad;
}

} // namespace
