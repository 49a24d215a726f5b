// The Download page: the hex file and its view, the memory selection, the command buttons,
// the "Messages" box, the status lamp, the progress bar and the user EEPROM table. Its
// commands (ide/download) report through the page's view functions below.
#pragma once

#include "shell/page.h"

#include <QObject>
#include <memory>

class Lamp;
class QCheckBox;
class QColor;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QsciScintilla;
class QTableWidget;
class QTimer;
class QWidget;

namespace programmer {
class ProgrammerReport;
}

namespace ide {

class Application;
class DownloadCommands;
class PageReport;
class WidgetBinder;

// Warning shown when Read Protect is ticked.
inline constexpr int read_protect_code = 998;

class DownloadPage : public QObject, public Page {
public:
    // The message box keeps every message until Reset Interface; over a long session it drops
    // its oldest lines beyond this many instead of growing without end.
    static constexpr int max_message_lines = 5000;

    DownloadPage(Application& app, PageSwitcher& pages, WidgetBinder& binder);
    ~DownloadPage() override;
    // After a complete binding: the layout rule, the page's controls and its commands.
    void setUp();
    void initControls();
    void setTooltips(bool show);
    // The main window's "Executable Watchdog" loads the firmware of a programmer that has none.
    void startWatchdog(QTimer& timer);

    // Brings the page to the front and shows the hex file of hexFilePath (or the hint that
    // there is none) and the user EEPROM table when the .epr file exists.
    void prepareDownloadPage();
    // The memory selection: "Read Protect" is dimmed unless "OTP" is chosen.
    void mem_selected();
    // Ticking "Read Protect" warns that it cannot be undone.
    void rp_popup();

    void pageShown() override { prepareDownloadPage(); }
    // The hex view, when a hex file is selected.
    QsciScintilla* documentToPrint() override;

    // What the programmer operations show on the page.
    void appendMessage(const QString& text);
    void clearMessages();
    void setLamp(bool on, const QColor& colour, const QString& statusText);
    void setLampLabel(const QString& label);
    void showVerifyFailed(bool shown);
    // Column and row counted from 1 as the table is drawn: 1 is the header.
    void setUserEepromCell(int column, int row, const QString& text);
    void showProgress(int done, int total);
    void hideProgress();
    // The memory selection's index (0 SPI EEPROM, 1 OTP), -1 when none can be read.
    int memoryIndex() const;
    bool readProtectTicked() const;

    // What the page shows of programmer work it does not run itself (the debugger's opens):
    // the message box and the lamp.
    programmer::ProgrammerReport& shownReport();

    QWidget& page() { return *page_; }
    DownloadCommands& commands() { return *commands_; }

private:
    void layout();

    Application& app_;
    PageSwitcher& pages_;
    QWidget* page_;
    QPushButton* getDevInfoButton_;
    QPushButton* downloadButton_;
    QPushButton* readVerifyButton_;
    QPushButton* selectHexButton_;
    QPushButton* resetInterfaceButton_;
    QComboBox* memorySelection_;
    QCheckBox* readProtect_;
    QLabel* hexFileName_;
    QLabel* noHexText_;
    QsciScintilla* hexView_;
    QProgressBar* progress_;
    QPlainTextEdit* downloadMessages_;
    QLabel* statusLampLabel_;
    Lamp* statusLamp_;
    QLabel* statusText_;
    QLabel* verifyFailedText_;
    QLabel* eepromLabel_;
    QLabel* eepromRangeLabel_;
    QLabel* noEepromText_;
    QTableWidget* userEepromTable_;
    int eepromTableWidth_ = 0; // wide enough for its eight columns
    std::unique_ptr<DownloadCommands> commands_;
    std::unique_ptr<PageReport> shownReport_;
};

} // namespace ide
