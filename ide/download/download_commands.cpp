#include "download/download_commands.h"

#include "app/application.h"
#include "download/page_report.h"
#include "pages/download_page.h"
#include "programmer/session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ide {
namespace {

// A path as the programmer layer opens it: the file system's own encoding.
std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

DownloadCommands::DownloadCommands(Application& app, DownloadPage& page) : app_(app), page_(page) {
    CommandTable& commands = app.commands();
    commands.define("mDownloadSelHexFile", this,
                    CommandTable::Run([this](CommandOrigin origin) { selectHexFile(origin); }));
    commands.define("mDownloadHexFile", this,
                    CommandTable::Run([this](CommandOrigin origin) { downloadHexFile(origin); }));
    commands.define("mDownloadRdVerify", this, [this] { readAndVerify(); });
    commands.define("mDownloadGetDevInfo", this, [this] { getDeviceInfo(); });
    commands.define("mDownloadResetInterface", this,
                    CommandTable::Run([this](CommandOrigin origin) { resetInterface(origin); }));
    commands.setAvailable("mDownloadRdVerify", false);
}

void DownloadCommands::selectHexFile(CommandOrigin origin) {
    if (app_.busyWindow().busy()) return;
    if (origin == CommandOrigin::menu) page_.prepareDownloadPage();
    BuildOutputs& build = app_.build();
    const QString& known = build.hexFilePath.isEmpty() ? build.mainFilePath : build.hexFilePath;
    const QString start = known.isEmpty() ? QDir::currentPath() : QFileInfo(known).absolutePath();
    const FileChoice choice = app_.dialogs().chooseFiles(
        {FileRequest::Mode::open, "Select Hex-File", start, {"*.hex"}, {}});
    if (choice.status == 1 && !choice.paths.isEmpty()) build.hexFilePath = choice.paths.first();
    page_.prepareDownloadPage();
}

void DownloadCommands::downloadHexFile(CommandOrigin origin) {
    if (app_.busyWindow().busy()) return;
    if (app_.build().hexFilePath.isEmpty()) selectHexFile(origin);
    programmer::DownloadRequest request = downloadRequest();
    if (!request.hexFilePath.empty()) {
        const std::optional<programmer::TargetMemory> memory = selectedMemory();
        if (!memory) return;
        request.memory = *memory;
        request.readProtect = page_.readProtectTicked();
    }
    runOnProgrammer([&](programmer::ProgrammerLink& link) {
        programmer::downloadHexFile(link, app_.downloadImage(), request);
    });
}

void DownloadCommands::readAndVerify() {
    if (app_.busyWindow().busy()) return;
    const std::optional<programmer::TargetMemory> memory = selectedMemory();
    if (!memory) return;
    runOnProgrammer([&](programmer::ProgrammerLink& link) {
        programmer::readAndVerify(link, app_.downloadImage(), *memory);
    });
}

// Both close the programmer link when done: a debug session holding that link ends first, as
// before a download, instead of going on over a closed link that fails every step.
void DownloadCommands::getDeviceInfo() {
    runOnProgrammer([](programmer::ProgrammerLink& link) {
        if (link.debug) link.debug->endDebugSession();
        programmer::showDeviceInfo(link);
    });
}

void DownloadCommands::resetInterface(CommandOrigin origin) {
    if (app_.busyWindow().busy()) return;
    if (origin == CommandOrigin::menu) page_.prepareDownloadPage();
    runOnProgrammer([](programmer::ProgrammerLink& link) {
        if (link.debug) link.debug->endDebugSession();
        programmer::resetInterface(link);
    });
}

bool DownloadCommands::runOnProgrammer(const Work& work) {
    BusyWindow& busy = app_.busyWindow();
    if (busy.busy()) return false;
    running_ = true;
    {
        BusyScope scope(busy);
        PaintingClock clock(pauseClock(), busy);
        PageReport report(app_, page_);
        programmer::ProgrammerLink link{app_.programmerSession(), report, clock, chipInterface()};
        link.debug = app_.debugModeControl(); // every download ends a debug session first
        work(link);
    }
    page_.hideProgress();
    running_ = false;
    return true;
}

void DownloadCommands::closeProgrammerSession() {
    const programmer::ProgrammerSession& session = app_.programmerSession();
    if (session.resourceManager == VI_NULL && session.instrument == VI_NULL) return;
    runOnProgrammer([](programmer::ProgrammerLink& link) { programmer::closeProgrammer(link); });
}

std::optional<programmer::TargetMemory> DownloadCommands::selectedMemory() {
    const int index = page_.memoryIndex();
    if (index < 0) {
        app_.popups().showMessagePopup("ERROR", "index not found");
        return std::nullopt;
    }
    return index == static_cast<int>(programmer::TargetMemory::otp)
               ? programmer::TargetMemory::otp
               : programmer::TargetMemory::spiEeprom;
}

programmer::DownloadRequest DownloadCommands::downloadRequest() {
    programmer::DownloadRequest request;
    request.hexFilePath = localPath(app_.build().hexFilePath);
    request.eprFilePath = localPath(app_.build().eprFilePath);
    return request;
}

programmer::ChipInterfaceChoice DownloadCommands::chipInterface() const {
    const Settings& settings = app_.settings().values();
    return {settings.useIic == 1, static_cast<std::uint16_t>(settings.iicAddress)};
}

kz71::Clock& DownloadCommands::pauseClock() {
    // The product's pauses towards the programmer are made on the precise clock; a test's
    // virtual clock stays as it is.
    kz71::Clock& clock = app_.clock();
    return &clock == kz71::steadyClock().get() ? preciseClock_ : clock;
}

} // namespace ide
