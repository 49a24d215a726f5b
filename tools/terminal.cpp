#include "terminal.h"

#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#define KZ71_ISATTY _isatty
#define KZ71_FILENO _fileno
#else
#include <unistd.h>
#define KZ71_ISATTY isatty
#define KZ71_FILENO fileno
#endif
#include <cstdio>

namespace kz71prog {

bool standardInputIsTerminal() {
    return KZ71_ISATTY(KZ71_FILENO(stdin)) != 0;
}

bool standardErrorIsTerminal() {
    return KZ71_ISATTY(KZ71_FILENO(stderr)) != 0;
}

} // namespace kz71prog
