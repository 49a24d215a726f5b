// Assembler/Version-Info and Debugger/Version-Info: the versions of the command-line tools.
// Each tool is started with "-v" and leaves its version, one decimal number as text, in a
// small file in the working directory: "kz71 -v" runs tarn (no second pass exists, so its line
// shows "n/a"), "wick -v" is answered by the simulator.
#pragma once

#include <QString>
#include <chrono>
#include <optional>

namespace ide {

class Application;

inline constexpr const char* assembler_tools_name = "kz71";
inline constexpr const char* debugger_tool_name = "wick";
inline constexpr std::chrono::milliseconds version_wait{200};

// The number in a version file; nullopt when the file is missing or holds no number.
std::optional<double> readVersionFile(const QString& path);
// "Version TARN: 2.0", or "Version TARN: n/a" when the file gives no number.
QString versionLine(const QString& tool, const QString& file);

void mAssemblerVerInfo(Application& app);
void mDebuggerVerInfo(Application& app);

} // namespace ide
