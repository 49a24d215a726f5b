// The program the Run to Breakpoint benchmarks run: 30001 steps from the start to the breakpoint
// on "nop" (line 5).
#pragma once

inline const char* const breakpoint_program = "\tmove z, 10000\n"
                                              "loop:\tdecr z\n"
                                              "\tcompare z, 0\n"
                                              "\tgotoNE loop\n"
                                              "\tnop\n"
                                              "\tstop\n";
inline constexpr int steps_to_breakpoint = 30001;
inline constexpr int breakpoint_line = 5;
