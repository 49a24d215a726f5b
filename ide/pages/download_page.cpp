#include "pages/download_page.h"

#include "app/application.h"
#include "download/download_commands.h"
#include "download/firmware_watchdog.h"
#include "download/page_report.h"
#include "editor/editor_files.h"
#include "editor/editor_setup.h"
#include "editor/editor_tabs.h"
#include "files/read_file.h"
#include "shell/appearance.h"
#include "shell/lamp.h"
#include "shell/page_layout.h"
#include "shell/panel_loader.h"
#include "shell/path_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCursor>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// From this page width on the Reset Interface button fits into the first button row.
constexpr int wide_download_page = 894;
constexpr int otp_index = 1;
// The user EEPROM table ends this far from the page's right edge; the "Messages" box keeps
// this gap to it.
constexpr int eeprom_table_right_gap = 10;
constexpr int eeprom_table_gap = 7;
// The lamp's label ("Status", "Download", "Read & Verify") stands on the lamp's row, ending
// this far left of it: above the lamp it would cover the bottom of the hex view.
constexpr int lamp_label_width = 100;
constexpr int lamp_label_gap = 6;

// The width the table needs to show its eight columns of "0x00" whole, without a horizontal
// scroll bar, at its font.
int fitEepromColumns(QTableWidget& table) {
    const int column = table.fontMetrics().horizontalAdvance("0x00") + 8;
    table.horizontalHeader()->setMinimumSectionSize(column);
    table.horizontalHeader()->setDefaultSectionSize(column);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 4);
    const int width = 2 * table.frameWidth() + table.verticalHeader()->sizeHint().width() +
                      table.columnCount() * column + table.verticalScrollBar()->sizeHint().width();
    return qMax(width, table.width());
}

} // namespace

DownloadPage::DownloadPage(Application& app, PageSwitcher& pages, WidgetBinder& binder)
    : app_(app), pages_(pages), page_(binder.bind<QWidget>("downloadPage")),
      getDevInfoButton_(binder.bind<QPushButton>("getDevInfoButton")),
      downloadButton_(binder.bind<QPushButton>("downloadButton")),
      readVerifyButton_(binder.bind<QPushButton>("readVerifyButton")),
      selectHexButton_(binder.bind<QPushButton>("selectHexButton")),
      resetInterfaceButton_(binder.bind<QPushButton>("resetInterfaceButton")),
      memorySelection_(binder.bind<QComboBox>("memorySelection")),
      readProtect_(binder.bind<QCheckBox>("readProtect")),
      hexFileName_(binder.bind<QLabel>("hexFileName")),
      noHexText_(binder.bind<QLabel>("noHexText")), hexView_(binder.bind<QsciScintilla>("hexView")),
      progress_(binder.bind<QProgressBar>("downloadProgress")),
      downloadMessages_(binder.bind<QPlainTextEdit>("downloadMessages")),
      statusLampLabel_(binder.bind<QLabel>("statusLampLabel")),
      statusLamp_(binder.bind<Lamp>("statusLamp")), statusText_(binder.bind<QLabel>("statusText")),
      verifyFailedText_(binder.bind<QLabel>("verifyFailedText")),
      eepromLabel_(binder.bind<QLabel>("eepromLabel")),
      eepromRangeLabel_(binder.bind<QLabel>("eepromRangeLabel")),
      noEepromText_(binder.bind<QLabel>("noEepromText")),
      userEepromTable_(binder.bind<QTableWidget>("userEepromTable")) {}

DownloadPage::~DownloadPage() = default;

