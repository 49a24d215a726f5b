#include "simulator/runner.h"

#include "isa/disassemble.h"

#include <cstdio>

namespace sim {

namespace {

std::string flagLetters(std::uint8_t flags) {
    std::string text = "----";
    if (flags & wire::flag_signum) text[0] = 'S';
    if (flags & wire::flag_not_equal) text[1] = 'N';
    if (flags & wire::flag_overflow) text[2] = 'O';
    if (flags & wire::flag_carry) text[3] = 'C';
    return text;
}

std::string endText(const RunSummary& summary, std::uint16_t address) {
    char text[96];
    switch (summary.end) {
    case RunEnd::stopped:
        std::snprintf(text, sizeof text, "Program stopped at 0x%04X after %ld steps.\n", address,
                      summary.steps);
        break;
    case RunEnd::ran_past_end:
        std::snprintf(text, sizeof text, "Program ran past its end to 0x%04X after %ld steps.\n",
                      address, summary.steps);
        break;
    case RunEnd::step_limit:
        std::snprintf(text, sizeof text, "Step limit of %ld steps reached at 0x%04X.\n",
                      summary.steps, address);
        break;
    }
    return text;
}

std::string traceHeader() {
    return " step  addr  instruction              flags  X       Y       Z\n";
}

// "    1  0000  move x, 5                -N--   000005  000000  000000" for the instruction at
// `address`, with the flags and accumulators after it.
std::string traceLine(long step, std::uint16_t address, const std::string& instruction,
                      const Chip& chip) {
    char text[160];
    std::snprintf(text, sizeof text, "%5ld  %04X  %-24s %s   %06X  %06X  %06X\n", step, address,
                  instruction.c_str(), flagLetters(chip.flags()).c_str(),
                  static_cast<unsigned>(chip.accumulator(0)),
                  static_cast<unsigned>(chip.accumulator(1)),
                  static_cast<unsigned>(chip.accumulator(2)));
    return text;
}

} // namespace

std::string finalRegisters(const Chip& chip) {
    const std::uint8_t flags = chip.flags();
    const std::uint32_t hb0 = chip.readRegister(wire::reg_hb0);
    const long hb0_value = Chip::toSigned(hb0);
    char text[400];
    std::snprintf(text, sizeof text,
                  "Program address: 0x%04X\n"
                  "Flags: Signum %d  Not Equal %d  Overflow %d  Carry %d\n"
                  "X: 0x%06X  Y: 0x%06X  Z: 0x%06X\n"
                  "HB0: 0x%06X (%ld d)\n"
                  "RAM address: 0x%02X  content: 0x%06X\n",
                  chip.programAddress(), (flags & wire::flag_signum) != 0,
                  (flags & wire::flag_not_equal) != 0, (flags & wire::flag_overflow) != 0,
                  (flags & wire::flag_carry) != 0, static_cast<unsigned>(chip.accumulator(0)),
                  static_cast<unsigned>(chip.accumulator(1)),
                  static_cast<unsigned>(chip.accumulator(2)), static_cast<unsigned>(hb0), hb0_value,
                  chip.ramAddress(), static_cast<unsigned>(chip.accumulator(3)));
    return text;
}

RunSummary runProgram(std::span<const std::uint8_t> image, const RunOptions& options,
                      std::ostream& out) {
    const Faults faults;
    Chip chip(faults);
    return runProgram(chip, image, options, out);
}

RunSummary runProgram(Chip& chip, std::span<const std::uint8_t> image, const RunOptions& options,
                      std::ostream& out) {
    chip.powerReset();
    chip.loadProgram(image);
    if (options.trace) out << traceHeader();
    RunSummary summary;
    while (summary.steps < options.step_limit) {
        const std::uint16_t address = chip.programAddress();
        const std::string instruction =
            options.trace ? isa::disassemble(std::span(chip.program()).subspan(address), address)
                          : std::string();
        chip.step();
        ++summary.steps;
        if (options.trace) out << traceLine(summary.steps, address, instruction, chip);
        if (chip.programAddress() == address) {
            summary.end = RunEnd::stopped;
            break;
        }
        if (chip.programAddress() >= image.size()) {
            summary.end = RunEnd::ran_past_end;
            break;
        }
    }
    out << endText(summary, chip.programAddress()) << finalRegisters(chip);
    return summary;
}

} // namespace sim
