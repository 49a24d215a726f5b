#include "debugger_fixture.h"

#include "programmer/download_image.h"
#include "tarn_process.h"

#include <sstream>

std::string splitBitJumpProgram(const std::string& start) {
    std::string source = start;
    for (int i = 0; i < 40; ++i)
        source += "\tincr x\n\tmove y, 1000\n";
    return source + "far:\tincr z\n\tmove z, 9\n\tstop\n";
}

void DebuggerTest::build(const std::string& source,
                         const std::map<std::string, std::string>& others) {
    dir.write("prog.asm", source);
    for (const auto& [name, text] : others)
        dir.write(name, text);
    const TarnResult tarn = run_tarn_binary(dir.path(), {"prog.asm"});
    ASSERT_NE(tarn.out.find("Processing was successful"), std::string::npos) << tarn.out;
    debugger.hexFilePath = (dir.path() / "prog.hex").string();
    debugger.dbgFilePath = (dir.path() / "prog.dbg").string();
    putIntoChip(debugger.hexFilePath);
    programmer::loadDebugProgram(debugger);
    ASSERT_TRUE(report.popups().empty()) << report.popups().front();
    clearWire();
}

void DebuggerTest::putIntoChip(const std::string& hexPath) {
    programmer::DownloadImage image;
    ASSERT_EQ(programmer::loadHexImage(link, image, hexPath), 0) << report.box;
    auto& eeprom = simulator->board().spi_eeprom.contents();
    std::fill(eeprom.begin(), eeprom.end(), 0xFF);
    std::copy(image.code.begin(), image.code.begin() + image.lastIndex + 1, eeprom.begin());
}

int DebuggerTest::lineOf(const std::string& text, const std::string& file) const {
    std::istringstream lines(dir.read(file));
    int number = 1;
    for (std::string line; std::getline(lines, line); ++number)
        if (line.find(text) != std::string::npos) return number;
    ADD_FAILURE() << "no line with '" << text << "' in " << file;
    return 0;
}

int DebuggerTest::tabOf(const std::string& file) const {
    return programmer::listingTabOf(debugger.state.listingFiles, file);
}

std::string DebuggerTest::where(std::int32_t address) const {
    const programmer::AddressEntry& entry = debugger.table.at(address);
    return entry.fileName + ":" + std::to_string(entry.line);
}