void DownloadPage::setUp() {
    installLayout(*page_, [this] { layout(); });
    downloadMessages_->setMaximumBlockCount(max_message_lines);
    CommandTable& commands = app_.commands();
    commands.attachButton("mDownloadGetDevInfo", getDevInfoButton_);
    commands.attachButton("mDownloadHexFile", downloadButton_);
    commands.attachButton("mDownloadRdVerify", readVerifyButton_);
    commands.attachButton("mDownloadSelHexFile", selectHexButton_);
    commands.attachButton("mDownloadResetInterface", resetInterfaceButton_);
    connect(memorySelection_, &QComboBox::activated, this, &DownloadPage::mem_selected);
    connect(readProtect_, &QCheckBox::clicked, this, &DownloadPage::rp_popup);
    commands_ = std::make_unique<DownloadCommands>(app_, *this);
    shownReport_ = std::make_unique<PageReport>(app_, *this);
}

programmer::ProgrammerReport& DownloadPage::shownReport() {
    return *shownReport_;
}

void DownloadPage::startWatchdog(QTimer& timer) {
    new FirmwareWatchdog(app_, timer, *commands_);
}

void DownloadPage::initControls() {
    std::vector<QPushButton*> buttons{getDevInfoButton_, downloadButton_, readVerifyButton_,
                                      selectHexButton_, resetInterfaceButton_};
    for (QPushButton* button : buttons)
        colourButton(*button, command_grey, {110, 24});
    fitTexts(buttons);
    setLampColours(*statusLamp_, lamp_on, lamp_off);
    makeHexView(*hexView_, app_.editorLanguages());
    QStringList rows;
    for (int r = 0; r < 16; ++r)
        rows << QString("%1").arg(r * 8, 2, 16, QChar('0')).toUpper();
    userEepromTable_->setVerticalHeaderLabels(rows);
    // Row label plus column label is the cell's address.
    userEepromTable_->setHorizontalHeaderLabels({"0", "1", "2", "3", "4", "5", "6", "7"});
    progress_->setFormat("%p%");
    userEepromTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    statusLampLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    userEepromTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    userEepromTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    userEepromTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    userEepromTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    eepromTableWidth_ = fitEepromColumns(*userEepromTable_);
}

void DownloadPage::setTooltips(bool show) {
    getDevInfoButton_->setToolTip(show ? QString("Get programmer information") : QString());
    resetInterfaceButton_->setToolTip(show ? QString("Reset USB interface and message output box")
                                           : QString());
    statusLamp_->setToolTip(show ? QString("Indicator shows status of last performed action")
                                 : QString());
}

void DownloadPage::prepareDownloadPage() {
    app_.shell().activePage = downloadPageIndex;
    pages_.showPage(downloadPageIndex);
    const QString& hex = app_.build().hexFilePath;
    const bool hexSelected = !hex.isEmpty();
    if (hexSelected) {
        makeHexView(*hexView_, app_.editorLanguages());
        FileBytes file = readFileBytes(hex, max_source_file_bytes);
        showSourceText(*hexView_, file.status == files::ReadStatus::ok ? file.bytes : QByteArray());
        hexView_->setReadOnly(true);
        showPath(*hexFileName_, hex);
    }
    hexView_->setVisible(hexSelected);
    hexFileName_->setVisible(hexSelected);
    noHexText_->setVisible(!hexSelected);
    const bool eeprom = QFileInfo(app_.build().eprFilePath).isFile();
    for (QWidget* part :
         {static_cast<QWidget*>(userEepromTable_), static_cast<QWidget*>(eepromLabel_),
          static_cast<QWidget*>(eepromRangeLabel_)})
        part->setVisible(eeprom);
    noEepromText_->setVisible(!eeprom);
    layout(); // the message box makes room for the table only while it is shown
}

void DownloadPage::mem_selected() {
    readProtect_->setEnabled(memorySelection_->currentIndex() == otp_index);
}

void DownloadPage::rp_popup() {
    if (readProtect_->isChecked())
        app_.popups().showWarningPopup("By activating Read Protect, the OTP will be protected from "
                                       "reading, this action can not be undone!",
                                       read_protect_code);
}

