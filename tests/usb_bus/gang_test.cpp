// Gang programming: three programmers with serials of their own on one bus, each with its own
// simulated chip, and kz71prog processes that run at the same time. They reach the bus through
// umockdev's preload library and UMOCKDEV_DIR, which they inherit from this program; their
// ioctls come back here over umockdev's sockets and are answered by the same bridge.
#include "bus_fixture.h"
#include "link_fixture.h"
#include "prog_process.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t gang_size = 3;

struct Gang : BusTest {
    void SetUp() override {
        BusTest::SetUp();
        if (IsSkipped()) return;
        for (std::size_t i = 0; i < gang_size; ++i) {
            sim::SimConfig config;
            config.serial = "KZ71GANG000" + std::to_string(i + 1);
            // kz71prog pauses in real time, so the chips' memories keep real time too.
            plugProgrammer(config, kz71::steadyClock());
            images[i] = countingImage(96, static_cast<std::uint8_t>(0x11 + 0x20 * i));
            dir.write(hexName(i), hexFileText(images[i]));
        }
    }
    static std::string hexName(std::size_t i) { return "prog" + std::to_string(i + 1) + ".hex"; }

    // kz71prog with `arguments(i)` for every programmer at once; their results in that order.
    template <typename Arguments>
    std::vector<usb_bus::ProgResult> runEach(Arguments arguments) {
        std::vector<std::unique_ptr<usb_bus::ProgProcess>> running;
        for (std::size_t i = 0; i < gang_size; ++i)
            running.push_back(std::make_unique<usb_bus::ProgProcess>(
                KZ71PROG_PATH, arguments(i), dir.path().string(), "kz71prog" + std::to_string(i),
                static_cast<int>(i)));
        std::vector<usb_bus::ProgResult> results;
        for (const auto& process : running)
            results.push_back(process->wait());
        return results;
    }
    std::vector<std::string> device(std::size_t i, std::vector<std::string> command) const {
        command.insert(command.begin(), {"--device", programmers[i]->resourceName()});
        return command;
    }

    ScratchDirectory dir;
    std::array<Bytes, gang_size> images;
};

TEST_F(Gang, ListShowsEveryProgrammer) {
    usb_bus::ProgProcess list(KZ71PROG_PATH, {"list"}, dir.path().string(), "list");
    const usb_bus::ProgResult result = list.wait();
    ASSERT_EQ(result.exit_code, 0) << result.err;
    Lines names;
    for (std::size_t start = 0, end; (end = result.out.find('\n', start)) != std::string::npos;
         start = end + 1)
        names.push_back(result.out.substr(start, end - start));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Lines{"USB0::0x194E::0x100F::KZ71GANG0001::RAW",
                            "USB0::0x194E::0x100F::KZ71GANG0002::RAW",
                            "USB0::0x194E::0x100F::KZ71GANG0003::RAW"}));
}

TEST_F(Gang, ThreeDownloadsAtOnceEachIntoItsOwnChip) {
    const auto downloads = runEach([&](std::size_t i) {
        return device(i, {"download", hexName(i)});
    });
    for (std::size_t i = 0; i < gang_size; ++i) {
        EXPECT_EQ(downloads[i].exit_code, 0) << i << downloads[i].out << downloads[i].err;
        EXPECT_TRUE(downloads[i].out.ends_with("Download: SUCCESS\n")) << downloads[i].out;
        const auto& eeprom = programmers[i]->simulator().board().spi_eeprom.contents();
        EXPECT_TRUE(std::equal(images[i].begin(), images[i].end(), eeprom.begin())) << i;
        EXPECT_EQ(eeprom[images[i].size()], 0xFF) << i;
    }

    const auto verifies = runEach([&](std::size_t i) { return device(i, {"verify", hexName(i)}); });
    for (std::size_t i = 0; i < gang_size; ++i) {
        EXPECT_EQ(verifies[i].exit_code, 0) << i << verifies[i].out << verifies[i].err;
        EXPECT_TRUE(verifies[i].out.ends_with("Read & Verify: SUCCESS\n")) << verifies[i].out;
    }

    // Each chip holds its own program: the neighbour's file does not verify.
    const auto crossed = runEach([&](std::size_t i) {
        return device(i, {"verify", hexName((i + 1) % gang_size)});
    });
    for (std::size_t i = 0; i < gang_size; ++i) {
        EXPECT_EQ(crossed[i].exit_code, 1) << i << crossed[i].out;
        EXPECT_TRUE(crossed[i].out.ends_with("Read & Verify: FAILED\n")) << crossed[i].out;
    }
}

} // namespace
