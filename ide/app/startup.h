// From process start to the running event loop: platform facts, "win32.info", the settings,
// and the main window or, on screens below 800 pixels, the not-supported window.
#pragma once

#include "app/application.h"

#include <QString>

namespace ide {

// The primary screen's size and the code page of the user's locale.
Platform queryPlatform();
// zh_CN 936, zh_TW and zh_HK 950, ja 932, anything else 1252.
int codePageFromLocale(const QString& localeName);

// Writes the platform information file; false (and a line on stderr) when it cannot.
bool writePlatformInfo(const QString& path);

// The whole program: returns the exit code.
int runIde(int argc, char** argv);

} // namespace ide
