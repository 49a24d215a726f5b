#include "app.h"

#include "backend_choice.h"
#include "commands.h"
#include "programmer/precise_clock.h"
#include "programmer/transfer_trace.h"

#include <ostream>

namespace kz71prog {

namespace {

// Writes every transfer of the command set as a trace line.
class TransferTrace final : public programmer::TransferObserver {
public:
    explicit TransferTrace(ConsoleReport& report) : report_(report) {}
    void transferred(const programmer::TransferRecord& transfer) override {
        report_.trace(programmer::traceLine(transfer));
    }

private:
    ConsoleReport& report_;
};

int usageError(Console& console, const std::string& error) {
    console.err << "kz71prog: " << error << "\nTry 'kz71prog --help'.\n" << std::flush;
    return exit_usage;
}

int runCommand(const CommandSpec& command, const CommandLine& line,
               const CommandArguments& arguments, Console& console) {
    const GlobalOptions& options = line.options;
    ConsoleReport report(console.out, console.err, console.in,
                         {console.errorIsTerminal && !options.trace, console.inputIsTerminal,
                          arguments.has("--yes")});
    TransferTrace transfers(report);
    programmer::PreciseSteadyClock steady;
    programmer::PauseTracingClock tracedClock(
        steady, [&](auto pause) { report.trace(programmer::traceLine(pause)); });
    programmer::ProgrammerSession session;
    programmer::ProgrammerLink link{session,
                                    report,
                                    options.trace ? static_cast<kz71::Clock&>(tracedClock) : steady,
                                    {options.useIic, options.iicAddress},
                                    options.device};
    if (options.trace) link.observer = &transfers;

    std::string error;
    if (!chooseBackend(options.simulator, error)) return usageError(console, error);
    CommandContext context{link, report, console.out, console.inputIsTerminal};
    int code = command.run(context, arguments, error);
    report.finish();
    if (code == exit_usage) return usageError(console, error);
    if (code == exit_success && !simulatedMemoriesKept()) {
        report.problem("the simulated programmer's memories could not be kept in KZ71_SIM_STATE "
                       "(see above)");
        code = exit_failed;
    }
    return code;
}

} // namespace

std::string helpText() {
    std::string text =
        "Usage: kz71prog [--simulator] [--trace] [--device RESOURCE] [--iic ADDRESS] COMMAND\n"
        "Programs, verifies and debugs the KZ71 through its USB programmer.\n\nCommands:\n";
    for (const CommandSpec& command : commandTable())
        text += "  " + std::string(command.synopsis) + "\n";
    text += "\nOptions:\n"
            "  --simulator        use the simulated programmer (memories kept in the file\n"
            "                     named by KZ71_SIM_STATE)\n"
            "  --trace            one line per control transfer and pause on standard error\n"
            "  --device RESOURCE  the programmer to use, as 'kz71prog list' names it\n"
            "  --iic ADDRESS      talk to the chip over IIC at ADDRESS (default: SPI)\n"
            "  --memory spi|otp   the program memory (default: spi)\n"
            "  --read-protect     protect the OTP from reading (cannot be undone)\n"
            "  --epr FILE.epr     also write the user EEPROM cells of FILE.epr\n"
            "  --yes              confirm programming the OTP without asking\n"
            "\nDebug actions (run in the order given; FILE.dbg lies beside FILE.hex):\n"
            "  --break FILE:LINE  set or clear the breakpoint of a source line\n"
            "  --step N           N single steps\n"
            "  --run              run to a breakpoint\n"
            "  --run-to FILE:LINE run to a source line\n"
            "  --new-cycle        a new debug cycle (power and init reset; breakpoints cleared)\n"
            "  --reset            the reset pulse\n"
            "  --ram              print the 256 RAM cells\n"
            "  -h, --help         this text\n"
            "  -v, --version      the version\n"
            "\nExit status: 0 success, 1 the operation failed, 2 wrong usage or an unreadable\n"
            "input file (nothing was sent).\n";
    return text;
}

int runKz71prog(std::span<const std::string> arguments, Console console) {
    std::string error;
    const std::optional<CommandLine> line = parseCommandLine(arguments, error);
    if (!line) return usageError(console, error);
    if (line->request == Request::help) {
        console.out << helpText() << std::flush;
        return exit_success;
    }
    if (line->request == Request::version) {
        console.out << "kz71prog " << KZ71_VERSION << '\n' << std::flush;
        return exit_success;
    }
    const CommandSpec* command = findCommand(line->command);
    if (!command) return usageError(console, "unknown command '" + line->command + "'");
    const std::optional<CommandArguments> parsed =
        CommandArguments::parse(line->arguments, command->options, error);
    if (!parsed) return usageError(console, std::string(command->name) + ": " + error);
    const std::size_t count = parsed->positional().size();
    if (count < command->minPositional || count > command->maxPositional)
        return usageError(console, "usage: kz71prog [OPTIONS] " + std::string(command->synopsis));
    return runCommand(*command, *line, *parsed, console);
}

} // namespace kz71prog
