#include "download/page_report.h"

#include "app/application.h"
#include "pages/download_page.h"

#include <QColor>
#include <algorithm>
#include <climits>

namespace ide {
namespace {

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

} // namespace

PageReport::PageReport(Application& app, DownloadPage& page) : app_(app), page_(page) {}

void PageReport::appendMessage(std::string_view message) {
    page_.appendMessage(text(message));
}

void PageReport::clearMessages() {
    page_.clearMessages();
}

void PageReport::setLamp(programmer::LampState state) {
    const programmer::LampAppearance look = programmer::lampAppearance(state);
    page_.setLamp(look.on, QColor::fromRgb(look.colour), text(look.statusText));
}

void PageReport::setLampLabel(std::string_view label) {
    page_.setLampLabel(text(label));
}

void PageReport::showErrorPopup(std::string_view message, int code) {
    app_.popups().showErrorPopup(text(message), code);
}

void PageReport::showWarningPopup(std::string_view message, int code) {
    app_.popups().showWarningPopup(text(message), code);
}

void PageReport::showInfoPopup(std::string_view message, int code) {
    app_.popups().showInfoPopup(text(message), code);
}

void PageReport::showMessagePopup(std::string_view title, std::string_view message) {
    app_.popups().showMessagePopup(text(title), text(message));
}

bool PageReport::askYesNo(std::string_view title, std::string_view question) {
    return app_.popups().askYesNo(text(title), text(question));
}

void PageReport::showDownloadPage() {
    page_.prepareDownloadPage();
}

void PageReport::setReadVerifyEnabled(bool enabled) {
    app_.commands().setAvailable("mDownloadRdVerify", enabled);
}

void PageReport::showVerifyFailed(bool shown) {
    page_.showVerifyFailed(shown);
}

void PageReport::setUserEepromCell(int column, int row, std::string_view cell) {
    page_.setUserEepromCell(column, row, text(cell));
}

void PageReport::setBusy(bool busy) {
    if (busy) return;
    page_.hideProgress();
    shownTotal_ = no_bar;
}

void PageReport::progress(std::size_t done, std::size_t total) {
    done = std::min(done, total);
    // A progress bar repaints at once when its value changes: it is told every percent.
    const std::size_t percent = total == 0 ? 0 : done * 100 / total;
    if (total != shownTotal_ || percent != shownPercent_ || done == total) {
        shownTotal_ = total;
        shownPercent_ = percent;
        const std::size_t scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
        page_.showProgress(static_cast<int>(done / scale), static_cast<int>(total / scale));
    }
    app_.busyWindow().keepPainted();
}

} // namespace ide
