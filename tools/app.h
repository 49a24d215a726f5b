// kz71prog as a whole: the command line in, an exit code out.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace kz71prog {

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
};

// `arguments` without the program name.
int runKz71prog(std::span<const std::string> arguments, Console console);

std::string helpText();

} // namespace kz71prog
