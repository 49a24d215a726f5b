// KZ71 Assembler: the IDE of the KZ71 development kit.
#include "app/startup.h"

int main(int argc, char** argv) {
    return ide::runIde(argc, argv);
}
