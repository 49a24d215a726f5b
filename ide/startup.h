// From process start to the running event loop: platform facts, "win32.info", the
// settings, and the main window or, on screens below 800 pixels, the not-supported window.
#pragma once

#include <QString>

namespace ide {

struct Platform {
    int screenWidth = 0;
    int screenHeight = 0;
    int codePage = 1252;
};

// The primary screen's size and the code page of the user's locale.
Platform queryPlatform();
// zh_CN 936, zh_TW and zh_HK 950, ja 932, anything else 1252.
int codePageFromLocale(const QString& localeName);

// Writes the platform information file; false (and a line on stderr) when it cannot.
bool writePlatformInfo(const QString& path);
// Deletes the build's message capture files left in the working directory.
void deleteMessageFiles();

enum class StartResult { mainWindow, notSupported, failed };

// Start-up steps up to the event loop. `failed` means the program ends with -1.
StartResult startUp(const Platform& platform);
// Discards the windows made by startUp (after the event loop).
void discardPanels();

// The whole program: returns the exit code.
int runIde(int argc, char** argv);

} // namespace ide
