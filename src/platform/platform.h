#pragma once
// Everything the portable core needs from the operating system, one interface per concern.

#include "platform/clock.h"
#include "platform/dde_client.h"
#include "platform/feedback_ports.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/joystick_system.h"
#include "platform/keyboard_state.h"
#include "platform/loop_pacer.h"
#include "platform/main_window_view.h"
#include "platform/message_boxes.h"
#include "platform/message_pump.h"
#include "platform/module_list.h"
#include "platform/numeric_output_servers.h"
#include "platform/output_link.h"
#include "platform/process_exit.h"
#include "platform/process_memory.h"
#include "platform/process_threads.h"
#include "platform/program_launcher.h"
#include "platform/raw_input.h"
#include "platform/run_locks.h"
#include "platform/synthetic_input.h"
#include "platform/user_locale.h"
#include "platform/window_system.h"

namespace vt2 {

struct Platform {
    IniFiles& ini;
    FileSystem& files;
    WindowSystem& windows;
    ProgramLauncher& launcher;
    Clock& clock;
    MessagePump& messages;
    ProcessExit& process;
    ProcessMemory& memory;
    ModuleList& modules;
    ProcessThreads& threads;
    MainWindowView& mainWindow;
    MessageBoxes& messageBoxes;
    KeyboardState& keyboard;
    RawInputSystem& rawInput;
    JoystickSystem& joysticks;
    SyntheticInput& input;
    UserLocale& locale;
    OutputLink& outputs;  // the DDE output server
    RunLocks& runLocks;
    NumericOutputs& numericOutputs;  // the network and window-message output servers
    LoopPacer& pacer;
    FeedbackPorts& feedbackPorts;  // the players' guns' serial ports and recoil servers
};

}  // namespace vt2
