#include "programs/vt2/console_text.h"

#include <windows.h>

#include "adapters/win32/unique_handle.h"

void WriteToConsole(const std::string& text) {
    DWORD written = 0;
    const HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
    if (given != nullptr && given != INVALID_HANDLE_VALUE &&
        WriteFile(given, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started without a console: nowhere to print
    const vt2::win32::unique_file_handle console(CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (console) WriteFile(console.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FreeConsole();
}
