// The "RAM Content" window (panel "RAM"): the chip's 256 register and RAM cells in a table of 32
// rows and 16 columns, address labels in the odd columns and values in the even ones, coloured
// by region, with "Refresh" and "Close". What it shows and when comes from the debugger core;
// this is the window only.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

class QPushButton;
class QRect;
class QTableWidget;
class QWidget;

namespace ide {

struct Paths;
struct PanelResult;

class RamWindow : public QObject {
public:
    // Loads the panel as a window of `owner`, which owns it (and through it this controller);
    // null (and `failure` says why) when it cannot be loaded or lacks a control.
    static RamWindow* load(const Paths& paths, QWidget& owner, PanelResult& failure);
    // Hides the window and deletes it once control is back in the event loop (it may be
    // discarded from inside one of its own events).
    void discard();

    QWidget& panel() { return *panel_; }
    // Left at half the owner's width plus a twelfth of it (resolution 1024) or an eleventh,
    // top at a fourteenth of its height; kept inside the screen.
    void place(const QWidget& owner, int resolution);
    // The window's size, with its frame, no larger than `area`: the table scrolls where the
    // whole of it does not fit.
    void fitInto(const QRect& area);
    // Every value cell in the background of its region, "Refresh" in its colour.
    void colourCells();
    void setCell(int address, const QString& text);
    QString cell(int address) const;
    QTableWidget& table() { return *table_; }
    // "Refresh" in its running colour while a refresh reads the cells.
    void showRefreshRunning(bool running);

    // The buttons; closing the window by its title bar counts as "Close".
    std::function<void()> onRefresh;
    std::function<void()> onClose;

protected:
    // cbRAMPanelEvents: the window's own events.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit RamWindow(QWidget* panel);
    void fitColumns();

    QWidget* panel_;
    QTableWidget* table_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QSize wholeTable_; // the table with every cell in view
    bool discarded_ = false;
};

} // namespace ide
