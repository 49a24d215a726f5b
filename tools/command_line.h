// kz71prog's command line: options before the command, then the command and its own arguments.
//   kz71prog [--simulator] [--trace] [--device RESOURCE] [--iic ADDRESS] COMMAND [ARGUMENTS]
// Each command takes positional arguments and options of its own in any order; a new command
// (e.g. "debug FILE.hex [ACTION]...") is one more row of the command table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kz71prog {

struct GlobalOptions {
    bool simulator = false;
    bool trace = false;
    std::string device; // empty: the first programmer found
    bool useIic = false;
    std::uint16_t iicAddress = 0;
};

enum class Request : std::uint8_t { run, help, version };

struct CommandLine {
    Request request = Request::run;
    GlobalOptions options;
    std::string command;
    std::vector<std::string> arguments; // everything after the command
};

// The arguments without the program name. On a usage error `error` says what is wrong.
std::optional<CommandLine> parseCommandLine(std::span<const std::string> arguments,
                                            std::string& error);

// A number in decimal or with 0x in hexadecimal, up to `limit`.
std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t limit);

// One option of a command: a flag, or one that takes a value ("--memory otp"); a repeatable one
// may be given any number of times (the debug command's actions).
struct OptionRule {
    std::string_view name;
    bool takesValue = false;
    bool repeatable = false;
};

// A command's arguments split into positional ones and options.
class CommandArguments {
public:
    static std::optional<CommandArguments> parse(std::span<const std::string> arguments,
                                                 std::span<const OptionRule> options,
                                                 std::string& error);

    const std::vector<std::string>& positional() const { return positional_; }
    // The option's value, or `fallback` when it was not given.
    std::string value(std::string_view name, std::string_view fallback = {}) const;
    bool has(std::string_view name) const;
    // Every option in the order given, with its value ("" for flags).
    const std::vector<std::pair<std::string, std::string>>& options() const { return options_; }

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_; // name, value ("" for flags)
};

} // namespace kz71prog
