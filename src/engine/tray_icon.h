#pragma once

namespace vt2 {

class MainWindowView;

// Adds the tray icon, then minimises (and so hides) the main window.
void CreateIcon(MainWindowView& window);
// Deletes the tray icon, then minimises the main window.
void killIcon(MainWindowView& window);

// What a mouse event on the tray icon asks of the main window.
enum class TrayAction { None, BringToForeground, ShowWindow, OpenMenu };
TrayAction TrayActionForMouseMessage(int mouseMessage);

}  // namespace vt2
