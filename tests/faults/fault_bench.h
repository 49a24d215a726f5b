// What the fault matrix runs: five short operations (an SPI EEPROM download, an OTP download,
// an SPI EEPROM verify, a user EEPROM download and a run to a breakpoint) on a fresh simulated
// programmer and a virtual clock, each with the files it reads, the messages its failures end in,
// and the check that it left its effect on the chip.
#pragma once

#include "programmer/debugger.h"
#include "programmer/programmer_link.h"
#include "programmer/transfers.h"
#include "recording_report.h"
#include "recording_view.h"
#include "scratch_directory.h"
#include "simulator/simulator.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace faults {

// The files the operations read, written once for all cases.
struct Files {
    Files();
    ScratchDirectory dir;
    std::string hex;        // a 17-byte image: two pages
    std::string epr;        // three user EEPROM cells
    std::string programHex; // the counting program of the debugger's tests, as tarn writes it
    std::string programDbg; // and its .dbg file
    std::string otpHex;     // 40 bytes in redundancy mode: written twice into the OTP
    std::string longHex;    // 64 bytes, enough for the debugger's comparison with the chip
    std::string longDbg;    // a .dbg file naming no statement of it
};

// Watches the transfers of a case: far more than any operation makes means it would never end,
// so the cable is pulled, which ends every sequence, and the case fails as hung.
class HangGuard final : public programmer::TransferObserver {
public:
    static constexpr std::size_t limit = 200000;
    explicit HangGuard(sim::Simulator*& simulator) : simulator_(simulator) {}
    void transferred(const programmer::TransferRecord&) override {
        if (++transfers_ == limit) simulator_->unplug();
    }
    bool hung() const { return transfers_ >= limit; }

private:
    sim::Simulator*& simulator_;
    std::size_t transfers_ = 0;
};

// A fresh programmer, session and debugger for one case.
struct Bench {
    explicit Bench(const Files& files);
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // The transfers since the bench was made (or the log cleared), as the log describes them.
    std::vector<std::string> wire() const { return simulator->log().lines(); }
    sim::Faults& faults() { return simulator->faults(); }
    // The cable back in, every fault gone: the next operation should work again.
    void repair();
    // The session's handles are both closed.
    bool sessionClosed() const {
        return session.resourceManager == VI_NULL && session.instrument == VI_NULL;
    }
    // Puts the image of a .hex file into the SPI EEPROM, as a download would have.
    void putIntoChip(const std::string& hexPath);
    // Loads a program into the debugger, with a breakpoint on `breakLine` (0: none).
    void loadProgram(const std::string& hexPath, const std::string& dbgPath, int breakLine);

    const Files& files;
    std::shared_ptr<kz71::VirtualClock> clock = std::make_shared<kz71::VirtualClock>();
    programmer::ProgrammerSession session;
    RecordingReport report;
    programmer::ProgrammerLink link{session, report, *clock};
    RecordingView view;
    // The debugger, made when first asked for (its address table is large, and most cases
    // need none).
    programmer::Debugger& debugger();
    bool debugModeActive() const { return debugger_ && debugger_->state.debugModeActive; }
    programmer::DownloadImage image;
    sim::Simulator* simulator = nullptr;
    HangGuard guard{simulator};

private:
    std::optional<programmer::Debugger> debugger_;
};

// One operation of the matrix.
struct Operation {
    const char* name;
    // Brings the chip to where the operation starts (no transfer is made).
    std::function<void(Bench&)> prepare;
    // The operation; true when it reported success.
    std::function<bool(Bench&)> run;
    // Whether it really had its effect on the chip (or, for a verify, found what it compared).
    std::function<bool(Bench&)> tookEffect;
    // The text the failure of transfer `position` of the clean run's log shows when that
    // failure decides the outcome; none when the operation goes on regardless (a status that
    // is only reported, or not judged at all).
    std::function<std::optional<std::string>(const std::vector<std::string>& clean,
                                             std::size_t position)>
        judged;
    // Texts every failure of the operation shows besides (the verify's closing popup).
    std::vector<std::string> alwaysOnFailure;
    // Whether its result shows in the lamp (the Download page's operations).
    bool usesLamp = true;
};

const std::vector<Operation>& operations();

// The 40 bytes of the OTP download, in redundancy mode (byte 38 = 3): written twice.
std::vector<std::uint8_t> otpImage();

// The text the first failure that decides the outcome shows, when the transfers fail from
// `position` of the clean run's log on: every later one (`allLater`, the cable pulled) or only
// those of the same kind (a stall or time-out of one command). None: the operation succeeds.
std::optional<std::string> expectedFailure(const Operation& operation,
                                           const std::vector<std::string>& clean,
                                           std::size_t position, bool allLater);

// The command kind of a transfer as the log describes it: "OUT B0 0055" or "IN B0 0040".
std::string kindOf(const std::string& transfer);
// The text the messages and popups of a bench hold, one string.
std::string everythingTold(const Bench& bench);

} // namespace faults
