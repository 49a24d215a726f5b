#include "simulator/command_line.h"

#include "simulator/hex_image.h"
#include "simulator/runner.h"
#include "simulator/simulator.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace sim {

namespace {

constexpr const char* version = KZ71_VERSION;
constexpr long max_steps = 1000000000;

void usage(std::ostream& out) {
    out << "Usage: kz71sim run <file.hex> [--steps N] [--trace]\n"
           "       kz71sim -v\n"
           "\n"
           "run      runs the program of an assembler .hex file on the simulated KZ71,\n"
           "         one instruction per step, until it stops (stop, or a jump to itself),\n"
           "         runs past its end, or has made N steps (default "
        << default_step_limit
        << "),\n"
           "         then prints the registers\n"
           "--trace  prints every step: address, instruction, flags, accumulators X Y Z\n"
           "-v       prints the version and writes it to verInfoWICK.txt\n"
           "\n"
           "With KZ71_SIM_STATE naming the simulator's state file, the program runs with\n"
           "the user EEPROM kept there, and what it writes into it is kept.\n";
}

int showVersion(std::ostream& out, std::ostream& err) {
    out << "kz71sim, KZ71 simulator\nVersion: " << version << "\n";
    // Opening a FIFO of that name would wait for a reader for ever.
    std::error_code error;
    const auto status = std::filesystem::status("verInfoWICK.txt", error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        err << "kz71sim: cannot write file 'verInfoWICK.txt' (not a regular file)\n";
        return 1;
    }
    std::ofstream file("verInfoWICK.txt", std::ios::binary | std::ios::trunc);
    file << version;
    file.close();
    if (!file) {
        err << "kz71sim: cannot write file 'verInfoWICK.txt'\n";
        return 1;
    }
    return 0;
}

bool parseSteps(const std::string& text, long& steps) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, steps);
    return error == std::errc{} && rest == end && steps > 0 && steps <= max_steps;
}

int usageError(std::ostream& err, const std::string& message) {
    err << "kz71sim: " << message << "\n";
    usage(err);
    return 2;
}

// Runs on the board of KZ71_SIM_STATE when it names a state file, as every simulated programmer
// does: the program reads and writes the user EEPROM that downloads left there.
int runWithState(std::span<const std::uint8_t> image, const RunOptions& options, std::ostream& out,
                 std::ostream& err) {
    SimConfig config = configFromEnvironment();
    config.start_as_loader = false;
    config.log_capacity = 1; // nothing travels on the bus
    Simulator hardware(std::move(config), kz71::steadyClock());
    if (!hardware.stateProblem().empty()) {
        err << "kz71sim: " << hardware.stateProblem() << "\n";
        return 1;
    }
    runProgram(hardware.chip(), image, options, out);
    if (!hardware.saveState()) {
        err << "kz71sim: " << hardware.stateProblem() << "\n";
        return 1;
    }
    return 0;
}

int run(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    RunOptions options;
    std::string path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--steps") {
            if (i + 1 == args.size()) return usageError(err, "--steps needs a number of steps");
            if (!parseSteps(args[++i], options.step_limit))
                return usageError(err,
                                  "--steps needs a number of steps from 1 to 1000000000, not '" +
                                      args[i] + "'");
        } else if (arg.starts_with("-")) {
            return usageError(err, "unknown option '" + arg + "'");
        } else if (!path.empty()) {
            return usageError(err, "only one .hex file can be run, not '" + arg + "' as well");
        } else {
            path = arg;
        }
    }
    if (path.empty()) return usageError(err, "run needs a .hex file");
    HexError error;
    const auto image = readHexFile(path, error);
    if (!image) {
        err << "kz71sim: " << path << ": ";
        if (error.line > 0) err << "line " << error.line << ": ";
        err << error.message << "\n";
        return 1;
    }
    if (image->bytes.empty()) {
        err << "kz71sim: " << path << ": holds no program (no data lines)\n";
        return 1;
    }
    return runWithState(image->bytes, options, out, err);
}

} // namespace

int kz71simMain(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, "no command given");
    const std::string& command = args[0];
    if (command == "-v" || command == "--version") return showVersion(out, err);
    if (command == "-h" || command == "--help") {
        usage(out);
        return 0;
    }
    if (command == "run") return run(args.subspan(1), out, err);
    return usageError(err, "unknown command '" + command + "'");
}

} // namespace sim
