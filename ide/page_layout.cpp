#include "page_layout.h"

#include "panel_loader.h"

#include <QEvent>
#include <QMainWindow>
#include <QTabWidget>
#include <QVariant>

namespace ide {
namespace {

constexpr int exit_button_margin = 10;
// From this page width on the Reset Interface button fits into the first button row.
constexpr int wide_download_page = 894;

// Each control with an "anchor" property keeps the distance to the bottom ("bottom") or to
// the bottom and right edges ("bottomRight") that it has in the designed page.
void recordAnchors(QWidget& page) {
    QSize design = page.property("designSize").toSize();
    for (QWidget* child : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QString anchor = child->property("anchor").toString();
        if (anchor.isEmpty()) continue;
        child->setProperty("bottomOffset", design.height() - child->y());
        if (anchor == "bottomRight") child->setProperty("rightOffset", design.width() - child->x());
    }
}

void applyAnchors(QWidget& page) {
    for (QWidget* child : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVariant bottom = child->property("bottomOffset");
        if (!bottom.isValid()) continue;
        QVariant right = child->property("rightOffset");
        int x = right.isValid() ? page.width() - right.toInt() : child->x();
        child->move(x, page.height() - bottom.toInt());
    }
}

void place(QWidget* w, int x, int y) {
    if (w) w->move(x, y);
}

void setRect(QWidget* w, int x, int y, int width, int height) {
    if (w) w->setGeometry(x, y, qMax(width, 0), qMax(height, 0));
}

class LayoutFilter : public QObject {
public:
    using Rule = void (*)(QWidget&);
    LayoutFilter(QWidget& target, Rule rule) : QObject(&target), rule_(rule) {
        target.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) rule_(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    Rule rule_;
};

void install(QWidget* target, LayoutFilter::Rule rule) {
    if (target == nullptr) return;
    recordAnchors(*target);
    new LayoutFilter(*target, rule);
}

} // namespace

void installPageLayouts(QMainWindow& window) {
    install(window.centralWidget(), layoutMainPanel);
    install(control<QWidget>(&window, "assemblerPage"), layoutAssemblerPage);
    install(control<QWidget>(&window, "debuggerPage"), layoutDebuggerPage);
    install(control<QWidget>(&window, "downloadPage"), layoutDownloadPage);
}

void layoutMainPanel(QWidget& panel) {
    const int w = panel.width(), h = panel.height();
    if (auto* tabs = control<QTabWidget>(&panel, "mainTabs"))
        tabs->setGeometry(tabs->x(), tabs->y(), w - tabs->x(), h - tabs->y());
    auto* exit = control<QWidget>(&panel, "exitButton");
    if (exit == nullptr) return;
    exit->move(w - exit->width() - exit_button_margin, h - exit->height() - exit_button_margin);
    if (auto* beta = control<QWidget>(&panel, "betaText"))
        beta->move(exit->x() - beta->width() - 8,
                   exit->y() + (exit->height() - beta->height()) / 2);
    exit->raise();
}

void layoutAssemblerPage(QWidget& page) {
    const int w = page.width(), h = page.height();
    auto* messages = control<QWidget>(&page, "asmMessages");
    const int m = messages ? messages->height() : 0;
    setRect(messages, 5, h - m, w - 10, m);
    place(control<QWidget>(&page, "asmMessagesLabel"), 5, h - m - 19);
    if (auto* current = control<QWidget>(&page, "currentFileText"))
        setRect(current, 5, h - m - 40, w - 220, current->height());
    place(control<QWidget>(&page, "opcodeHelpText"), w - 127, h - m - 30);
    place(control<QWidget>(&page, "compileButton"), w - 200, h - m - 35);
    setRect(control<QWidget>(&page, "editorTabs"), 0, 0, w, h - m - 47);
}

void layoutDebuggerPage(QWidget& page) {
    const int w = page.width(), h = page.height();
    applyAnchors(page);
    setRect(control<QWidget>(&page, "listingTabs"), 0, 0, w, h - 320);
    if (auto* hex = control<QWidget>(&page, "dbgHexView")) hex->resize(w - 30, hex->height());
}

void layoutDownloadPage(QWidget& page) {
    const int w = page.width(), h = page.height();
    applyAnchors(page);
    auto* messages = control<QWidget>(&page, "downloadMessages");
    const int m = messages ? messages->height() : 0;
    if (messages) setRect(messages, messages->x(), h - m - 20, w - 266, m);
    if (auto* hex = control<QWidget>(&page, "hexView"))
        setRect(hex, hex->x(), hex->y(), w - 30, h - m - 150);
    place(control<QWidget>(&page, "userEepromTable"), w - 226, h - 230);
    place(control<QWidget>(&page, "eepromLabel"), w - 186, h - 270);
    place(control<QWidget>(&page, "eepromRangeLabel"), w - 181, h - 250);
    place(control<QWidget>(&page, "statusLamp"), w - 186, h - 320);
    place(control<QWidget>(&page, "statusText"), w - 156, h - 317);
    place(control<QWidget>(&page, "noEepromText"), w - 186, h - 170);

    auto* select = control<QWidget>(&page, "selectHexButton");
    auto* info = control<QWidget>(&page, "getDevInfoButton");
    auto* reset = control<QWidget>(&page, "resetInterfaceButton");
    auto* protect = control<QWidget>(&page, "readProtect");
    if (!select || !info || !reset || !protect) return;
    if (w > wide_download_page) {
        reset->move(select->x() + 150, info->y());
        protect->move(select->x() + 150, protect->y());
    } else {
        reset->move(select->x(), info->y() + 40);
        protect->move(select->x() - 100, protect->y());
    }
}

} // namespace ide
