// Finding, opening and closing the programmer, the status texts of VISA failures, and the
// "Get Device Info" and "Reset Interface" commands.
#pragma once

#include "programmer/programmer_link.h"

#include <string>
#include <string_view>
#include <vector>

namespace programmer {

// The VISA search for the programmer (manufacturer 0x194E, model 0x0001 or 0x100F).
inline constexpr const char* programmer_expression =
    "USB?*{VI_ATTR_MANF_ID == 0x194E && (VI_ATTR_MODEL_CODE == 0x0001 || VI_ATTR_MODEL_CODE == "
    "0x100F)}";

// The line that closes every operation's messages.
inline constexpr std::string_view separator_line =
    "- - - - - - - - - - - - - - - - - - - - - - - - -";

// Opens the session: lamp in progress, resource manager, search, instrument (no lock, 1000 ms
// open time-out), then selects SPI or IIC. 0 = open (also when it already was), 1 = failed with
// the reason in the messages. Every caller ends with closeProgrammer, also after a failure.
int openProgrammer(ProgrammerLink& link);
// Closes instrument and resource manager, reporting each status, and puts the lamp to idle.
void closeProgrammer(ProgrammerLink& link);
// The debugger's open: failures as popups 208 and 209, the programmer voltage (popup 210), the
// interface selection, then debug mode through the link's DebugModeControl. 0 = open, 1 = failed.
int openProgrammerForDebug(ProgrammerLink& link);

// VISA's description of `status`, as the message box shows it.
std::string visaStatusDescription(const ProgrammerLink& link, ViStatus status);
// Appends the description of a failed status (nothing for 0); a time-out reads "Timeout...".
void reportVisaStatus(ProgrammerLink& link, ViStatus status);

// "Get Device Info": opens, reads the firmware version, shows the session's data, closes.
// True when the version was read.
bool showDeviceInfo(ProgrammerLink& link);
// "Reset Interface": closes everything without reports, so the next open clears the box.
void resetInterface(ProgrammerLink& link);
// Lamp off, status text empty, label "Status", "Read & Verify" dimmed.
void resetStatusLamp(ProgrammerReport& report);

// Every programmer on the bus, by resource name (its own resource manager; no transfer made).
ViStatus findProgrammers(std::vector<std::string>& names);

} // namespace programmer
