#include "commands.h"

#include "debug_command.h"
#include "programmer/download_commands.h"
#include "programmer/session.h"
#include "programmer/text_file.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>

namespace kz71prog {

namespace {

using programmer::TargetMemory;

constexpr std::array<OptionRule, 4> download_options{
    {{"--memory", true}, {"--read-protect", false}, {"--epr", true}, {"--yes", false}}};
constexpr std::array<OptionRule, 1> verify_options{{{"--memory", true}}};

int usage(std::string& error, std::string text) {
    error = std::move(text);
    return exit_usage;
}

std::optional<TargetMemory> memoryOf(const CommandArguments& arguments, std::string& error) {
    const std::string memory = arguments.value("--memory", "spi");
    if (memory == "spi") return TargetMemory::spiEeprom;
    if (memory == "otp") return TargetMemory::otp;
    error = "--memory is spi or otp, not '" + memory + "'";
    return std::nullopt;
}

int listProgrammers(CommandContext& context, const CommandArguments&, std::string&) {
    std::vector<std::string> names;
    const ViStatus status = programmer::findProgrammers(names);
    for (const std::string& name : names)
        context.out << name << '\n';
    if (!names.empty()) return exit_success;
    context.report.problem("no KZ71 programmer found: " +
                           programmer::visaStatusDescription(context.link, status));
    return exit_failed;
}

int deviceInfo(CommandContext& context, const CommandArguments&, std::string&) {
    return programmer::showDeviceInfo(context.link) ? exit_success : exit_failed;
}

int download(CommandContext& context, const CommandArguments& arguments, std::string& error) {
    const auto memory = memoryOf(arguments, error);
    if (!memory) return exit_usage;
    programmer::DownloadRequest request{*memory, arguments.has("--read-protect"),
                                        arguments.positional().at(0), arguments.value("--epr")};
    if (request.readProtect && *memory != TargetMemory::otp)
        return usage(error, "--read-protect goes with --memory otp");
    if (!readableInput(request.hexFilePath, error)) return exit_usage;
    if (arguments.has("--epr") && !readableInput(request.eprFilePath, error)) return exit_usage;
    if (*memory == TargetMemory::otp && !arguments.has("--yes") && !context.inputIsTerminal)
        return usage(error, "programming the OTP cannot be undone: give --yes to confirm when "
                            "standard input is not a terminal");
    if (request.readProtect)
        context.report.showWarningPopup(programmer::read_protect_warning,
                                        programmer::read_protect_warning_code);
    programmer::DownloadImage image;
    return programmer::downloadHexFile(context.link, image, request) ? exit_success : exit_failed;
}

int verify(CommandContext& context, const CommandArguments& arguments, std::string& error) {
    const auto memory = memoryOf(arguments, error);
    if (!memory) return exit_usage;
    const std::string& hexFile = arguments.positional().at(0);
    if (!readableInput(hexFile, error)) return exit_usage;
    // The image to compare with is the file given, as the last download would have loaded it.
    programmer::DownloadImage image;
    if (programmer::loadHexImage(context.link, image, hexFile) != 0) return exit_failed;
    return programmer::readAndVerify(context.link, image, *memory) ? exit_success : exit_failed;
}

constexpr std::array<CommandSpec, 5> commands{{
    {"list", "list", {}, 0, 0, listProgrammers},
    {"info", "info", {}, 0, 0, deviceInfo},
    {"download", "download FILE.hex [--memory spi|otp] [--read-protect] [--epr FILE.epr] [--yes]",
     download_options, 1, 1, download},
    {"verify", "verify FILE.hex [--memory spi|otp]", verify_options, 1, 1, verify},
    {"debug", "debug FILE.hex [ACTION]...", debug_options, 1, 1, debugProgram},
}};

} // namespace

bool readableInput(const std::string& path, std::string& error) {
    std::error_code problem;
    if (std::filesystem::is_regular_file(path, problem) &&
        std::filesystem::file_size(path, problem) <= programmer::text_file_limit && !problem)
        return true;
    error = "cannot read '" + path + "' (not a regular file, missing or too large)";
    return false;
}

std::span<const CommandSpec> commandTable() {
    return commands;
}

const CommandSpec* findCommand(std::string_view name) {
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const CommandSpec& c) { return c.name == name; });
    return it == commands.end() ? nullptr : &*it;
}

} // namespace kz71prog
