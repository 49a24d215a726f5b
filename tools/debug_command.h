// kz71prog debug FILE.hex [ACTION]...: the debugger of the IDE without its window, on a program
// already downloaded. FILE.dbg lies beside FILE.hex. The actions run in the order given:
//   --break FILE:LINE   toggles the breakpoint of a source line
//   --step N            N single steps (fewer when the program ends)
//   --run               runs to a breakpoint
//   --run-to FILE:LINE  runs to a source line
//   --new-cycle         restarts the chip in a new debug cycle (breakpoints cleared)
//   --reset             the reset pulse
//   --ram               prints the 256 RAM cells, 16 a line
// After each run action one line tells where the chip stopped and what its registers hold:
//   STOP step prog.asm:12 address=0x0012 signum=0 notequal=1 overflow=0 carry=0 X=0x000005
//   Y=0x000000 Z=0x7FFFFF HB0=0x000000 ram=0x10:0x000003          (all on one line)
// with step, breakpoint, cursor, end or timeout after STOP. A run whose step or register reads
// failed prints no STOP line (its warning says why) and ends the actions.
#pragma once

#include "commands.h"
#include "programmer/run_control.h"

#include <array>
#include <string>

namespace kz71prog {

inline constexpr std::array<OptionRule, 7> debug_options{{{"--break", true, true},
                                                          {"--step", true, true},
                                                          {"--run", false, true},
                                                          {"--run-to", true, true},
                                                          {"--new-cycle", false, true},
                                                          {"--reset", false, true},
                                                          {"--ram", false, true}}};

int debugProgram(CommandContext& context, const CommandArguments& arguments, std::string& error);

// The line that tells where a run action stopped, from the debugger's last register display.
std::string stopLine(const programmer::Debugger& debugger, const programmer::RunOutcome& outcome);

} // namespace kz71prog
