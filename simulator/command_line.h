// kz71sim's command line: "kz71sim run prog.hex [--steps N] [--trace]" and "kz71sim -v".
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace sim {

// Runs one command; returns the exit code (0 done, 1 a file problem, 2 a usage error).
int kz71simMain(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace sim
