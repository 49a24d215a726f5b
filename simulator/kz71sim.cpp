// kz71sim: runs a KZ71 program on the simulated chip and traces it.
#include "simulator/command_line.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return sim::kz71simMain(args, std::cout, std::cerr);
}
