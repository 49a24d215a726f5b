// The frame every download and verify shares: what happens on the Download page before the
// session opens and after it closes.
#pragma once

#include "programmer/programmer_link.h"

#include <functional>
#include <string>

namespace programmer {

// Before a download: ends a debug session, brings the page to the front, dims "Read & Verify",
// lamp label "Download".
void startDownloadFrame(ProgrammerLink& link);
// After a download's closeProgrammer: lamp "FAILED", or "SUCCESS" with "Read & Verify" enabled.
// Returns whether it succeeded.
bool finishDownloadFrame(ProgrammerLink& link, bool failed);

// Before a verify: the page to the front, the memory named, lamp label "Read & Verify".
void startVerifyFrame(ProgrammerLink& link, const char* memoryName);
// The rest of a verify once the chip is reset: "\nCommunication check...", the check, then
// `compare` when it passed, 100 ms, the final init reset, closeProgrammer and the result.
bool checkCompareAndFinishVerify(ProgrammerLink& link, const std::function<bool()>& compare);
// After a verify's closeProgrammer: the closing text, lamp, "VERIFY FAILED!" and, on failure,
// error popup 132. Returns whether it succeeded.
bool finishVerifyFrame(ProgrammerLink& link, bool failed);

// The open of a verify; on failure its message and closeProgrammer. False when it failed.
bool openForVerify(ProgrammerLink& link);
// The communication check with its result: the text `passed` or `failed`.
bool checkCommunication(ProgrammerLink& link, const char* passed,
                        const char* failed = "...FAILED! Please check connection.\n");

// A reset, its status reported, and a pause.
void powerResetAndPause(ProgrammerLink& link, int milliseconds);
void initResetAndPause(ProgrammerLink& link, int milliseconds);
using Command = ViStatus (*)(ProgrammerLink& link);
// Appends `announcement` and sends `command`; on failure appends `failure` and reports the
// status. False when it failed.
bool announcedStep(ProgrammerLink& link, const std::string& announcement, Command command,
                   const std::string& failure);
// The closing resets: "\nPerforming ... reset...", the reset, and on failure
// "\nExecution of ... reset failed !\n" with the status. False when it failed.
bool performPowerReset(ProgrammerLink& link);
bool performInitReset(ProgrammerLink& link);

// A message built from a printf format (the texts of the operations carry numbers).
#if defined(__GNUC__)
std::string formatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
std::string formatMessage(const char* format, ...);
#endif

} // namespace programmer
