// Tools/Settings: the Settings dialog with Apply and Cancel.
#pragma once

namespace ide {

// Opens the dialog (once; a second call while it is open does nothing).
void mToolsSettings();
// The dialog's buttons.
void cbSettingsApply();
void cbSettingsCancel();

} // namespace ide
