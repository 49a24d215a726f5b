// The loader of a programmer without firmware: only a complete, well-formed firmware image,
// loaded the way the host loads "firmware/firmware.hex", brings up the programmer; anything
// else keeps the loader on the bus and says why.
#include "simulator/firmware_image.h"
#include "wire_rig.h"

#include <fstream>
#include <sstream>
#include <string_view>

namespace {

using namespace sim_test;
using sim::TransferStatus;

sim::TransferStatus loaderWrite(WireRig& rig, std::uint16_t address, const Bytes& data) {
    const sim::ControlSetup setup{wire::vendor_out, wire::loader_write_request, address, 0,
                                  static_cast<std::uint16_t>(data.size())};
    return rig.sim.control(rig.device(), setup, data, {}).status;
}

int hexAt(std::string_view line, std::size_t position, std::size_t digits) {
    if (line.size() < position + digits) return 0;
    return std::stoi(std::string(line.substr(position, digits)), nullptr, 16);
}

// The host's firmware load: per line the byte count (characters 2 and 3), the load address (4 to
// 7), the record type (8 and 9) and the data pairs; one loader write per record with data; the
// end record ends the loop; then 0x30 into the CPU control byte.
void loadLikeTheHost(WireRig& rig, const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const int count = hexAt(line, 1, 2);
        Bytes data;
        for (int i = 0; i < count; ++i)
            data.push_back(static_cast<std::uint8_t>(hexAt(line, 9 + 2 * i, 2)));
        if (count != 0 && loaderWrite(rig, static_cast<std::uint16_t>(hexAt(line, 3, 4)), data) !=
                              TransferStatus::ok)
            break;
        if (hexAt(line, 7, 2) == 1) break;
    }
    loaderWrite(rig, wire::loader_cpu_control, {0x30});
}

struct Loader : ::testing::Test {
    static sim::SimConfig loaderConfig(std::vector<std::string>& reports) {
        sim::SimConfig config;
        config.start_as_loader = true;
        config.report_problem = [&reports](const std::string& problem) {
            reports.push_back(problem);
        };
        return config;
    }
    bool programmerCameUp() const {
        return rig.sim.firmwareRunning() &&
               rig.sim.devices().at(0).model == rig.sim.config().programmer_model;
    }
    static std::string sampleFirmware() {
        const Bytes code(200, 0x5A);
        return sim::firmwareHexText(sim::makeFirmwareImage(code, 3));
    }

    std::vector<std::string> reports;
    WireRig rig{loaderConfig(reports)};
};

