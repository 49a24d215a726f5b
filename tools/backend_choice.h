// Which programmer kz71prog talks to: the real one over USB, or with --simulator the simulated
// one. KZ71_PROGRAMMER in the environment has the last word.
#pragma once

namespace kz71prog {

void chooseBackend(bool simulator);

} // namespace kz71prog
