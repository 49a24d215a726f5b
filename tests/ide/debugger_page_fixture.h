// The Debugger page of a started IDE on the simulated programmer and the test's virtual clock:
// programs assembled by the real tarn, put into the simulated chip's SPI EEPROM as a download
// would, and the build's file paths set as Compile sets them.
#pragma once

#include "ide_fixture.h"
#include "pages/debugger_page.h"

#include <QMap>
#include <QPoint>
#include <QString>
#include <string>
#include <vector>

class QPushButton;
class QsciScintilla;

namespace ide::test {

// 25 bytes: "move x, 5" at 0 (line 2), "incr x" at 4, "add y, 3" at 5, the loop from 9 (line 5)
// to the gotoNE at 0x0E, the two moves of tail.h at 0x10 and 0x14, and the final stop at 0x18.
extern const char* const counting_source;
extern const char* const counting_tail;
// A bit jump at address 4 whose target lies too far: split into a skip and a goto, addresses
// 4 and 6 of one source line.
QString splitBitJumpSource();

class DebuggerPageTest : public IdeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes prog.asm (and the other files given), assembles it, puts the image into the chip
    // and sets the build's paths.
    void build(const QString& source, const QMap<QString, QString>& others = {});
    // Assembles a main file already in the test's folder, as build() does.
    void assemble(const QString& mainFile);
    // The Debugger tab brought to the front by the user (from the Assembler page).
    void showDebuggerPage();
    // A click on a page button (the way the user runs a command).
    void click(const char* button);

    DebuggerPage& page() const;
    programmer::Debugger& debugger() const { return page().debugger(); }
    QsciScintilla* listing(int tab) const;
    QsciScintilla* hexView() const;
    // The source line (from 1) of the first line of `file` holding `text`.
    int lineOf(const QString& text, const QString& file = "prog.asm") const;
    // The hex view line of the byte at `address`.
    int hexLineOf(int address) const { return debugger().table.at(address).hexLine; }
    // Where the chip stands, as "file:line".
    std::string where(int address) const;
    // What the user sees of a listing line and a hex view line.
    programmer::LineColour listingColour(int tab, int line) const;
    programmer::LineColour hexColour(int line) const;
    bool marked(int tab, int line) const;
    QString text(const char* label) const;
    // A click into the margin of a listing line (from 1), as the user toggles a breakpoint.
    void clickMargin(int tab, int line);
    // The cursor put on a listing line (from 1) of a tab.
    void putCursor(int tab, int line);
    // The transfers since the wire was cleared, as the simulator's log describes them.
    std::vector<std::string> wire() const;
    // Single steps sent since the wire was cleared.
    std::size_t steps() const;
    void clearWire();
    // Nothing was sent to the programmer since the wire was cleared.
    bool nothingSent() const;
    bool chipInDebugMode() const;
};

} // namespace ide::test
