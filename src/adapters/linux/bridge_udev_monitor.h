#pragma once
// Input devices plugged in while the bridge runs, as udev announces them: the bridge opens a new
// gun when it is ready to be read (udev has made its by-id link and given the user access).

#include <memory>
#include <string>
#include <vector>

struct udev;
struct udev_monitor;

namespace vt2::linux_input {

class UdevMonitor {
public:
    // Nothing, and why, where udev cannot be listened to (a container without udev): the bridge
    // then looks in /dev/input every second instead.
    static std::unique_ptr<UdevMonitor> Open(std::string& why);
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    int descriptor() const;
    // The event nodes (/dev/input/eventN) udev added since the last call. A device that goes is
    // seen by its own reads, which fail.
    std::vector<std::string> takeAdded();

private:
    UdevMonitor() = default;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

}  // namespace vt2::linux_input
