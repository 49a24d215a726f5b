#include "debugger/debugger_screen.h"

#include "debugger/ram_window.h"
#include "shell/lamp.h"
#include "shell/path_label.h"

#include <QLabel>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

std::array<QLabel*, 10> RegisterControls::texts() const {
    return {lastAddress,       x, y, z, hb0, hb0Decimal, ramAddress, ramContent, previousRamAddress,
            previousRamContent};
}

DebuggerScreen::DebuggerScreen(DebuggerControls controls, programmer::ProgrammerReport& report)
    : c_(controls), report_(report), hexColours_(*controls.hexView),
      blink_([this](int line, programmer::LineColour colour) { hexColours_.set(line, colour); }) {}

void DebuggerScreen::rememberDesignedTexts() {
    const auto labels = c_.registers.texts();
    for (std::size_t i = 0; i < labels.size(); ++i)
        designedTexts_[i] = labels[i]->text();
}

void DebuggerScreen::hexTextReplaced() {
    blink_.stop();
    hexColours_.clear();
}

void DebuggerScreen::setViewsShown(bool shown) {
    viewsShown_ = shown;
    c_.runningText->setVisible(shown && debugMode_);
}

void DebuggerScreen::showListingFiles(std::span<const programmer::ListingFile> files) {
    if (onProgramLoading) onProgramLoading();
    const QStringList failures = c_.listings->showFiles(files);
    // The page goes on with the files it could read; the others are named once.
    if (!failures.isEmpty())
        report_.showMessagePopup("info", ("status < 0, 4\n" + failures.join('\n')).toStdString());
}

void DebuggerScreen::activateListingTab(int tab) {
    c_.listings->activate(tab);
}

void DebuggerScreen::showListingName(std::string_view name) {
    showPath(*c_.listingName, text(name));
}

void DebuggerScreen::setListingLineColour(int tab, int line, programmer::LineColour colour) {
    c_.listings->setLineColour(tab, line, colour);
}

void DebuggerScreen::selectListingLine(int tab, int line) {
    c_.listings->selectLine(tab, line);
}

void DebuggerScreen::setBreakpointMark(int tab, int line, bool shown) {
    c_.listings->setMark(tab, line, shown);
}

void DebuggerScreen::setHexLineColour(int line, programmer::LineColour colour) {
    if (blink_.running() && line == blink_.line()) {
        blink_.setFinalColour(colour);
        return;
    }
    hexColours_.set(line, colour);
}

void DebuggerScreen::selectHexLine(int line) {
    showEditorLine(*c_.hexView, line);
}

void DebuggerScreen::startBlinkingHexLine(int line, programmer::LineColour after) {
    blink_.start(line, after);
    selectHexLine(line);
}

void DebuggerScreen::stopBlinkingHexLine() {
    blink_.stop();
}

bool DebuggerScreen::blinkingHexLine() const {
    return blink_.running();
}

void DebuggerScreen::showDebugMode(bool active) {
    debugMode_ = active;
    c_.debugLamp->setOn(active);
    c_.runningText->setVisible(viewsShown_ && active);
}

void DebuggerScreen::showRegisters(const programmer::RegisterTexts& t) {
    const RegisterControls& r = c_.registers;
    const bool flags[] = {t.signum, t.notEqual, t.overflow, t.carry};
    for (std::size_t i = 0; i < r.flags.size(); ++i)
        r.flags[i]->setOn(flags[i]);
    r.lastAddress->setText(text(t.lastAddress));
    r.x->setText(text(t.x));
    r.y->setText(text(t.y));
    r.z->setText(text(t.z));
    r.hb0->setText(text(t.hb0));
    r.hb0Decimal->setText(text(t.hb0Decimal));
    r.ramAddress->setText(text(t.ramAddress));
    r.ramContent->setText(text(t.ramContent));
    if (t.showPrevious) {
        r.previousRamAddress->setText(text(t.previousRamAddress));
        r.previousRamContent->setText(text(t.previousRamContent));
    }
}

void DebuggerScreen::resetRegisters() {
    for (Lamp* flag : c_.registers.flags)
        flag->setOn(false);
    const auto labels = c_.registers.texts();
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->setText(designedTexts_[i]);
}

void DebuggerScreen::setRamCell(int address, std::string_view value) {
    if (ram_) ram_->setCell(address, text(value));
}

void DebuggerScreen::closeRamWindow() {
    if (!ram_) return;
    ram_->discard();
    ram_ = nullptr;
    if (onRamWindowDiscarded) onRamWindowDiscarded();
}

} // namespace ide
