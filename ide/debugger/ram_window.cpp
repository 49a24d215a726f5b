#include "debugger/ram_window.h"

#include "app/paths.h"
#include "programmer/ram_view.h"
#include "shell/appearance.h"
#include "shell/panel_loader.h"
#include "shell/window_fit.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace ide {
namespace {

constexpr int rows = 32;
constexpr int columns = 16;
const QColor label_background(0xE8, 0xE8, 0xE8);

QColor rgb(std::uint32_t colour) {
    return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

QTableWidgetItem& itemAt(QTableWidget& table, int row, int column) {
    QTableWidgetItem* item = table.item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        table.setItem(row, column, item);
    }
    return *item;
}

QTableWidgetItem& valueItem(QTableWidget& table, int address) {
    const programmer::RamCellLayout layout = programmer::ramCellLayout(address);
    return itemAt(table, layout.row - 1, layout.column - 1);
}

} // namespace

RamWindow::RamWindow(QWidget* panel) : QObject(panel), panel_(panel) {}

RamWindow* RamWindow::load(const Paths& paths, QWidget& owner, PanelResult& failure) {
    PanelResult loaded = loadPanel(paths, "RAM");
    if (loaded.panel == nullptr) {
        failure = loaded;
        return nullptr;
    }
    auto* window = new RamWindow(loaded.panel);
    WidgetBinder binder(*loaded.panel, "RAM");
    window->table_ = binder.bind<QTableWidget>("ramTable");
    window->refreshButton_ = binder.bind<QPushButton>("refreshButton");
    window->closeButton_ = binder.bind<QPushButton>("closeButton");
    if (!binder.complete()) {
        failure = binder.failure();
        delete loaded.panel;
        return nullptr;
    }
    // A window of the main window: it stays above it and goes with it. Its size is fixed.
    loaded.panel->setParent(&owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowCloseButtonHint);
    loaded.panel->installEventFilter(window);
    connect(window->refreshButton_, &QPushButton::clicked, window, [window] {
        if (window->onRefresh && !window->discarded_) window->onRefresh();
    });
    connect(window->closeButton_, &QPushButton::clicked, window, [window] {
        if (window->onClose && !window->discarded_) window->onClose();
    });
    window->fitColumns();
    return window;
}

void RamWindow::discard() {
    discarded_ = true;
    panel_->removeEventFilter(this);
    panel_->hide();
    panel_->deleteLater();
}

void RamWindow::fitColumns() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(8);
    table_->setFont(font);
    const QFontMetrics metrics(font);
    const int labelWidth = metrics.horizontalAdvance("0x00") + 10;
    const int valueWidth = metrics.horizontalAdvance("0x000000") + 12;
    const int rowHeight = metrics.height() + 3;
    table_->horizontalHeader()->setMinimumSectionSize(1);
    table_->verticalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < columns; ++c)
        table_->setColumnWidth(c, c % 2 == 0 ? labelWidth : valueWidth);
    for (int r = 0; r < rows; ++r)
        table_->setRowHeight(r, rowHeight);
    const int frame = 2 * table_->frameWidth();
    wholeTable_ = QSize(columns / 2 * (labelWidth + valueWidth) + frame, rows * rowHeight + frame);
    table_->setFixedSize(wholeTable_);
}

void RamWindow::fitInto(const QRect& area) {
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setFixedSize(wholeTable_);
    panel_->adjustSize();
    const QSize room = area.marginsRemoved(frameMarginsOf(*panel_)).size();
    const QSize over = panel_->size() - room;
    if (over.width() <= 0 && over.height() <= 0) return;
    QSize table = wholeTable_;
    if (over.width() > 0) {
        table.rwidth() -= over.width();
        table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    if (over.height() > 0) {
        table.rheight() -= over.height();
        table_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    table_->setFixedSize(table);
    panel_->adjustSize();
}

void RamWindow::place(const QWidget& owner, int resolution) {
    const int w = owner.width(), h = owner.height();
    QPoint topLeft =
        owner.mapToGlobal(QPoint(w / 2 + (resolution == 1024 ? w / 12 : w / 11), h / 14));
    panel_->adjustSize();
    if (const QScreen* screen = owner.screen()) {
        const QRect area = screen->availableGeometry();
        fitInto(area);
        const QSize size = panel_->size().grownBy(frameMarginsOf(*panel_));
        topLeft.setX(qMax(area.left(), qMin(topLeft.x(), area.right() + 1 - size.width())));
        topLeft.setY(qMax(area.top(), qMin(topLeft.y(), area.bottom() + 1 - size.height())));
    }
    panel_->move(topLeft);
}

void RamWindow::colourCells() {
    for (int a = 0; a < programmer::RamWindow::cell_count; ++a) {
        const programmer::RamCellLayout layout = programmer::ramCellLayout(a);
        QTableWidgetItem& value = valueItem(*table_, a);
        value.setBackground(rgb(layout.background));
        value.setTextAlignment(Qt::AlignCenter);
        QTableWidgetItem& label = itemAt(*table_, layout.row - 1, layout.column - 2);
        label.setBackground(label_background);
        label.setTextAlignment(Qt::AlignCenter);
    }
    colourButton(*refreshButton_, run_green);
}

void RamWindow::setCell(int address, const QString& text) {
    if (address < 0 || address >= programmer::RamWindow::cell_count) return;
    valueItem(*table_, address).setText(text);
}

QString RamWindow::cell(int address) const {
    if (address < 0 || address >= programmer::RamWindow::cell_count) return {};
    return valueItem(*table_, address).text();
}

void RamWindow::showRefreshRunning(bool running) {
    colourButton(*refreshButton_, running ? running_red : run_green);
    refreshButton_->repaint();
}

bool RamWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::Close) {
        // The title bar's close button does what "Close" does.
        event->ignore();
        if (onClose && !discarded_) onClose();
        return true;
    }
    return false;
}

} // namespace ide
