// The few things kz71prog asks of the platform: whether a standard stream is a terminal, and
// setting an environment variable.
#pragma once

#include <string>

namespace kz71prog {

bool standardInputIsTerminal();
bool standardErrorIsTerminal();
// Sets `name` unless it is set already; false when it was.
bool setEnvironmentDefault(const std::string& name, const std::string& value);

} // namespace kz71prog
