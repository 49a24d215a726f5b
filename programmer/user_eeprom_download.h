// The chip's 128 bytes of user EEPROM: erased and written cell by cell from the assembler's .epr
// file after every program download, then shown in the Download page's table.
#pragma once

#include "programmer/download_image.h"
#include "programmer/programmer_link.h"

#include <string>

namespace programmer {

// The whole operation, with its own session and lamp. True when it ended with "SUCCESS".
bool downloadUserEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& eprFilePath);
// Writes every cell the file lists (0 = all written, 1 = failed with a message); each value also
// goes to `image.userEeprom`. A cell address above 127 is refused before anything is sent for it.
int writeUserEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& eprFilePath);

} // namespace programmer
