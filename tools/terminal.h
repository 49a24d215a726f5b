// The few things kz71prog asks of the platform: whether a standard stream is a terminal.
#pragma once

#include <string>

namespace kz71prog {

bool standardInputIsTerminal();
bool standardErrorIsTerminal();

} // namespace kz71prog
