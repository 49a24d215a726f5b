#include "help/about_box.h"

#include "app/application.h"
#include "shell/localization.h"
#include "shell/panel_loader.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>

namespace ide {
namespace {

constexpr qsizetype max_version_chars = 255;
constexpr int logo_size = 48;

} // namespace

QString installerVersion() {
    QSettings installation(QSettings::NativeFormat, QSettings::SystemScope, "KZ71 Assembler");
    const QVariant value = installation.value("InstallerVersion");
    if (value.typeId() != QMetaType::QString) return {};
    QString version = value.toString();
    version.truncate(version.indexOf('\n') < 0 ? version.size() : version.indexOf('\n'));
    return version.trimmed().left(max_version_chars);
}

AboutBox::AboutBox(Application& app, QWidget* panel) : QObject(panel), app_(app), panel_(panel) {}

AboutBox* AboutBox::current(Application& app) {
    QWidget* panel = app.shell().aboutPanel;
    return panel ? panel->findChild<AboutBox*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void AboutBox::mHelpAbout(Application& app) {
    if (QWidget* open = app.shell().aboutPanel) {
        open->raise();
        open->activateWindow();
        return;
    }
    const QString version = installerVersion();
    PanelResult loaded = loadPanel(app.paths(), "about", app.shell().mainPanel);
    auto* box = loaded.panel ? new AboutBox(app, loaded.panel) : nullptr;
    if (box) {
        WidgetBinder binder(*loaded.panel, "about");
        box->logo_ = binder.bind<QLabel>("logo");
        box->versionText_ = binder.bind<QLabel>("versionText");
        box->okButton_ = binder.bind<QPushButton>("okButton");
        if (!binder.complete()) {
            loaded = binder.failure();
            delete box->panel_;
            box = nullptr;
        }
    }
    if (box == nullptr) {
        app.popups().showErrorPopup("Loading about panel failed!", about_panel_failed_code,
                                    loaded.status, loaded.error);
        return;
    }
    QWidget* panel = box->panel_;
    panel->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    if (app.settings()->language == 1)
        localizePanel(*panel, app.paths().dataFile("chinese/about.lwl")); // English otherwise
    if (!version.isEmpty()) box->versionText_->setText(version);
    box->showLogo(vendor_logo);
    connect(box->okButton_, &QPushButton::clicked, box, &AboutBox::exitAbout);
    if (auto* dialog = qobject_cast<QDialog*>(panel))
        connect(dialog, &QDialog::rejected, box, &AboutBox::exitAbout);
    box->okButton_->installEventFilter(box);
    app.shell().aboutPanel = panel;
    panel->show();
    box->okButton_->setFocus();
}

void AboutBox::exitAbout() {
    if (app_.shell().aboutPanel == panel_) app_.shell().aboutPanel = nullptr;
    panel_->hide();
    panel_->deleteLater(); // this controller goes with it
}

void AboutBox::showLogo(const QString& file) {
    logoFile_ = file;
    QPixmap picture(app_.paths().dataDir + "/" + file);
    if (!picture.isNull())
        picture =
            picture.scaled(logo_size, logo_size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    logo_->setPixmap(picture);
}

void AboutBox::switchLogo() {
    showLogo(logoFile_ == wink_logo ? vendor_logo : wink_logo);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == okButton_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            switchLogo();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ide
