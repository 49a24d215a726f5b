#include "download_fixture.h"

#include "download/download_commands.h"
#include "pages/download_page.h"
#include "programmer/backend_table.h"
#include "shell/lamp.h"
#include "shell/main_window.h"
#include "simulator/sim_backend.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>

namespace ide::test {

int ActingPopups::show(const Popup& popup) {
    if (whileShown) whileShown(popup);
    return PopupRecorder::show(popup);
}

Bytes countingBytes(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x10 + i * 7);
        if (bytes[i] == 0xFF) bytes[i] = 0x5A;
    }
    return bytes;
}

QByteArray hexFileText(const Bytes& image) {
    QByteArray text = "//---------------------------------------------------------------\r\n"
                      "//\tDownloadable Hex-File for KZ71\r\n"
                      "//---------------------------------------------------------------\r\n"
                      "\r\n";
    char line[80];
    for (std::size_t a = 0; a < image.size(); a += 2) {
        if (a + 1 < image.size())
            std::snprintf(line, sizeof line, "%04zX: %02X %02X\t//--- %zu\r\n", a, image[a],
                          image[a + 1], a);
        else
            std::snprintf(line, sizeof line, "%04zX: %02X\t//--- %zu\r\n", a, image[a], a);
        text += line;
    }
    return text + "\r\n";
}

QByteArray eprFileText(const std::vector<std::pair<int, int>>& cells) {
    QByteArray text = "//\tUser EEPROM of KZ71\r\n\r\n";
    char line[24];
    for (const auto& [cell, value] : cells) {
        std::snprintf(line, sizeof line, "%02X: %02X \r\n", cell, value);
        text += line;
    }
    return text;
}

void DownloadTest::SetUp() {
    IdeTest::SetUp();
    app->popups().setHandler(&acting);
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    std::string error;
    ASSERT_TRUE(programmer::selectBackend("sim", error)) << error;
    restartSimulator({});
    ASSERT_EQ(start(), StartResult::mainWindow);
    app->busyWindow().setRepaintInterval(std::chrono::milliseconds(0));
}

void DownloadTest::TearDown() {
    IdeTest::TearDown();
    // The next user of the simulator must not find this test's clock.
    sim::resetSimulator({}, std::make_shared<kz71::VirtualClock>());
}

sim::Simulator& DownloadTest::restartSimulator(sim::SimConfig config) {
    const std::shared_ptr<kz71::Clock> shared(&clock, [](kz71::Clock*) {});
    simulator = &sim::resetSimulator(std::move(config), shared);
    return *simulator;
}

DownloadCommands& DownloadTest::commands() const {
    return main().downloadPage().commands();
}

bool DownloadTest::runMenu(const char* name) {
    QAction* action = find<QAction>(name);
    if (action == nullptr || !action->isEnabled()) return false;
    action->trigger();
    settle();
    return true;
}

void DownloadTest::click(const char* button) {
    QPushButton* b = find<QPushButton>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
    settle();
}

void DownloadTest::chooseMemory(int index) {
    auto* memory = find<QComboBox>("memorySelection");
    memory->setCurrentIndex(index);
    emit memory->activated(index);
}

QString DownloadTest::messages() const {
    return find<QPlainTextEdit>("downloadMessages")->toPlainText();
}

QString DownloadTest::lampLabel() const {
    return find<QLabel>("statusLampLabel")->text();
}

QString DownloadTest::statusText() const {
    return find<QLabel>("statusText")->text();
}

Lamp& DownloadTest::lamp() const {
    return *find<Lamp>("statusLamp");
}

QProgressBar& DownloadTest::progressBar() const {
    return *find<QProgressBar>("downloadProgress");
}

bool DownloadTest::visible(const char* name) const {
    return find(name)->isVisibleTo(window());
}

bool DownloadTest::enabled(const char* name) const {
    return find(name)->isEnabled();
}

QString DownloadTest::selectHexFile(const Bytes& image) {
    app->build().hexFilePath = writeFile("prog.hex", hexFileText(image));
    return app->build().hexFilePath;
}

std::size_t DownloadTest::countWire(const std::string& prefix) const {
    std::size_t n = 0;
    for (const std::string& line : wire())
        n += line.starts_with(prefix) ? 1 : 0;
    return n;
}

} // namespace ide::test
