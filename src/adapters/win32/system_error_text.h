#pragma once

#include <windows.h>

#include <string>

namespace vt2::win32 {

// The system's own words for an error code, without the line break it ends them with.
inline std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 && text ? std::string(text, length) : "Error " + std::to_string(code) + ".";
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

}  // namespace vt2::win32
