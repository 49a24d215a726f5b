// The window shown instead of the main window on screens narrower than 800 pixels: the text
// "This resolution ist not supported." and an Exit button that runs the quit sequence. A
// right press on Exit ends at once, as on the main window; closing the window by its title
// bar runs the quit sequence as Exit does.
#pragma once

#include <QObject>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace ide {

class Application;
struct PanelResult;

class NotSupportedWindow : public QObject {
public:
    // Loads "notsupported" and binds it; null (and `failure` says why) when that fails.
    static std::unique_ptr<NotSupportedWindow> load(Application& app, PanelResult& failure);
    ~NotSupportedWindow() override;

    QWidget& panel() { return *panel_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NotSupportedWindow(Application& app, QWidget* panel);

    Application& app_;
    QWidget* panel_;
    QPushButton* exitButton_ = nullptr;
    QLabel* text_ = nullptr;
};

} // namespace ide
