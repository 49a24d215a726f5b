#include "settings/settings_dialog.h"

#include "app/application.h"
#include "app/quit.h"
#include "shell/localization.h"
#include "shell/panel_loader.h"

#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>

namespace ide {
namespace {

// The dialog's checkboxes, named after the fields they show.
struct Check {
    const char* name;
    int Settings::*field;
};
constexpr Check checks[] = {
    {"allowMaximization", &Settings::allowMaximization},
    {"showHints", &Settings::showHints},
    {"showTooltips", &Settings::showTooltips},
    {"suppressDebugBpMessages", &Settings::suppressDebugBpMessages},
    {"suppressDebugInfoRefreshing", &Settings::suppressDebugInfoRefreshing},
    {"enlargeDebugTimeout", &Settings::enlargeDebugTimeout},
    {"suppressProperFileDetection", &Settings::suppressProperFileDetection},
    {"suppressEofPopup", &Settings::suppressEofPopup},
    {"codepageDetection", &Settings::codepageDetection},
    {"useIic", &Settings::useIic},
    {"lineNumbering", &Settings::lineNumbering},
    {"syntaxHighlighting", &Settings::syntaxHighlighting},
    {"lineNumberingGray", &Settings::lineNumberingGray},
    {"multibyte", &Settings::multibyte},
    {"restoreDefaults", &Settings::restoreDefaults},
    {"clearAll", &Settings::clearAll},
};
static_assert(std::size(checks) == 16);

} // namespace

SettingsDialog::SettingsDialog(Application& app, QWidget* panel)
    : QObject(panel), app_(app), panel_(panel) {}

SettingsDialog* SettingsDialog::current(Application& app) {
    QWidget* panel = app.shell().settingsPanel;
    return panel ? panel->findChild<SettingsDialog*>(QString(), Qt::FindDirectChildrenOnly)
                 : nullptr;
}

void SettingsDialog::mToolsSettings(Application& app) {
    if (app.shell().settingsPanel) return;
    PanelResult loaded = loadPanel(app.paths(), "toolssettings", app.shell().mainPanel);
    auto* dialog = loaded.panel ? new SettingsDialog(app, loaded.panel) : nullptr;
    if (dialog) {
        WidgetBinder binder(*loaded.panel, "toolssettings");
        for (std::size_t i = 0; i < std::size(checks); ++i)
            dialog->checks_[i] = binder.bind<QCheckBox>(checks[i].name);
        dialog->iicAddress_ = binder.bind<QSpinBox>("iicAddress");
        dialog->applyButton_ = binder.bind<QPushButton>("applyButton");
        dialog->cancelButton_ = binder.bind<QPushButton>("cancelButton");
        if (!binder.complete()) {
            loaded = binder.failure();
            delete dialog->panel_;
            dialog = nullptr;
        }
    }
    if (dialog == nullptr) {
        app.popups().showErrorPopup("Loading settings panel failed!\nPlease restart application",
                                    170, loaded.status, loaded.error);
        return;
    }
    QWidget* panel = dialog->panel_;
    // A dialog of fixed size: a title bar with a close button, nothing to maximize.
    panel->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    app.shell().settingsPanel = panel;
    if (app.settings()->language == 1 &&
        !localizePanel(*panel, app.paths().dataFile("chinese/toolssettings.lwl")))
        app.popups().showWarningPopup("Loading chinese coding failed!", 22);
    dialog->showControls();
    connect(dialog->applyButton_, &QPushButton::clicked, dialog, &SettingsDialog::cbSettingsApply);
    connect(dialog->cancelButton_, &QPushButton::clicked, dialog,
            &SettingsDialog::cbSettingsCancel);
    if (auto* d = qobject_cast<QDialog*>(panel))
        connect(d, &QDialog::rejected, dialog, &SettingsDialog::cbSettingsCancel);
    panel->show();
}

void SettingsDialog::showControls() {
    const Settings& s = app_.settings().values();
    for (std::size_t i = 0; i < std::size(checks); ++i)
        if (s.*checks[i].field == 1) checks_[i]->setChecked(true);
    iicAddress_->setValue(s.iicAddress);
}

void SettingsDialog::readControls() {
    Settings next = app_.settings().values();
    for (std::size_t i = 0; i < std::size(checks); ++i)
        next.*checks[i].field = checks_[i]->isChecked() ? 1 : 0;
    next.iicAddress = iicAddress_->value();
    app_.settings().replace(next);
}

void SettingsDialog::close() {
    app_.shell().settingsPanel = nullptr;
    panel_->close();
    panel_->deleteLater(); // this controller goes with it
}

void SettingsDialog::cbSettingsApply() {
    Application& app = app_; // the dialog is gone after close()
    readControls();
    SettingsStore& settings = app.settings();
    saveSettingsOrTell(app);
    close();
    // The quit sequence deletes settings.ini at its end; restoring the defaults afterwards
    // would write it again and undo the clearing.
    const bool cleared = settings->clearAll == 1 && Quit(app);
    if (settings->restoreDefaults == 1 && !cleared && !settings.writeDefaultSettings())
        tellSettingsNotSaved(app);
    settings.loadSettings(); // every listener applies what it depends on
    app.popups().showMessagePopup(
        "info", settings->useIic == 1 ? "Please remember to set switch on EVAL board to IIC !"
                                      : "Please remember to set switch on EVAL board to SPI !");
}

void SettingsDialog::cbSettingsCancel() {
    close();
}

} // namespace ide
