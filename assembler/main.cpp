// tarn, the KZ71 console assembler.
#include "assembler/driver.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    int exit_code = run_tarn(std::span<char* const>(argv + 1, argc > 0 ? argc - 1 : 0));
    std::fflush(stdout);
    if (exit_code == abnormal_end) std::abort();
    return exit_code;
}
