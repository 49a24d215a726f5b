// KZ71 programs the debugger tests run, in assembler source.
#pragma once

#include <string>

// 21 bytes: "move x, 5" at 0 (line 2), "incr x" at 4, "add y, 3" at 5, the loop from 9 (line 5)
// to the gotoNE at 0x0E, "move r, 9" at 0x10 (line 8) and the final stop at 0x14 (line 9).
inline const std::string counting_program = "; counts z up to 3\n"
                                            "\tmove x, 5\n"
                                            "\tincr x\n"
                                            "\tadd y, 3\n"
                                            "loop:\tincr z\n"
                                            "\tcompare z, 3\n"
                                            "\tgotoNE loop\n"
                                            "\tmove r, 9\n"
                                            "\tstop\n";
