#include "debugger_page_fixture.h"

#include "debugger/line_colours.h"
#include "programmer/download_image.h"
#include "programmer/visa.h"
#include "shell/main_window.h"
#include "simulated_chip.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <Qsci/qsciscintilla.h>
#include <algorithm>

namespace ide::test {

const char* const counting_source = "; counts z up to 3\n"
                                    "\tmove x, 5\n"
                                    "\tincr x\n"
                                    "\tadd y, 3\n"
                                    "loop:\tincr z\n"
                                    "\tcompare z, 3\n"
                                    "\tgotoNE loop\n"
                                    "#include \"tail.h\"\n"
                                    "\tstop\n";
const char* const counting_tail = "; the tail\n"
                                  "\tmove r, 9\n"
                                  "\tmove y, 0x12345\n";

QString splitBitJumpSource() {
    QString source = "\tmove x, 5\n\tgotoBitC x, 3, far\n";
    for (int i = 0; i < 40; ++i)
        source += "\tincr x\n\tmove y, 1000\n";
    return source + "far:\tincr z\n\tmove z, 9\n\tstop\n";
}

void DebuggerPageTest::SetUp() {
    IdeTest::SetUp();
    std::string error;
    ASSERT_TRUE(useSimulatedChip(clock, error)) << error;
    ASSERT_EQ(start(), StartResult::mainWindow);
    app->busyWindow().setRepaintInterval(std::chrono::milliseconds(0));
}

void DebuggerPageTest::TearDown() {
    app->discardPanels();
    viClose(app->programmerSession().resourceManager);
    releaseSimulatedChip();
    IdeTest::TearDown();
}

void DebuggerPageTest::build(const QString& source, const QMap<QString, QString>& others) {
    writeFile("prog.asm", source.toUtf8());
    for (auto it = others.begin(); it != others.end(); ++it)
        writeFile(it.key(), it.value().toUtf8());
    assemble("prog.asm");
}

void DebuggerPageTest::assemble(const QString& mainFile) {
    const QFileInfo main(path(mainFile));
    QProcess tarn;
    tarn.setWorkingDirectory(main.path());
    tarn.start(QString(KZ71_BIN_DIR) + "/tarn", {main.fileName()});
    ASSERT_TRUE(tarn.waitForFinished(30000));
    const QString out = QString::fromUtf8(tarn.readAllStandardOutput());
    ASSERT_TRUE(out.contains("Processing was successful")) << out.toStdString();
    const QString stem = main.path() + "/" + main.completeBaseName();
    app->build().mainFilePath = main.filePath();
    app->build().hexFilePath = stem + ".hex";
    app->build().dbgFilePath = stem + ".dbg";
    // What a download puts into the SPI EEPROM.
    programmer::DownloadImage image;
    ASSERT_EQ(
        programmer::loadHexImage(debugger().link, image, app->build().hexFilePath.toStdString()),
        0);
    putIntoSpiEeprom(std::span(image.code).first(static_cast<std::size_t>(image.lastIndex + 1)));
    clearWire();
}

void DebuggerPageTest::showDebuggerPage() {
    find<QTabWidget>("mainTabs")->setCurrentIndex(assemblerPageIndex);
    find<QTabWidget>("mainTabs")->setCurrentIndex(debuggerPageIndex);
    settle();
}

void DebuggerPageTest::click(const char* button) {
    QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
}

DebuggerPage& DebuggerPageTest::page() const {
    return main().debuggerPage();
}

QsciScintilla* DebuggerPageTest::listing(int tab) const {
    return page().listings().editor(tab);
}

QsciScintilla* DebuggerPageTest::hexView() const {
    return find<QsciScintilla>("dbgHexView");
}

int DebuggerPageTest::lineOf(const QString& text, const QString& file) const {
    const QStringList lines = QString::fromUtf8(readFile(file)).split('\n');
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(text)) return i + 1;
    ADD_FAILURE() << "no line with '" << text.toStdString() << "' in " << file.toStdString();
    return 0;
}

std::string DebuggerPageTest::where(int address) const {
    const programmer::AddressEntry& entry = debugger().table.at(address);
    return entry.fileName + ":" + std::to_string(entry.line);
}

programmer::LineColour DebuggerPageTest::listingColour(int tab, int line) const {
    return page().listings().lineColour(tab, line);
}

programmer::LineColour DebuggerPageTest::hexColour(int line) const {
    return page().screen().hexLineColour(line);
}

bool DebuggerPageTest::marked(int tab, int line) const {
    return page().listings().hasMark(tab, line);
}

QString DebuggerPageTest::text(const char* label) const {
    return find<QLabel>(label)->text();
}

void DebuggerPageTest::clickMargin(int tab, int line) {
    QsciScintilla* editor = listing(tab);
    ASSERT_NE(editor, nullptr);
    editor->ensureLineVisible(line - 1); // the user scrolls to it first
    const long position = editor->positionFromLineIndex(line - 1, 0);
    const int y = static_cast<int>(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION,
                                                         0, position)) +
                  editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line - 1) / 2;
    const int x = editor->marginWidth(0) + editor->marginWidth(1) / 2;
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

void DebuggerPageTest::putCursor(int tab, int line) {
    page().listings().activate(tab);
    listing(tab)->setCursorPosition(line - 1, 0);
}

std::vector<std::string> DebuggerPageTest::wire() const {
    return transferLog();
}

std::size_t DebuggerPageTest::steps() const {
    const std::vector<std::string> lines = wire();
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const auto& l) {
        return l.starts_with("IN B0 0081 0047");
    }));
}

void DebuggerPageTest::clearWire() {
    clearTransferLog();
}

bool DebuggerPageTest::nothingSent() const {
    return wire().empty();
}

bool DebuggerPageTest::chipInDebugMode() const {
    return programmerInDebugMode();
}

} // namespace ide::test
