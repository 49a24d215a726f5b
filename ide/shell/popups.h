// The only place that shows message boxes. Every popup goes through one handler, so tests
// can record what would be shown and script the answers. The application object owns the one
// Popups service of the program.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace ide {

enum class PopupIcon { none, error, warning, information };
enum class PopupButtons { ok, yesNo, yesNoCancel };
enum PopupAnswer { answerCancel = -1, answerNo = 0, answerYes = 1 }; // OK answers yes

struct Popup {
    PopupIcon icon = PopupIcon::none;
    PopupButtons buttons = PopupButtons::ok;
    QString title;
    QString text;
};

// The message box that shows `popup`: its icon, title, text and buttons, and at least as wide
// as the window manager's title bar needs to show the whole title.
std::unique_ptr<QMessageBox> makeMessageBox(const Popup& popup);

class PopupHandler {
public:
    virtual ~PopupHandler() = default;
    virtual int show(const Popup& popup) = 0; // a PopupAnswer
};

class Popups {
public:
    Popups();

    // Replaces the message-box handler (tests); nullptr restores it.
    void setHandler(PopupHandler* handler) { handler_ = handler; }
    // Shows the popup (with the normal cursor, also while a long operation shows the busy
    // one) and returns the answer.
    int showPopup(const Popup& popup);

    // "ivra-ASM Error <code>": the message and "Error <code>"; with a non-zero return value
    // and a detail, "<message> (Return value <n>)\n<detail>\nError <code>".
    void showErrorPopup(const QString& message, int code, int returnValue = 0,
                        const QString& detail = {});
    void showWarningPopup(const QString& message, int code);
    void showInfoPopup(const QString& message, int code);
    // A plain message box with a title of its own ("info", "Project saved", "ERROR").
    void showMessagePopup(const QString& title, const QString& text);
    bool askYesNo(const QString& title, const QString& text);
    // "Save Changes" / "Edit buffer was modified. Save?" with Yes, No and Cancel.
    PopupAnswer askSaveChanges();

private:
    void showCoded(PopupIcon icon, const QString& kind, const QString& text, int code);

    PopupHandler* handler_ = nullptr;
    std::unique_ptr<PopupHandler> messageBoxes_;
};

} // namespace ide
