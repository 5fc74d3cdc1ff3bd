#include "adapters/win32/win32_dde_client.h"

#include <windows.h>
#include <ddeml.h>

namespace vt2::win32 {

namespace {

HDDEDATA CALLBACK AnswerNothing(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

DWORD Instance(DdeClient::Handle instance) { return static_cast<DWORD>(instance); }
template <typename T>
T As(DdeClient::Handle handle) {
    return reinterpret_cast<T>(handle);
}
template <typename T>
DdeClient::Handle From(T handle) {
    return reinterpret_cast<DdeClient::Handle>(handle);
}

}  // namespace

DdeClient::Handle Win32DdeClient::initialize(std::uint32_t flags) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, AnswerNothing, flags, 0) != DMLERR_NO_ERROR) return 0;
    return instance;
}

DdeClient::Handle Win32DdeClient::createStringHandle(Handle instance, const std::string& text, int codePage) {
    return From(DdeCreateStringHandleA(Instance(instance), text.c_str(), codePage));
}

void Win32DdeClient::freeStringHandle(Handle instance, Handle string) {
    DdeFreeStringHandle(Instance(instance), As<HSZ>(string));
}

DdeClient::Handle Win32DdeClient::connect(Handle instance, Handle service, Handle topic) {
    return From(DdeConnect(Instance(instance), As<HSZ>(service), As<HSZ>(topic), nullptr));
}

DdeClient::Handle Win32DdeClient::createDataHandle(Handle instance, const std::uint8_t* data, std::uint32_t length) {
    return From(DdeCreateDataHandle(Instance(instance), const_cast<LPBYTE>(data), length, 0, nullptr, 0, 0));
}

bool Win32DdeClient::clientTransaction(Handle data, Handle conversation, std::uint32_t type,
                                       std::uint32_t timeoutMs) {
    DWORD result = 0;
    return DdeClientTransaction(As<LPBYTE>(data), 0xFFFFFFFF, As<HCONV>(conversation), nullptr, 0, type, timeoutMs,
                                &result) != nullptr;
}

void Win32DdeClient::disconnect(Handle conversation) { DdeDisconnect(As<HCONV>(conversation)); }

void Win32DdeClient::uninitialize(Handle instance) { DdeUninitialize(Instance(instance)); }

}  // namespace vt2::win32
