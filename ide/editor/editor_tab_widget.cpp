#include "editor/editor_tab_widget.h"

#include <QStyleOptionTab>
#include <QStylePainter>

MarkedTabBar::MarkedTabBar(QWidget* parent) : QTabBar(parent) {}

bool MarkedTabBar::isMarked(int index) const {
    return tabData(index).toBool();
}

void MarkedTabBar::setMarked(int index, bool marked) {
    if (index < 0 || index >= count() || isMarked(index) == marked) return;
    setTabData(index, marked);
    // The bold label is wider: let the bar lay out its tabs again.
    setTabText(index, tabText(index));
    update();
}

QSize MarkedTabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    if (isMarked(index)) {
        QFont bold = font();
        bold.setBold(true);
        size.rwidth() += QFontMetrics(bold).horizontalAdvance(tabText(index)) -
                         fontMetrics().horizontalAdvance(tabText(index));
    }
    return size;
}

void MarkedTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    auto paintTab = [&](int i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        QFont f = font();
        f.setBold(isMarked(i));
        painter.setFont(f);
        option.fontMetrics = QFontMetrics(f);
        painter.drawControl(QStyle::CE_TabBarTabLabel, option);
    };
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex()) paintTab(i);
    if (currentIndex() >= 0) paintTab(currentIndex()); // the current tab overlaps its neighbours
}

EditorTabWidget::EditorTabWidget(QWidget* parent)
    : QTabWidget(parent), bar_(new MarkedTabBar(this)) {
    setTabBar(bar_);
}