void DownloadPage::appendMessage(const QString& text) {
    QTextCursor end(downloadMessages_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    QScrollBar* bar = downloadMessages_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void DownloadPage::clearMessages() {
    downloadMessages_->clear();
}

void DownloadPage::setLamp(bool on, const QColor& colour, const QString& statusText) {
    if (on)
        statusLamp_->setOnColor(colour);
    else
        statusLamp_->setOffColor(colour);
    statusLamp_->setOn(on);
    statusText_->setText(statusText);
}

void DownloadPage::setLampLabel(const QString& label) {
    statusLampLabel_->setText(label);
}

void DownloadPage::showVerifyFailed(bool shown) {
    verifyFailedText_->setVisible(shown);
}

void DownloadPage::setUserEepromCell(int column, int row, const QString& text) {
    const int r = row - 2, c = column - 2;
    if (r < 0 || c < 0 || r >= userEepromTable_->rowCount() || c >= userEepromTable_->columnCount())
        return;
    QTableWidgetItem* cell = userEepromTable_->item(r, c);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        userEepromTable_->setItem(r, c, cell);
    }
    cell->setText(text);
}

void DownloadPage::showProgress(int done, int total) {
    if (progress_->isHidden()) progress_->show();
    if (progress_->maximum() != total) progress_->setRange(0, total);
    progress_->setValue(done);
}

void DownloadPage::hideProgress() {
    progress_->hide();
    progress_->reset();
}

int DownloadPage::memoryIndex() const {
    return memorySelection_->currentIndex();
}

bool DownloadPage::readProtectTicked() const {
    return readProtect_->isChecked();
}

QsciScintilla* DownloadPage::documentToPrint() {
    prepareDownloadPage();
    return hexView_->isHidden() ? nullptr : hexView_;
}

void DownloadPage::layout() {
    const int w = page_->width(), h = page_->height();
    applyAnchors(*page_);
    const int tableWidth = eepromTableWidth_ > 0 ? eepromTableWidth_ : userEepromTable_->width();
    const int tableLeft = w - eeprom_table_right_gap - tableWidth;
    setRect(userEepromTable_, tableLeft, h - 230, tableWidth, userEepromTable_->height());
    // The "Messages" box is W - 266 wide, narrower where the table, when shown, needs the room.
    const int m = downloadMessages_->height();
    const int x = downloadMessages_->x();
    const int logWidth =
        userEepromTable_->isHidden() ? w - 266 : qMin(w - 266, tableLeft - eeprom_table_gap - x);
    setRect(downloadMessages_, x, h - m - 20, logWidth, m);
    // The progress bar runs along the "Messages" label, as wide as the box, up to the lamp's
    // label on the same row.
    const int lampLabelLeft = w - 186 - lamp_label_gap - lamp_label_width;
    setRect(progress_, progress_->x(), progress_->y(),
            qMin(x + logWidth, lampLabelLeft - lamp_label_gap) - progress_->x(),
            progress_->height());
    setRect(hexView_, hexView_->x(), hexView_->y(), w - 30, h - m - 150);
    place(eepromLabel_, w - 186, h - 270);
    place(eepromRangeLabel_, w - 181, h - 250);
    place(statusLamp_, w - 186, h - 320);
    setRect(statusLampLabel_, lampLabelLeft,
            h - 320 + (statusLamp_->height() - statusLampLabel_->height()) / 2, lamp_label_width,
            statusLampLabel_->height());
    place(statusText_, w - 156, h - 317);
    place(noEepromText_, w - 186, h - 170);
    if (w > wide_download_page) {
        resetInterfaceButton_->move(selectHexButton_->x() + 150, getDevInfoButton_->y());
        readProtect_->move(selectHexButton_->x() + 150, readProtect_->y());
    } else {
        resetInterfaceButton_->move(selectHexButton_->x(), getDevInfoButton_->y() + 40);
        readProtect_->move(selectHexButton_->x() - 100, readProtect_->y());
    }
}

} // namespace ide
