#pragma once
// The client side of the DDE management library, call for call.

#include <cstdint>
#include <string>

namespace vt2 {

class DdeClient {
public:
    using Handle = std::uintptr_t;  // 0: none, or the call failed

    virtual ~DdeClient() = default;
    // An instance whose callback answers every transaction with 0.
    virtual Handle initialize(std::uint32_t flags) = 0;
    virtual Handle createStringHandle(Handle instance, const std::string& text, int codePage) = 0;
    virtual void freeStringHandle(Handle instance, Handle string) = 0;
    virtual Handle connect(Handle instance, Handle service, Handle topic) = 0;
    // A data handle over length bytes of data: no item, format 0, flags 0.
    virtual Handle createDataHandle(Handle instance, const std::uint8_t* data, std::uint32_t length) = 0;
    // One transaction with a data handle; false when it failed or timed out.
    virtual bool clientTransaction(Handle data, Handle conversation, std::uint32_t type,
                                   std::uint32_t timeoutMs) = 0;
    virtual void disconnect(Handle conversation) = 0;
    virtual void uninitialize(Handle instance) = 0;
};

}  // namespace vt2
