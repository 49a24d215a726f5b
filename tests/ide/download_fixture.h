// The Download page on the simulated programmer: a main window on the offscreen platform, the
// simulator on the test's virtual clock, and helpers to reach the page's controls and the
// simulator's transfer log.
#pragma once

#include "ide_fixture.h"
#include "simulator/simulator.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Lamp;
class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace ide {
class DownloadCommands;
}

namespace ide::test {

using Bytes = std::vector<std::uint8_t>;

// A popup recorder that can act while a popup is up (as the user could in its event loop).
class ActingPopups : public PopupRecorder {
public:
    int show(const Popup& popup) override;
    std::function<void(const Popup& popup)> whileShown;
};

// Bytes 0..n-1 that differ from their neighbours and from 0xFF.
Bytes countingBytes(std::size_t size);
// A .hex file as the assembler writes it; an .epr file listing `cells` (address, value).
QByteArray hexFileText(const Bytes& image);
QByteArray eprFileText(const std::vector<std::pair<int, int>>& cells);

class DownloadTest : public IdeTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh simulated programmer on the test's clock.
    sim::Simulator& restartSimulator(sim::SimConfig config);

    DownloadCommands& commands() const;
    // Runs a command as its menu item (or toolbar button) does.
    bool runMenu(const char* name);
    // Clicks a button of the Download page.
    void click(const char* button);
    // Chooses an item of the memory selection as the user does.
    void chooseMemory(int index);

    QString messages() const;
    QString lampLabel() const;
    QString statusText() const;
    Lamp& lamp() const;
    QProgressBar& progressBar() const;
    bool visible(const char* name) const;
    bool enabled(const char* name) const;

    // The hex file "prog.hex" holding `image`, selected for download.
    QString selectHexFile(const Bytes& image);
    // The transfers since the last clearWire(), as the simulator's log describes them.
    std::vector<std::string> wire() const { return simulator->log().lines(); }
    std::size_t countWire(const std::string& prefix) const;

    ActingPopups acting;
    sim::Simulator* simulator = nullptr;
};

} // namespace ide::test
