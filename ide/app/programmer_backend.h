// The programmer the IDE talks to: the simulated one with --simulator, the USB programmer
// otherwise; KZ71_PROGRAMMER in the environment has the last word. The program registers the
// backends it links before start-up.
#pragma once

namespace ide {

class Application;

// Selects the backend for the programmer sessions to come; a backend that does not exist is
// told in warning popup 173, with the names of those that do.
bool selectProgrammerBackend(Application& ide);

} // namespace ide
