#include "shell/page_layout.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace ide {
namespace {

void recordAnchors(QWidget& page) {
    QSize design = page.property("designSize").toSize();
    for (QWidget* child : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QString anchor = child->property("anchor").toString();
        if (anchor.isEmpty()) continue;
        child->setProperty("bottomOffset", design.height() - child->y());
        if (anchor == "bottomRight") child->setProperty("rightOffset", design.width() - child->x());
    }
}

class LayoutFilter : public QObject {
public:
    LayoutFilter(QWidget& target, std::function<void()> rule)
        : QObject(&target), rule_(std::move(rule)) {
        target.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) rule_();
        return false;
    }

private:
    std::function<void()> rule_;
};

} // namespace

void installLayout(QWidget& target, std::function<void()> rule) {
    recordAnchors(target);
    new LayoutFilter(target, std::move(rule));
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

} // namespace ide
