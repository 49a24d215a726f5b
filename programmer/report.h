// What the programmer operations tell the user, and the questions they ask. The Download page
// implements it with its widgets, kz71prog by printing, tests by recording. Every operation of
// the programmer link, the download and the debugger reports through this one interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace programmer {

// The status lamp beside the message box.
enum class LampState : std::uint8_t { idle, inProgress, success, failed };

struct LampAppearance {
    std::string_view statusText; // "IN PROGRESS", "SUCCESS", "FAILED" or empty
    std::uint32_t colour;        // 24-bit RGB, red in the high byte: the on-colour, or the
                                 // off-colour when the lamp is off
    bool on;
};

constexpr LampAppearance lampAppearance(LampState state) {
    switch (state) {
    case LampState::inProgress:
        return {"IN PROGRESS", 0xFFB062, true};
    case LampState::success:
        return {"SUCCESS", 0x00FF00, true};
    case LampState::failed:
        return {"FAILED", 0xFF0000, true};
    case LampState::idle:
        break;
    }
    return {"", 0xC0C0C0, false};
}

// The lamp's labels, naming the running operation.
inline constexpr std::string_view lamp_label_status = "Status";
inline constexpr std::string_view lamp_label_download = "Download";
inline constexpr std::string_view lamp_label_verify = "Read & Verify";

class ProgrammerReport {
public:
    virtual ~ProgrammerReport() = default;

    // The "Messages" box: text is only ever appended; it carries its own line breaks.
    virtual void appendMessage(std::string_view text) = 0;
    virtual void clearMessages() = 0;

    // The status lamp, its status text (from lampAppearance) and its label.
    virtual void setLamp(LampState state) = 0;
    virtual void setLampLabel(std::string_view label) = 0;

    // The coded popups ("ivra-ASM Error <code>" and its siblings) and the plain ones with a
    // title of their own ("ERROR").
    virtual void showErrorPopup(std::string_view message, int code) = 0;
    virtual void showWarningPopup(std::string_view message, int code) = 0;
    virtual void showInfoPopup(std::string_view message, int code) = 0;
    virtual void showMessagePopup(std::string_view title, std::string_view text) = 0;
    // A yes/no question; true when the user answers yes.
    virtual bool askYesNo(std::string_view title, std::string_view text) = 0;

    // The Download page: brought to the front and refreshed (prepareDownloadPage), the
    // "Read & Verify" button and menu item enabled or dimmed, "VERIFY FAILED!" shown or hidden,
    // one cell of the user EEPROM table set (column and row counted from 1, as the table does).
    virtual void showDownloadPage() = 0;
    virtual void setReadVerifyEnabled(bool enabled) = 0;
    virtual void showVerifyFailed(bool shown) = 0;
    virtual void setUserEepromCell(int column, int row, std::string_view text) = 0;

    // While a memory is read or programmed: the busy cursor, and how far the work has come
    // (`done` of `total` steps; called often, so an implementation keeps it cheap). The user
    // cannot start anything else meanwhile, but the window must keep being repainted.
    virtual void setBusy(bool busy) = 0;
    virtual void progress(std::size_t done, std::size_t total) = 0;
};

} // namespace programmer
