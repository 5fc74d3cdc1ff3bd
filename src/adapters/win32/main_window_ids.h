#pragma once
// Names and numbers of the main window that other programs (the test drivers) rely on.

namespace vt2::win32 {

inline constexpr const char* kMainWindowClass = "VT2Form1";
inline constexpr const char* kMainWindowCaption = "Vantor 2";
inline constexpr const char* kConfigWindowClass = "VT2frmConfig";
inline constexpr const char* kConfigWindowCaption = "Vantor 2 Configuration";

// Control ids of the labels.
inline constexpr int kIdStatusLabel = 101;
inline constexpr int kIdPlayer1Label = 102;
inline constexpr int kIdPlayer2Label = 103;
inline constexpr int kIdOutputsLabel = 104;
inline constexpr int kIdNotesLabel = 105;

// Command ids of the tray menu's items, as sent with WM_COMMAND.
inline constexpr int kIdMenuShowDebug = 1001;
inline constexpr int kIdMenuExit = 1002;

// Queries a measuring tool may send to the main window: the answer is the result of SendMessage,
// the low 32 bits of the count.
inline constexpr unsigned kQueryPassCount = 0x8000 + 1;          // WM_APP + 1: passes of the main loop
inline constexpr unsigned kQueryMemoryWriteCount = 0x8000 + 2;   // WM_APP + 2: writes into the game

inline constexpr unsigned kGameStartTimerId = 1;
inline constexpr unsigned kTrayIconId = 1;

}  // namespace vt2::win32
