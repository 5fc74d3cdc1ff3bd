#pragma once
// Raw input: the mice told apart by their device handles, their reports delivered to the
// main window's thread.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt2 {

inline constexpr std::uint32_t kRawInputTypeMouse = 0;

struct RawInputDevice {
    std::uint32_t handle = 0;
    std::uint32_t type = 0;   // 0 mouse, 1 keyboard, 2 other
    std::string path;         // the device's interface path; empty when the system gives none
    std::string productName;  // the HID product string; empty when the device gives none
    // Ids the device gave itself (a Linux bridge's devices); else they are read from the path.
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
};

// A mouse's raw input record.
struct RawMouseReport {
    std::uint32_t type = kRawInputTypeMouse;
    std::uint32_t device = 0;
    std::uint16_t flags = 0;           // bit 0: absolute motion; bit 1: across the virtual desktop
    std::uint32_t buttons = 0;         // transition flags in the low half, button data in the high half
    std::uint32_t rawButtons = 0;
    std::int32_t lastX = 0;
    std::int32_t lastY = 0;
    std::uint32_t extraInformation = 0;  // what the program that made the input put there, if any
};

class RawMouseReportSink {
public:
    virtual ~RawMouseReportSink() = default;
    virtual void onMouseReport(const RawMouseReport& report) = 0;
    // A mouse attached while reports come (the Linux input bridge's guns: raw input's own list is
    // read once).
    virtual void onMouseAttached(const RawInputDevice&) {}
};

class RawInputSystem {
public:
    virtual ~RawInputSystem() = default;
    // The raw input devices in the system's order, the mice with their paths and product names;
    // nothing when the count query fails.
    virtual std::optional<std::vector<RawInputDevice>> deviceList() = 0;
    // Registers the main window for the mice's reports, also while another program has the focus.
    virtual bool registerMice() = 0;
    // Replaces the main window's procedure, so that its mouse reports go to sink; other messages
    // (and non-mouse raw input) go on to the previous procedure.
    virtual void startReports(RawMouseReportSink& sink) = 0;
    // Puts the previous window procedure back; harmless when nothing was replaced.
    virtual void stopReports() = 0;
};

}  // namespace vt2
