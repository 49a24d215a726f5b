// Which programmer kz71prog talks to: the real one over USB, or with --simulator the simulated
// one. KZ71_PROGRAMMER in the environment has the last word.
#pragma once

#include <string>

namespace kz71prog {

// Registers the backends kz71prog links and selects one; false with `error` set when the
// environment names a backend that does not exist.
bool chooseBackend(bool simulator, std::string& error);

// After a command: whether the simulated programmer, if it was used, keeps its memories in its
// state file (KZ71_SIM_STATE), so that the next run finds what this one programmed. The
// simulator has told why not on standard error.
bool simulatedMemoriesKept();

} // namespace kz71prog
