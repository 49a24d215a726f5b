#include "programmer/download_commands.h"

#include "programmer/otp_download.h"
#include "programmer/spi_eeprom_download.h"
#include "programmer/user_eeprom_download.h"

#include <filesystem>

namespace programmer {

bool downloadHexFile(ProgrammerLink& link, DownloadImage& image, const DownloadRequest& request) {
    if (request.hexFilePath.empty()) {
        link.report.showWarningPopup("There was no hexfile selected for download", 130);
        return false;
    }
    bool ok = false;
    if (request.memory == TargetMemory::otp) {
        if (!link.report.askYesNo(otp_warning_title, otp_warning)) return false;
        ok = downloadOtp(link, image, request.hexFilePath, request.readProtect);
    } else {
        ok = downloadSpiEeprom(link, image, request.hexFilePath);
    }
    std::error_code error;
    if (!request.eprFilePath.empty() && std::filesystem::exists(request.eprFilePath, error))
        ok = downloadUserEeprom(link, image, request.eprFilePath) && ok;
    return ok;
}

bool readAndVerify(ProgrammerLink& link, const DownloadImage& image, TargetMemory memory) {
    if (memory == TargetMemory::otp) return verifyOtp(link, image);
    return verifySpiEeprom(link, image);
}

} // namespace programmer
