// An indicator lamp with an optional label to its right, in the designed on/off colours.
#pragma once

#include <QColor>
#include <QWidget>

class Lamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
    Q_PROPERTY(QColor offColor READ offColor WRITE setOffColor)
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit Lamp(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    QColor onColor() const { return onColor_; }
    void setOnColor(const QColor& color);
    QColor offColor() const { return offColor_; }
    void setOffColor(const QColor& color);
    QString text() const { return text_; }
    void setText(const QString& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
    QColor onColor_{0x8D, 0xE9, 0x92};
    QColor offColor_{0xC0, 0xC0, 0xC0};
    QString text_;
};
