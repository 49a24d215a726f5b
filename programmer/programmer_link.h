// The programmer session and everything its operations work with: the report interface, the
// clock all pauses are made on, the chip interface choice from the settings, the debugger's
// hooks and the optional transfer trace. The caller owns all of it; nothing here is global.
#pragma once

#include "protocol/clock.h"
#include "programmer/report.h"
#include "programmer/transfers.h"
#include "programmer/visa.h"

#include <cstdint>
#include <string>

namespace programmer {

// The one VISA connection to the programmer.
struct ProgrammerSession {
    ViSession resourceManager = VI_NULL; // 0 when closed
    ViSession instrument = VI_NULL;      // 0 when closed
    ViStatus lastStatus = VI_SUCCESS;    // result of the last VISA call of any operation
    ViUInt32 devicesFound = 0;           // matches of the last search
    std::string instrumentDescriptor;    // resource name of the programmer in use
    std::uint8_t firmwareVersion = 0;    // from the last "Get Device Info"
    bool messagesStarted = false;        // the first open after start or reset clears the box
    double programmerVoltage = 0.0;      // volts, set when a debug session opens
};

// The serial interface towards the chip, read from the settings at every open.
struct ChipInterfaceChoice {
    bool useIic = false;          // "Use IIC protocol" = 1
    std::uint16_t iicAddress = 0; // "IIC address"
};

// What the programmer link needs from the debugger.
class DebugModeControl {
public:
    virtual ~DebugModeControl() = default;
    virtual bool debugModeActive() const = 0;
    // Enters debug mode on the session just opened (0 = entered, 1 = failed).
    virtual int enterDebugMode() = 0;
    // Ends debug mode if it is active; every download starts with it.
    virtual void endDebugSession() = 0;
};

struct ProgrammerLink {
    ProgrammerSession& session;
    ProgrammerReport& report;
    kz71::Clock& clock;
    ChipInterfaceChoice chipInterface{};
    // A resource name to use instead of the first programmer found (several on one host).
    std::string requestedResource{};
    DebugModeControl* debug = nullptr;
    TransferObserver* observer = nullptr;

    // A pause of the host, on the link's clock.
    void wait(int milliseconds) { clock.sleep(std::chrono::milliseconds(milliseconds)); }
};

} // namespace programmer
