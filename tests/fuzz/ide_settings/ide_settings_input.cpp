// Fuzz entry point: the IDE's INI reader as "settings.ini" and the .prj project files use it.
// One input is one file, read as a project and as the settings. Checked: every string a project
// or the settings hold survives being written to a new file and read again; loading the
// settings from the file and saving them gives a file that loads to the same settings.
#include "fuzz_check.h"
#include "memory_file.h"
#include "settings/ini.h"
#include "settings/settings.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int max_project_files = 50;

// A string put into a fresh file comes back unchanged.
void checkStringRoundTrip(const std::string& value) {
    ini::IniText written;
    written.putString("Files", "ASM", value);
    const ini::IniText read = ini::IniText::parse(written.serialize());
    FUZZ_CHECK(read.getString("Files", "ASM") == value);
}

// The entries of a project file: "ASM", then File0, File1, ... up to the first missing one.
void readProject(const ini::IniText& project) {
    if (const auto main = project.getString("Files", "ASM")) checkStringRoundTrip(*main);
    for (int i = 0; i < max_project_files; ++i) {
        const auto file = project.getString("Files", "File" + std::to_string(i));
        if (!file) break;
        checkStringRoundTrip(*file);
    }
}

bool sameSettings(const ide::Settings& a, const ide::Settings& b) {
    return a.showHints == b.showHints && a.showTooltips == b.showTooltips &&
           a.suppressDebugBpMessages == b.suppressDebugBpMessages &&
           a.suppressDebugInfoRefreshing == b.suppressDebugInfoRefreshing &&
           a.enlargeDebugTimeout == b.enlargeDebugTimeout &&
           a.suppressProperFileDetection == b.suppressProperFileDetection &&
           a.suppressEofPopup == b.suppressEofPopup && a.language == b.language &&
           a.codepageDetection == b.codepageDetection && a.windowStatus == b.windowStatus &&
           a.allowMaximization == b.allowMaximization && a.lineNumbering == b.lineNumbering &&
           a.lineNumberingGray == b.lineNumberingGray &&
           a.syntaxHighlighting == b.syntaxHighlighting &&
           a.lineNumberingIncludes == b.lineNumberingIncludes &&
           a.lineNumberingIncludesGray == b.lineNumberingIncludesGray &&
           a.syntaxHighlightingIncludes == b.syntaxHighlightingIncludes &&
           a.multibyte == b.multibyte && a.useIic == b.useIic && a.iicAddress == b.iicAddress &&
           a.lastProject == b.lastProject;
}

// A folder of this process for the settings file it writes, removed when the process ends.
class ScratchFolder {
public:
    ScratchFolder() {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        folder_ = base / ("kz71-ini-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        settings_ = (folder_ / "settings.ini").string();
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    const std::string& settingsPath() const { return settings_; }

private:
    std::filesystem::path folder_;
    std::string settings_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile file("settings.ini");
    file.assign({data, size});
    const std::string text(reinterpret_cast<const char*>(data), size);

    const ini::IniText parsed = ini::IniText::parse(text);
    parsed.serialize();
    readProject(parsed);

    ide::Settings loaded;
    if (!ide::loadSettings(loaded, file.path())) return 0;
    checkStringRoundTrip(loaded.lastProject);
    static const ScratchFolder scratch;
    FUZZ_CHECK(ide::saveSettings(loaded, scratch.settingsPath()));
    ide::Settings again;
    FUZZ_CHECK(ide::loadSettings(again, scratch.settingsPath()));
    FUZZ_CHECK(sameSettings(loaded, again));
    return 0;
}
