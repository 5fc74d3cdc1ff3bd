#pragma once

#include "platform/dde_client.h"

namespace vt2::win32 {

// The DDE management library of user32, in its ANSI form.
class Win32DdeClient final : public DdeClient {
public:
    Handle initialize(std::uint32_t flags) override;
    Handle createStringHandle(Handle instance, const std::string& text, int codePage) override;
    void freeStringHandle(Handle instance, Handle string) override;
    Handle connect(Handle instance, Handle service, Handle topic) override;
    Handle createDataHandle(Handle instance, const std::uint8_t* data, std::uint32_t length) override;
    bool clientTransaction(Handle data, Handle conversation, std::uint32_t type, std::uint32_t timeoutMs) override;
    void disconnect(Handle conversation) override;
    void uninitialize(Handle instance) override;
};

}  // namespace vt2::win32
