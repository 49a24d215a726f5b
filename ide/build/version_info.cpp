#include "build/version_info.h"

#include "app/application.h"
#include "build/launcher.h"
#include "files/read_file.h"

#include <QRegularExpression>

namespace ide {
namespace {

constexpr qint64 max_version_file_bytes = 4096;
const QString no_version = "Cannot obtain version information";

// As many decimals as the number has, at least one: 2 is "2.0", 2.15 is "2.15".
QString formatVersion(double version) {
    QString text = QString::number(version, 'f', 6);
    while (text.endsWith('0') && !text.endsWith(".0"))
        text.chop(1);
    return text;
}

// Starts a tool with "-v" `times` times; false when a start fails.
bool askTool(Application& app, const char* name, int times) {
    const QString program = programPath(app.paths(), name);
    for (int i = 0; i < times; ++i)
        if (!app.launcher().launchDetached(program, {"-v"})) return false;
    return true;
}

// The fixed wait for the tools to write their files; the window keeps painting.
void waitForVersionFiles(Application& app) {
    BusyScope busy(app.busyWindow());
    kz71::Clock& clock = app.clock();
    const auto start = clock.now();
    while (clock.now() - start < version_wait) {
        clock.sleep(std::chrono::milliseconds(10));
        app.busyWindow().serve();
    }
}

} // namespace

std::optional<double> readVersionFile(const QString& path) {
    const FileBytes file = readFileBytes(path, max_version_file_bytes);
    if (file.status != files::ReadStatus::ok) return std::nullopt;
    static const QRegularExpression number(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))");
    const QRegularExpressionMatch match = number.match(QString::fromLatin1(file.bytes));
    if (!match.hasMatch()) return std::nullopt;
    bool ok = false;
    const double version = match.captured(1).toDouble(&ok);
    return ok ? std::optional<double>(version) : std::nullopt;
}

QString versionLine(const QString& tool, const QString& file) {
    const std::optional<double> version = readVersionFile(file);
    return QString("Version %1: %2").arg(tool, version ? formatVersion(*version) : "n/a");
}

void mAssemblerVerInfo(Application& app) {
    QString text = no_version;
    if (askTool(app, assembler_tools_name, 2)) {
        waitForVersionFiles(app);
        text =
            versionLine("TARN", "verInfoTARN.txt") + "\n" + versionLine("FELL", "verInfoFELL.txt");
    }
    app.popups().showMessagePopup("ASM Version Info", text);
}

void mDebuggerVerInfo(Application& app) {
    QString text = no_version;
    if (askTool(app, debugger_tool_name, 1)) {
        waitForVersionFiles(app);
        text = versionLine("WICK", "verInfoWICK.txt");
    }
    app.popups().showMessagePopup("WICK Version Info", text);
}

} // namespace ide
