#include "backend_choice.h"

#include "terminal.h"

namespace kz71prog {

void chooseBackend(bool simulator) {
    // The VISA layer picks its backend from KZ71_PROGRAMMER when a resource manager opens.
    if (simulator) setEnvironmentDefault("KZ71_PROGRAMMER", "sim");
}

} // namespace kz71prog
