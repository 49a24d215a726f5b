// Help/Opcode Help (F2) and Help/Help Contents (F1): the two help files beside the program,
// each shown in a help window of its own. A window stays open, independent of the main
// window, until the user closes it or the quit sequence closes them all; asking for a help
// file again brings its window to the front at the asked page.
#pragma once

#include <QPointer>
#include <QString>

class QUrl;

namespace ide {

class HelpViewer;
class Popups;
struct Paths;

enum class HelpBook { opcode, general };

// Warning popups when a help file is missing, and the error popup when it cannot be read.
inline constexpr int opcode_help_missing_code = 196;
inline constexpr int general_help_missing_code = 197;
inline constexpr int help_unreadable_code = 199;

// The start pages of the two files.
inline constexpr const char* opcode_help_topic = "frame.htm";
inline constexpr const char* general_help_topic = "index.htm";

class HelpWindows {
public:
    HelpWindows(const Paths& paths, Popups& popups);
    ~HelpWindows();
    HelpWindows(const HelpWindows&) = delete;
    HelpWindows& operator=(const HelpWindows&) = delete;

    // "<program dir>/help/opcode/opcode.qch" or "<program dir>/help/general/general.qch".
    QString helpFilePath(HelpBook book) const;

    // The opcode help at the page of `keyword` (a mnemonic), or at "frame.htm" when the help
    // has no page for it. Popup 196 naming the path when the file is missing.
    void openOpcodeHelp(const QString& keyword = {});
    // The user guide at "index.htm". Popup 197 naming the path when the file is missing.
    void openGeneralHelp();
    // Closes every help window (the quit sequence).
    void closeAll();

    // The window of a help file while it is open, else null.
    HelpViewer* viewer(HelpBook book) const;

private:
    HelpViewer* openBook(HelpBook book);
    // A link from one help file into the other opens the other's window at the linked page.
    void openLinked(const QUrl& url);

    const Paths& paths_;
    Popups& popups_;
    QPointer<HelpViewer> viewers_[2];
};

} // namespace ide
