// While a long operation runs inside a callback (a build, its waits): the window keeps being
// painted and the desktop sees it answering, but the user cannot act in it. Clicks, keys,
// shortcuts and the window's close button are dropped, not kept for later, and the busy
// cursor shows. Windows that belong to no window (the popups) are not touched.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace ide {

class InputBlock : public QObject {
public:
    explicit InputBlock(QWidget& window);
    ~InputBlock() override;
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

    // Delivers what is pending: painting and the window system's events; input to the
    // blocked window is dropped.
    static void serve();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool insideWindow(QObject* object) const;

    QPointer<QWidget> window_;
};

} // namespace ide
