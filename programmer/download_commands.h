// "Download Hex-File" and "Read & Verify" once the Download page has its hex file and memory
// choice: the dispatch to the SPI EEPROM or OTP operations, the OTP question, and the user
// EEPROM download that follows every program download. The IDE's page and kz71prog both run
// these, so each sequence exists once.
#pragma once

#include "programmer/download_image.h"
#include "programmer/programmer_link.h"

#include <string>
#include <string_view>

namespace programmer {

// The memory selection's items, by index.
enum class TargetMemory : int { spiEeprom = 0, otp = 1 };

inline constexpr std::string_view otp_warning_title = "Warning";
inline constexpr std::string_view otp_warning =
    "Warning: any change to the OTP content is permanent, do you want to continue?";
inline constexpr std::string_view read_protect_warning =
    "By activating Read Protect, the OTP will be protected from reading, this action can not be "
    "undone!";
inline constexpr int read_protect_warning_code = 998;

struct DownloadRequest {
    TargetMemory memory = TargetMemory::spiEeprom;
    bool readProtect = false; // OTP only
    std::string hexFilePath;  // empty: none selected
    std::string eprFilePath;  // the user EEPROM download runs when this file exists
};

// Warning 130 without a hex file; for the OTP the question, declined = nothing sent; then the
// program download and, whatever its result, the user EEPROM download when the .epr file
// exists. True when everything that ran succeeded.
bool downloadHexFile(ProgrammerLink& link, DownloadImage& image, const DownloadRequest& request);
// The read & verify of the selected memory against the image of the last download.
bool readAndVerify(ProgrammerLink& link, const DownloadImage& image, TargetMemory memory);

} // namespace programmer
