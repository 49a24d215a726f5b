// The Download page: the hex file and its view, the memory selection, the command buttons,
// the "Messages" box, the status lamp and the user EEPROM table. Its buttons run the
// Download commands, which stay disabled until the download part defines them.
#pragma once

#include "shell/page.h"

#include <QObject>

class Lamp;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QsciScintilla;
class QTableWidget;
class QWidget;

namespace ide {

class Application;
class WidgetBinder;

// Warning shown when Read Protect is ticked.
inline constexpr int read_protect_code = 998;

class DownloadPage : public QObject, public Page {
public:
    DownloadPage(Application& app, PageSwitcher& pages, WidgetBinder& binder);
    void setUp();
    void initControls();
    void setTooltips(bool show);

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

    QWidget& page() { return *page_; }

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
    QPlainTextEdit* downloadMessages_;
    Lamp* statusLamp_;
    QLabel* statusText_;
    QLabel* eepromLabel_;
    QLabel* eepromRangeLabel_;
    QLabel* noEepromText_;
    QTableWidget* userEepromTable_;
};

} // namespace ide
