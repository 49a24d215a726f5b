#include "debugger/debugger_report.h"

#include "shell/busy_window.h"
#include "shell/popups.h"

namespace ide {
namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

void DebuggerReport::showErrorPopup(std::string_view message, int code) {
    popups_.showErrorPopup(text(message), code);
}

void DebuggerReport::showWarningPopup(std::string_view message, int code) {
    popups_.showWarningPopup(text(message), code);
}

void DebuggerReport::showInfoPopup(std::string_view message, int code) {
    popups_.showInfoPopup(text(message), code);
}

void DebuggerReport::showMessagePopup(std::string_view title, std::string_view message) {
    popups_.showMessagePopup(text(title), text(message));
}

bool DebuggerReport::askYesNo(std::string_view title, std::string_view question) {
    return popups_.askYesNo(text(title), text(question));
}

void DebuggerReport::setBusy(bool busy) {
    if (busy)
        busy_.begin();
    else
        busy_.end();
}

void DebuggerReport::progress(std::size_t done, std::size_t total) {
    if (!busy_.paintDue()) return;
    if (progressShown_) progressShown_(done, total);
    busy_.serve();
}

void DebuggerReport::appendMessage(std::string_view message) {
    if (downloadPage_) downloadPage_->appendMessage(message);
}

void DebuggerReport::clearMessages() {
    if (downloadPage_) downloadPage_->clearMessages();
}

void DebuggerReport::setLamp(programmer::LampState state) {
    if (downloadPage_) downloadPage_->setLamp(state);
}

void DebuggerReport::setLampLabel(std::string_view label) {
    if (downloadPage_) downloadPage_->setLampLabel(label);
}

void DebuggerReport::showDownloadPage() {
    if (downloadPage_) downloadPage_->showDownloadPage();
}

void DebuggerReport::setReadVerifyEnabled(bool enabled) {
    if (downloadPage_) downloadPage_->setReadVerifyEnabled(enabled);
}

void DebuggerReport::showVerifyFailed(bool shown) {
    if (downloadPage_) downloadPage_->showVerifyFailed(shown);
}

void DebuggerReport::setUserEepromCell(int column, int row, std::string_view cell) {
    if (downloadPage_) downloadPage_->setUserEepromCell(column, row, cell);
}

} // namespace ide
