#include "adapters/linux/bridge_udev_monitor.h"

#include <libudev.h>

#include <cstring>

namespace vt2::linux_input {

std::unique_ptr<UdevMonitor> UdevMonitor::Open(std::string& why) {
    auto monitor = std::unique_ptr<UdevMonitor>(new UdevMonitor());
    monitor->udev_ = udev_new();
    if (!monitor->udev_) {
        why = "udev cannot be used";
        return nullptr;
    }
    // "udev": the events after udev's rules ran, not the kernel's own (which come before the
    // device node may be read).
    monitor->monitor_ = udev_monitor_new_from_netlink(monitor->udev_, "udev");
    if (!monitor->monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor->monitor_, "input", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor->monitor_) < 0) {
        why = "udev's announcements cannot be listened to";
        return nullptr;
    }
    return monitor;
}

UdevMonitor::~UdevMonitor() {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

int UdevMonitor::descriptor() const { return udev_monitor_get_fd(monitor_); }

std::vector<std::string> UdevMonitor::takeAdded() {
    std::vector<std::string> nodes;
    // The monitor's socket does not block: nothing more is there when no device comes.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action && node && std::strcmp(action, "add") == 0 && std::strncmp(node, "/dev/input/event", 16) == 0) {
            nodes.emplace_back(node);
        }
        udev_device_unref(device);
    }
    return nodes;
}

}  // namespace vt2::linux_input
