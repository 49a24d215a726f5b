// The program in the SPI EEPROM beside the chip: the download in 16-byte pages and the read &
// verify byte by byte. Both report through the link and end with the lamp "SUCCESS" or "FAILED";
// the return value says which.
#pragma once

#include "programmer/download_image.h"
#include "programmer/programmer_link.h"

#include <string>

namespace programmer {

// Loads `hexFilePath` into `image` and writes it into the SPI EEPROM.
bool downloadSpiEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath);
// Reads the SPI EEPROM back and compares it with the image of the last load.
bool verifySpiEeprom(ProgrammerLink& link, const DownloadImage& image);

} // namespace programmer
