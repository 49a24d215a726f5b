// The IDE's options: the Settings record and "settings.ini" (no Qt here; the settings object
// that tells listeners about changes is settings_store.h).
#pragma once

#include <string>

namespace ide {

inline constexpr const char* settings_file_name = "settings.ini";

struct Settings {
    // Environment
    int showHints = 1;
    int showTooltips = 1;
    int suppressDebugBpMessages = 0;
    int suppressDebugInfoRefreshing = 1;
    int enlargeDebugTimeout = 1;
    int suppressProperFileDetection = 1;
    int suppressEofPopup = 1;
    // Language
    int language = 0; // 0 English, 1 Chinese
    int codepageDetection = 1;
    // Window
    int resolution = 1024; // 640 or 1024, written only
    int windowStatus = 0;  // 1 = maximized
    int allowMaximization = 1;
    // Editor
    int lineNumbering = 1;
    int lineNumberingGray = 1;
    int syntaxHighlighting = 1;
    int lineNumberingIncludes = 1;
    int lineNumberingIncludesGray = 0;
    int syntaxHighlightingIncludes = 1;
    int multibyte = 0;
    // Download
    int useIic = 0;
    int iicAddress = 0;
    // Files
    std::string lastProject; // at most 259 characters

    // Dialog flags, never stored in the file.
    int restoreDefaults = 0;
    int clearAll = 0; // stays set until the program ends
};

inline constexpr std::size_t max_last_project_chars = 259;
// A settings file is a few hundred bytes; anything beyond this bound is not one.
inline constexpr std::size_t max_settings_file_bytes = 1 << 20;

// Start values; then, if `existsPath` names an existing file, loadSettings(`path`).
void initSettings(Settings& settings, const std::string& existsPath, const std::string& path);
// Sets every field the file has a key for; false (fields unchanged) when the file is missing,
// not a regular file, too large or unreadable.
bool loadSettings(Settings& settings, const std::string& path);
// Writes every key from the current fields; false when the file cannot be written.
bool saveSettings(const Settings& settings, const std::string& path);
// Writes the defaults ("Last project" keeps the current value), then clears restoreDefaults.
bool writeDefaultSettings(Settings& settings, const std::string& path);

} // namespace ide
