// Ending the program: the quit sequence of the Exit button and File/Exit, and leaving the
// event loop.
#pragma once

namespace ide {

// Asks about every modified editor tab and about the project, saves the settings, carries
// out "Clear ALL settings", ends the debugger and programmer sessions and leaves the event
// loop. Returns false when the user cancelled (the program keeps running).
bool Quit();
// Leaves the event loop at once; nothing is asked or saved.
void quitUserInterface();
// True once the event loop was told to end (tests look at it; the program has ended then).
bool quitRequested();
void resetQuitRequest();

} // namespace ide
