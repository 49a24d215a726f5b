// kz71prog's commands: each a row of one table with its arguments and options, run over the
// programmer link with the same sequences the IDE's Download page runs.
#pragma once

#include "command_line.h"
#include "console_report.h"
#include "programmer/programmer_link.h"

#include <span>
#include <string>
#include <string_view>

namespace kz71prog {

inline constexpr int exit_success = 0;
inline constexpr int exit_failed = 1; // the operation ran and failed
inline constexpr int exit_usage = 2;  // wrong usage or an unreadable input file: nothing sent

struct CommandContext {
    programmer::ProgrammerLink& link;
    ConsoleReport& report;
    std::ostream& out;
    bool inputIsTerminal = false;
};

struct CommandSpec {
    std::string_view name;
    std::string_view synopsis; // for the help text
    std::span<const OptionRule> options;
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
    // An exit code; on a usage error it sets `error` and returns exit_usage.
    int (*run)(CommandContext& context, const CommandArguments& arguments, std::string& error);
};

std::span<const CommandSpec> commandTable();
const CommandSpec* findCommand(std::string_view name);

// An input file kz71prog reads: a regular file of reasonable size. Otherwise `error` says so.
bool readableInput(const std::string& path, std::string& error);

} // namespace kz71prog
