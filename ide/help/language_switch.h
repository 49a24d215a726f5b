// Tools/Languages/English (F11) and Tools/Languages/Chinese (F12): the main window is loaded
// again in the chosen language. Unsaved edits are asked about first (Save, Discard, Cancel,
// as quitting asks), and the new window opens the files the old one had open, with the same
// main-file mark and the same tab in front, in the old window's place.
#pragma once

class QMainWindow;

namespace ide {

class Application;
class MainWindow;

// Error popup when the new main window cannot be loaded; the quit sequence follows.
inline constexpr int new_panel_failed_code = 21;
// Warning popup when the Chinese texts cannot be applied.
inline constexpr int chinese_failed_code = 22;

// Switches to `language` (0 English, 1 Chinese). Nothing happens when the IDE already shows
// it or the user cancels a question about unsaved edits.
void switchLanguage(Application& app, int language);

// Saves the settings and replaces the main window by a new one in the current language,
// with one empty editor tab; the old window goes once the event loop runs again. The new
// window, or null (after popup 21 and the quit sequence) when it cannot be loaded.
MainWindow* mResolution1024(Application& app);

} // namespace ide
