#include "settings.h"

#include "ini.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace ide {
namespace {

struct IntKey {
    const char* section;
    const char* key;
    int Settings::*field;
    int defaultValue; // written by "Restore default settings"
};

// Every integer key, in the order loadSettings reads them. "Resolution" is written only.
constexpr std::array<IntKey, 20> int_keys{{
    {"Environment", "Show hints", &Settings::showHints, 1},
    {"Environment", "Show tooltips", &Settings::showTooltips, 1},
    {"Environment", "Suppress Debug BP Messages", &Settings::suppressDebugBpMessages, 1},
    {"Environment", "Suppress Debug Information Refreshing", &Settings::suppressDebugInfoRefreshing,
     1},
    {"Environment", "Enlarge Debug Timeout", &Settings::enlargeDebugTimeout, 1},
    {"Environment", "Suppress Proper File Detection", &Settings::suppressProperFileDetection, 1},
    {"Environment", "Suppress EOF Popup", &Settings::suppressEofPopup, 1},
    {"Language", "Language", &Settings::language, 0},
    {"Language", "Codepage detection", &Settings::codepageDetection, 1},
    {"Window", "Windowstatus", &Settings::windowStatus, 0},
    {"Window", "Allow maximization", &Settings::allowMaximization, 1},
    {"Download", "Use IIC protocol", &Settings::useIic, 0},
    {"Download", "IIC address", &Settings::iicAddress, 0},
    {"Editor", "Line numbering", &Settings::lineNumbering, 1},
    {"Editor", "Line numbering gray", &Settings::lineNumberingGray, 1},
    {"Editor", "Syntax highlighting", &Settings::syntaxHighlighting, 1},
    {"Editor", "Line numbering includes", &Settings::lineNumberingIncludes, 1},
    {"Editor", "Line numbering includes gray", &Settings::lineNumberingIncludesGray, 1},
    {"Editor", "Syntax highlighting includes", &Settings::syntaxHighlightingIncludes, 1},
    {"Editor", "Enable Multibyte Support", &Settings::multibyte, 0},
}};

constexpr const char* files_section = "Files";
constexpr const char* last_project_key = "Last project";

void putLastProject(ini::IniText& text, const std::string& lastProject) {
    text.putString(files_section, last_project_key, lastProject.substr(0, max_last_project_chars));
}

} // namespace

void initSettings(Settings& s, const std::string& existsPath, const std::string& path) {
    s = Settings{};
    std::error_code error;
    if (std::filesystem::exists(existsPath, error)) loadSettings(s, path);
}

bool loadSettings(Settings& s, const std::string& path) {
    auto text = ini::IniText::readFile(path, max_settings_file_bytes);
    if (!text) return false;
    for (const IntKey& k : int_keys) {
        auto value = text->getInt(k.section, k.key);
        if (value && *value >= INT32_MIN && *value <= INT32_MAX)
            s.*k.field = static_cast<int>(*value);
    }
    s.lastProject = text->getString(files_section, last_project_key).value_or("");
    if (s.lastProject.size() > max_last_project_chars) s.lastProject.resize(max_last_project_chars);
    return true;
}

bool saveSettings(const Settings& s, const std::string& path) {
    ini::IniText text;
    for (const IntKey& k : int_keys)
        text.putInt(k.section, k.key, s.*k.field);
    text.putInt("Window", "Resolution", s.resolution);
    putLastProject(text, s.lastProject);
    return text.writeFile(path);
}

bool writeDefaultSettings(Settings& s, const std::string& path) {
    ini::IniText text;
    for (const IntKey& k : int_keys)
        text.putInt(k.section, k.key, k.defaultValue);
    text.putInt("Window", "Resolution", 1024);
    text.putInt(files_section, "Show select dialog", 0);
    putLastProject(text, s.lastProject);
    s.restoreDefaults = 0;
    return text.writeFile(path);
}

} // namespace ide
