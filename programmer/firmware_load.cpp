#include "programmer/firmware_load.h"

#include "programmer/download_frame.h"
#include "programmer/text_file.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace programmer {

namespace {

constexpr std::uint8_t start_firmware = 0x30; // CPU control byte: run
constexpr std::uint8_t end_of_file_record = 0x01;
constexpr std::size_t firmware_file_limit = std::size_t{4} << 20;

// A VISA session or resource manager, closed when it goes out of scope.
class VisaHandle {
public:
    VisaHandle() = default;
    VisaHandle(const VisaHandle&) = delete;
    VisaHandle& operator=(const VisaHandle&) = delete;
    ~VisaHandle() {
        if (handle_ != VI_NULL) viClose(handle_);
    }
    ViSession* out() { return &handle_; }
    ViSession get() const { return handle_; }

private:
    ViSession handle_ = VI_NULL;
};

struct Record {
    std::uint16_t address = 0;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data;
};

std::optional<std::uint32_t> hexField(std::string_view line, std::size_t at, std::size_t digits) {
    if (at + digits > line.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        const char c = line[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// ":" count(2) address(4) type(2) data(2 each); the checksum behind them is not used.
std::optional<Record> parseRecord(std::string_view line) {
    if (line.empty() || line[0] != ':') return std::nullopt;
    const auto count = hexField(line, 1, 2);
    const auto address = hexField(line, 3, 4);
    const auto type = hexField(line, 7, 2);
    if (!count || !address || !type) return std::nullopt;
    Record record{static_cast<std::uint16_t>(*address), static_cast<std::uint8_t>(*type), {}};
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto byte = hexField(line, 9 + 2 * i, 2);
        if (!byte) return std::nullopt;
        record.data.push_back(static_cast<std::uint8_t>(*byte));
    }
    return record;
}

// Every record of the file; on a damaged line its number in `badLine`.
std::optional<std::vector<Record>> parseFirmware(std::string_view text, int& badLine) {
    std::vector<Record> records;
    for (int number = 1; !text.empty(); ++number) {
        std::string_view line = takeLine(text);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        if (line.empty()) continue;
        std::optional<Record> record = parseRecord(line);
        if (!record) {
            badLine = number;
            return std::nullopt;
        }
        records.push_back(std::move(*record));
    }
    return records;
}

ViStatus loaderWrite(ProgrammerLink& link, ViSession loader, std::uint16_t address,
                     std::span<const std::uint8_t> data) {
    return transferOut(link, loader, wire::loader_write_request, address, 0, data);
}

// Writes the records up to the end record; false after a failed write (with its popup).
bool writeRecords(ProgrammerLink& link, ViSession loader, const std::vector<Record>& records) {
    for (const Record& record : records) {
        if (!record.data.empty() &&
            loaderWrite(link, loader, record.address, record.data) != VI_SUCCESS) {
            link.report.showMessagePopup(
                "ERROR", "error by downloading firmware, please make sure drivers\nare properly "
                         "installed, and reset programmer device by\ndisconnecting and "
                         "reconnecting it");
            return false;
        }
        if (record.type == end_of_file_record) break;
    }
    return true;
}

} // namespace

FirmwareLoad loadProgrammerFirmware(ProgrammerLink& link, const std::string& firmwarePath) {
    VisaHandle rm;
    if (viOpenDefaultRM(rm.out()) != VI_SUCCESS) return FirmwareLoad::no_loader;
    ViChar desc[VI_FIND_BUFLEN] = {};
    ViUInt32 count = 0;
    if (viFindRsrc(rm.get(), loader_expression, nullptr, &count, desc) != VI_SUCCESS || count == 0)
        return FirmwareLoad::no_loader;
    VisaHandle loader;
    if (viOpen(rm.get(), desc, VI_NO_LOCK, 1000, loader.out()) != VI_SUCCESS) {
        link.report.showMessagePopup("ERROR",
                                     "programmer device is being used by another application");
        return FirmwareLoad::loader_busy;
    }
    const std::optional<std::string> text = readTextFile(firmwarePath, firmware_file_limit);
    if (!text) {
        std::error_code error;
        if (!std::filesystem::exists(firmwarePath, error)) return FirmwareLoad::no_file;
        link.report.showMessagePopup(
            "ERROR", formatMessage("The firmware file %s cannot be read", firmwarePath.c_str()));
        return FirmwareLoad::damaged_file;
    }
    int badLine = 0;
    const std::optional<std::vector<Record>> records = parseFirmware(*text, badLine);
    if (!records) {
        link.report.showMessagePopup("ERROR",
                                     formatMessage("The firmware file %s is damaged in line %d",
                                                   firmwarePath.c_str(), badLine));
        return FirmwareLoad::damaged_file;
    }
    const bool written = writeRecords(link, loader.get(), *records);
    const std::uint8_t start[] = {start_firmware};
    loaderWrite(link, loader.get(), wire::loader_cpu_control, start);
    return written ? FirmwareLoad::loaded : FirmwareLoad::write_failed;
}

} // namespace programmer
