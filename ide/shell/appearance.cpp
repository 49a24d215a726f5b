#include "shell/appearance.h"

#include "shell/lamp.h"

#include <QPushButton>

namespace ide {

void colourButton(QPushButton& button, const QColor& colour, QSize size) {
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, colour);
    button.setPalette(palette);
    if (size.isValid()) button.resize(size);
}

void setLampColours(Lamp& lamp, const QColor& on, const QColor& off) {
    lamp.setOnColor(on);
    lamp.setOffColor(off);
}

void fitTexts(const std::vector<QPushButton*>& buttons) {
    if (buttons.empty()) return;
    QFont font = buttons.front()->font();
    qreal size = QFontInfo(font).pointSizeF();
    auto tooWide = [&] {
        for (QPushButton* b : buttons)
            if (QFontMetrics(font).horizontalAdvance(b->text()) > b->width() - 12) return true;
        return false;
    };
    while (tooWide() && size > 6)
        font.setPointSizeF(size -= 0.5);
    for (QPushButton* b : buttons)
        b->setFont(font);
}

} // namespace ide
