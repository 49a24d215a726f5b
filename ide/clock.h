// The IDE's clock for waits and time-outs: the steady clock in the program, a virtual clock in
// tests. The clock type is the kit's one, shared with the programmer link and the simulator.
#pragma once

#include "protocol/clock.h"

namespace ide {

// Replaces the steady clock (tests); nullptr restores it.
void setClock(kz71::Clock* clock);
kz71::Clock& clock();

} // namespace ide
