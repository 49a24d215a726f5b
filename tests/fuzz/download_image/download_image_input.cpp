// Fuzz entry point: one input is one file as the Download page and the watchdog read it, the
// .hex image, the .epr user EEPROM cells and the programmer's firmware file, each read from the
// same bytes over a programmer that accepts every transfer.
#include "fuzz_check.h"
#include "memory_file.h"
#include "programmer/download_image.h"
#include "programmer/firmware_load.h"
#include "programmer/session.h"
#include "programmer/user_eeprom_download.h"
#include "quiet_report.h"
#include "scripted_backend.h"

namespace {

using namespace programmer;

// A loaded image holds its bytes from 0 to lastIndex and nothing behind them.
void checkImage(const DownloadImage& image) {
    FUZZ_CHECK(image.lastIndex >= -1 &&
               image.lastIndex < static_cast<int>(DownloadImage::code_size));
    for (std::size_t i = static_cast<std::size_t>(image.lastIndex + 1); i < image.code.size(); ++i)
        FUZZ_CHECK(image.code[i] == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile file("download_image");
    static kz71::VirtualClock clock;
    static fuzz::Script script({}, fuzz::Exhausted::succeed);
    fuzz::useScriptedBackend(script, clock);
    file.assign({data, size});

    ProgrammerSession session;
    fuzz::QuietReport report;
    ProgrammerLink link{session, report, clock};
    DownloadImage image;
    if (loadHexImage(link, image, file.path()) == 0) checkImage(image);

    FUZZ_CHECK(openProgrammer(link) == 0); // the quiet bus always has the programmer
    writeUserEeprom(link, image, file.path());
    showUserEepromTable(report, image);
    closeProgrammer(link);
    FUZZ_CHECK(session.resourceManager == VI_NULL && session.instrument == VI_NULL);

    loadProgrammerFirmware(link, file.path());
    return 0;
}
