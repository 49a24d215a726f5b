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
    if (!request.eprFilePath.empty() && std::filesystem::exists(request.eprFilePath, error)) {
        const bool eepromOk = downloadUserEeprom(link, image, request.eprFilePath);
        // The lamp ends on the whole download: green after a failed program download would
        // report that failure as a success.
        if (eepromOk && !ok) link.report.setLamp(LampState::failed);
        ok = eepromOk && ok;
    }
    return ok;
}

bool readAndVerify(ProgrammerLink& link, const DownloadImage& image, TargetMemory memory) {
    if (memory == TargetMemory::otp) return verifyOtp(link, image);
    return verifySpiEeprom(link, image);
}

} // namespace programmer
