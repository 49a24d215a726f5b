#include "shell/lamp.h"

#include <QPainter>
#include <QRadialGradient>

Lamp::Lamp(QWidget* parent) : QWidget(parent) {}

void Lamp::setOn(bool on) {
    on_ = on;
    update();
}

void Lamp::setOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void Lamp::setOffColor(const QColor& color) {
    offColor_ = color;
    update();
}

void Lamp::setText(const QString& text) {
    text_ = text;
    update();
}

QSize Lamp::sizeHint() const {
    int h = fontMetrics().height() + 4;
    return {h + (text_.isEmpty() ? 0 : 6 + fontMetrics().horizontalAdvance(text_)), h};
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    int d = qMin(height(), text_.isEmpty() ? width() : height()) - 2;
    QRectF circle(1, (height() - d) / 2.0, d, d);
    QColor colour = on_ ? onColor_ : offColor_;
    QRadialGradient shine(circle.center() - QPointF(d / 5.0, d / 5.0), d * 0.75);
    shine.setColorAt(0, colour.lighter(135));
    shine.setColorAt(1, colour.darker(112));
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(shine);
    p.drawEllipse(circle);
    if (!text_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRectF(d + 7, 0, width() - d - 7, height()), Qt::AlignVCenter | Qt::AlignLeft,
                   text_);
    }
}