TEST_F(Loader, TheShippedFirmwareBringsUpTheProgrammer) {
    std::ifstream file(KZ71_SOURCE_DIR "/data/firmware/firmware.hex", std::ios::binary);
    ASSERT_TRUE(file);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) // the host reads at most 49 characters a line
        EXPECT_LE(line.size() + 1, 49u) << line;

    const std::uint32_t loader = rig.device();
    EXPECT_EQ(rig.sim.devices().at(0).model, wire::loader_model);
    loadLikeTheHost(rig, text);
    EXPECT_TRUE(programmerCameUp()) << rig.sim.loader().problem();
    EXPECT_NE(rig.device(), loader); // it re-enumerated under a new device
    EXPECT_EQ(loaderWrite(rig, 0x0000, {0x00}), TransferStatus::stalled); // no loader request
    EXPECT_EQ(rig.in(wire::read_firmware_version, 0, 1).size(), 1u);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Loader, AnythingButACompleteImageKeepsTheLoader) {
    const std::string good = sampleFirmware();
    const std::size_t second_record = good.find('\n') + 1;
    const std::size_t third_record = good.find('\n', second_record) + 1;
    std::string corrupted = good;
    corrupted[second_record + 9] = corrupted[second_record + 9] == 'A' ? 'B' : 'A';
    struct Case {
        std::string name;
        std::string file;
        std::string problem;
    };
    const Case cases[] = {
        {"nothing loaded", ":00000001FF\r\n", "no firmware was loaded"},
        {"a record missing", good.substr(0, second_record) + good.substr(third_record),
         "the firmware image is incomplete: 0x0010 was never written"},
        {"the load broke off", good.substr(0, third_record),
         "the firmware image is incomplete: 0x0020 was never written"},
        {"a byte changed", corrupted, "the firmware checksum is 0x"},
        {"not a firmware", ":0400000002000006F4\r\n:00000001FF\r\n",
         "the firmware descriptor at 0x0000 was not written (0x0004 is missing)"},
        {"data beyond the image", ":022000000102DB\r\n" + good,
         "data was written at 0x2000, outside the firmware image (0x00D8 bytes)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> case_reports;
        WireRig fresh(loaderConfig(case_reports));
        loadLikeTheHost(fresh, c.file);
        EXPECT_FALSE(fresh.sim.firmwareRunning()) << c.name;
        EXPECT_EQ(fresh.sim.devices().at(0).model, wire::loader_model) << c.name;
        const std::string expected = "the loader refused to start the firmware: " + c.problem;
        EXPECT_EQ(fresh.sim.loader().problem().substr(0, expected.size()), expected) << c.name;
        ASSERT_EQ(case_reports.size(), 1u) << c.name;
        EXPECT_EQ(case_reports[0], fresh.sim.loader().problem());
    }
}

TEST_F(Loader, ALaterCompleteLoadStillStarts) {
    const std::string good = sampleFirmware();
    loadLikeTheHost(rig, good.substr(0, good.find('\n') + 1)); // only the first record
    EXPECT_FALSE(rig.sim.firmwareRunning());
    EXPECT_EQ(rig.sim.loader().refusedStarts(), 1u);
    loadLikeTheHost(rig, good); // the next watchdog tick
    EXPECT_TRUE(programmerCameUp()) << rig.sim.loader().problem();
}

TEST_F(Loader, HeldCpuWaitsAndReadsBackMemory) {
    const std::vector<std::uint8_t> image = sim::makeFirmwareImage(Bytes(16, 0x11), 1);
    EXPECT_EQ(loaderWrite(rig, wire::loader_cpu_control, {0x01}), TransferStatus::ok); // held
    EXPECT_EQ(loaderWrite(rig, 0x0000, Bytes(image.begin(), image.begin() + 16)),
              TransferStatus::ok);
    EXPECT_EQ(loaderWrite(rig, 0x0010, Bytes(image.begin() + 16, image.end())), TransferStatus::ok);
    EXPECT_EQ(rig.sim.loader().bytesLoaded(), 32u);
    EXPECT_FALSE(rig.sim.firmwareRunning());
    Bytes reply(6);
    const sim::ControlSetup read{wire::vendor_in, wire::loader_write_request, 0x0000, 0, 6};
    EXPECT_EQ(rig.sim.control(rig.device(), read, {}, reply).received, 6u);
    EXPECT_EQ(std::string(reply.begin(), reply.end()), "KZ71FW");
    EXPECT_EQ(loaderWrite(rig, wire::loader_cpu_control, {0x30}), TransferStatus::ok);
    EXPECT_TRUE(programmerCameUp());
}

TEST_F(Loader, RefusesWritesBeyondItsMemoryAndOtherRequests) {
    EXPECT_EQ(loaderWrite(rig, 0xFFFF, {1, 2}), TransferStatus::stalled);
    const sim::ControlSetup programmer_command{wire::vendor_out, wire::programmer_request,
                                               wire::power_reset, 0, 0};
    EXPECT_EQ(rig.sim.control(rig.device(), programmer_command, {}, {}).status,
              TransferStatus::stalled);
    EXPECT_EQ(rig.sim.loader().bytesLoaded(), 0u);
}

TEST(FirmwareImage, CrcIsTheCommonCrc32) {
    const std::string_view check = "123456789";
    EXPECT_EQ(sim::crc32({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}),
              0xCBF43926u);
}

} // namespace
