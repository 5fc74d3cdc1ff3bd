#pragma once
// A small move-only owner of an operating-system handle.

#include <windows.h>

#include <utility>

namespace vt2::win32 {

template <typename Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() = default;
    explicit unique_handle(pointer value) : value_(value) {}
    ~unique_handle() { reset(); }

    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    pointer get() const { return value_; }
    explicit operator bool() const { return Traits::valid(value_); }

    pointer release() { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) {
        if (Traits::valid(value_)) Traits::close(value_);
        value_ = value;
    }

private:
    pointer value_ = Traits::invalid();
};

// Handles whose "none" is null (processes, threads, events).
struct KernelHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() { return nullptr; }
    static bool valid(pointer h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) { CloseHandle(h); }
};
using unique_kernel_handle = unique_handle<KernelHandleTraits>;

// Handles whose "none" is INVALID_HANDLE_VALUE (snapshots, files).
struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(pointer h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) { CloseHandle(h); }
};
using unique_file_handle = unique_handle<FileHandleTraits>;

struct WindowHandleTraits {
    using pointer = HWND;
    static pointer invalid() { return nullptr; }
    static bool valid(pointer h) { return h != nullptr; }
    static void close(pointer h) { DestroyWindow(h); }
};
using unique_window = unique_handle<WindowHandleTraits>;

struct MenuHandleTraits {
    using pointer = HMENU;
    static pointer invalid() { return nullptr; }
    static bool valid(pointer h) { return h != nullptr; }
    static void close(pointer h) { DestroyMenu(h); }
};
using unique_menu = unique_handle<MenuHandleTraits>;

struct IconHandleTraits {
    using pointer = HICON;
    static pointer invalid() { return nullptr; }
    static bool valid(pointer h) { return h != nullptr; }
    static void close(pointer h) { DestroyIcon(h); }
};
using unique_icon = unique_handle<IconHandleTraits>;

}  // namespace vt2::win32
