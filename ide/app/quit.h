// The quit sequence of the Exit button, File/Exit and the toolbar's "Exit Application".
#pragma once

namespace ide {

class Application;

// Asks about every modified editor tab and about the project, saves the settings (telling the
// user when settings.ini cannot be written), carries out "Clear ALL settings", releases the
// editor languages and ends the event loop. Returns false when the user cancelled (the
// program keeps running).
bool Quit(Application& app);

// Error popup when settings.ini cannot be written.
inline constexpr int settings_not_saved_code = 172;
// Saves the settings; when the file cannot be written, says so with popup 172 naming it.
bool saveSettingsOrTell(Application& app);
void tellSettingsNotSaved(Application& app);

} // namespace ide
