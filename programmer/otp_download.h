// The program in the chip's one-time-programmable memory: the download (programming voltage,
// enables, one write per byte, the second copy in redundancy mode, the read-protect byte) and the
// read & verify. Both end with the lamp "SUCCESS" or "FAILED"; the return value says which.
#pragma once

#include "programmer/download_image.h"
#include "programmer/programmer_link.h"

#include <cstdint>
#include <string>

namespace programmer {

inline constexpr std::uint16_t otp_block1 = 0x1000;       // the copy in redundancy mode
inline constexpr std::uint16_t otp_read_protect = 0x1FCF; // 0xFF here protects from reading

// Loads `hexFilePath` into `image` and burns it into the OTP; `readProtect` is the "Read
// Protect" check box. The caller has asked the user first: this cannot be undone.
bool downloadOtp(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath,
                 bool readProtect);
// Reads the OTP back (both blocks in redundancy mode) and compares it with the image.
bool verifyOtp(ProgrammerLink& link, const DownloadImage& image);

} // namespace programmer
