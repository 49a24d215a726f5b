// Tools/Settings: the Settings dialog with Apply and Cancel. The dialog only reads and writes
// the settings object; whoever acts on a setting listens to its change signal.
#pragma once

#include <QObject>

class QCheckBox;
class QPushButton;
class QSpinBox;
class QWidget;

namespace ide {

class Application;

class SettingsDialog : public QObject {
    Q_OBJECT
public:
    // Opens the dialog (once; a second call while it is open does nothing). When the panel
    // cannot be loaded or lacks a control: error popup 170.
    static void mToolsSettings(Application& app);
    // The dialog that is open, or null.
    static SettingsDialog* current(Application& app);

    void cbSettingsApply();
    void cbSettingsCancel();

    QWidget& panel() { return *panel_; }

private:
    SettingsDialog(Application& app, QWidget* panel);
    void showControls();
    void readControls();
    void close();

    Application& app_;
    QWidget* panel_;
    QCheckBox* checks_[16] = {};
    QSpinBox* iicAddress_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace ide
