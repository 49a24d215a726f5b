// kz71prog: the command-line programmer for the KZ71.
#include "app.h"
#include "terminal.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return kz71prog::runKz71prog(arguments, {std::cin, std::cout, std::cerr,
                                             kz71prog::standardInputIsTerminal(),
                                             kz71prog::standardErrorIsTerminal()});
}
