#include "settings_dialog.h"

#include "editor_tabs.h"
#include "localization.h"
#include "main_window.h"
#include "panel_loader.h"
#include "popups.h"
#include "quit.h"
#include "settings.h"
#include "shell_state.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
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

QWidget* dialog() {
    return shell().settingsPanel;
}

void showControls() {
    Settings& s = settings();
    for (const Check& c : checks)
        if (auto* box = control<QCheckBox>(dialog(), c.name); box && s.*c.field == 1)
            box->setChecked(true);
    if (auto* address = control<QSpinBox>(dialog(), "iicAddress")) address->setValue(s.iicAddress);
}

void readControls() {
    Settings& s = settings();
    for (const Check& c : checks)
        if (auto* box = control<QCheckBox>(dialog(), c.name)) s.*c.field = box->isChecked() ? 1 : 0;
    if (auto* address = control<QSpinBox>(dialog(), "iicAddress")) s.iicAddress = address->value();
}

void closeDialog() {
    if (QWidget* d = dialog()) {
        shell().settingsPanel = nullptr;
        d->close();
        d->deleteLater();
    }
}

void applyMaximization() {
    QMainWindow* window = shell().mainPanel;
    if (window == nullptr) return;
    const bool allowed = settings().allowMaximization == 1;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, allowed);
    if (visible && !window->isVisible()) window->show(); // new window flags hide a window
    if (!allowed && settings().windowStatus == 1) {
        settings().windowStatus = 0;
        if (window->isMaximized()) window->showNormal();
        saveSettings(settingsPath().toStdString()); // the file tells the window's state
    }
}

} // namespace

void mToolsSettings() {
    if (dialog()) return;
    PanelResult loaded = loadPanel("toolssettings", shell().mainPanel);
    if (loaded.panel == nullptr) {
        showErrorPopup("Loading settings panel failed!\nPlease restart application", 170,
                       loaded.status, loaded.error);
        return;
    }
    QWidget* panel = loaded.panel;
    panel->setWindowFlag(Qt::Dialog);
    shell().settingsPanel = panel;
    if (settings().language == 1 && !localizePanel(*panel, "chinese/toolssettings.lwl"))
        showWarningPopup("Loading chinese coding failed!", 22);
    showControls();
    if (auto* apply = control<QPushButton>(panel, "applyButton"))
        QObject::connect(apply, &QPushButton::clicked, apply, cbSettingsApply);
    if (auto* cancel = control<QPushButton>(panel, "cancelButton"))
        QObject::connect(cancel, &QPushButton::clicked, cancel, cbSettingsCancel);
    if (auto* d = qobject_cast<QDialog*>(panel))
        QObject::connect(d, &QDialog::rejected, d, cbSettingsCancel);
    panel->show();
}

void cbSettingsApply() {
    if (dialog() == nullptr) return;
    readControls();
    const std::string path = settingsPath().toStdString();
    saveSettings(path);
    closeDialog();
    // The quit sequence deletes settings.ini at its end; restoring the defaults afterwards
    // would write it again and undo the clearing.
    const bool cleared = settings().clearAll == 1 && Quit();
    if (settings().restoreDefaults == 1 && !cleared) writeDefaultSettings(path);
    loadSettings(path);
    applyMaximization();
    setTooltips();
    for (int tab = 0; tab < editorTabCount(); ++tab)
        applyEditorSettings(tab);
    showMessagePopup("info", settings().useIic == 1
                                 ? "Please remember to set switch on EVAL board to IIC !"
                                 : "Please remember to set switch on EVAL board to SPI !");
}

void cbSettingsCancel() {
    closeDialog();
}

} // namespace ide
