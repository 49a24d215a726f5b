#include "shell/not_supported_window.h"

#include "app/application.h"
#include "app/quit.h"
#include "shell/panel_loader.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace ide {

NotSupportedWindow::NotSupportedWindow(Application& app, QWidget* panel)
    : app_(app), panel_(panel) {}

NotSupportedWindow::~NotSupportedWindow() {
    delete panel_;
}

std::unique_ptr<NotSupportedWindow> NotSupportedWindow::load(Application& app,
                                                             PanelResult& failure) {
    PanelResult loaded = loadPanel(app.paths(), "notsupported");
    if (loaded.panel == nullptr) {
        failure = loaded;
        return nullptr;
    }
    std::unique_ptr<NotSupportedWindow> window(new NotSupportedWindow(app, loaded.panel));
    WidgetBinder binder(*loaded.panel, "notsupported");
    window->exitButton_ = binder.bind<QPushButton>("exitButton");
    window->text_ = binder.bind<QLabel>("notSupportedText");
    if (!binder.complete()) {
        failure = binder.failure();
        return nullptr;
    }
    connect(window->exitButton_, &QPushButton::clicked, window.get(), [&app] { Quit(app); });
    window->exitButton_->installEventFilter(window.get());
    window->panel_->installEventFilter(window.get());
    app.shell().notSupportedPanel = window->panel_;
    return window;
}

bool NotSupportedWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == exitButton_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        app_.quitUserInterface();
        return true;
    }
    if (watched == panel_ && event->type() == QEvent::Close && !app_.quitRequested()) {
        Quit(app_); // the title bar's close records the resolution as Exit does
        return false;
    }
    return false;
}

} // namespace ide
