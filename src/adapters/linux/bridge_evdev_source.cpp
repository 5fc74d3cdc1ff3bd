#include "adapters/linux/bridge_evdev_source.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vt2::linux_input {

namespace fs = std::filesystem;

std::unique_ptr<EvdevSource> EvdevSource::Open(const std::string& node, std::string& why) {
    auto source = std::unique_ptr<EvdevSource>(new EvdevSource());
    source->node_ = node;
    source->fd_ = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source->fd_ < 0) {
        why = node + ": " + std::strerror(errno);
        return nullptr;
    }
    if (libevdev_new_from_fd(source->fd_, &source->evdev_) != 0) {
        why = node + ": not an input event device";
        return nullptr;
    }
    libevdev* d = source->evdev_;
    bridge::SourceDevice& device = source->device_;
    device.name = libevdev_get_name(d) ? libevdev_get_name(d) : "";
    device.vendor = static_cast<std::uint16_t>(libevdev_get_id_vendor(d));
    device.product = static_cast<std::uint16_t>(libevdev_get_id_product(d));
    device.path = StablePathOf(node);
    // Two guns alike (no serials) share their by-id link: the by-path one and the node tell them apart.
    for (const std::string& name : {ByPathOf(node), node}) {
        if (!name.empty() && name != device.path &&
            std::find(device.alsoKnownAs.begin(), device.alsoKnownAs.end(), name) == device.alsoKnownAs.end()) {
            device.alsoKnownAs.push_back(name);
        }
    }
    device.relative = libevdev_has_event_code(d, EV_REL, REL_X) && libevdev_has_event_code(d, EV_REL, REL_Y);
    device.absolute = libevdev_has_event_code(d, EV_ABS, ABS_X) && libevdev_has_event_code(d, EV_ABS, ABS_Y);
    if (device.absolute) {
        const input_absinfo* x = libevdev_get_abs_info(d, ABS_X);
        const input_absinfo* y = libevdev_get_abs_info(d, ABS_Y);
        device.x = {x->minimum, x->maximum};
        device.y = {y->minimum, y->maximum};
        if (x->minimum >= x->maximum || y->minimum >= y->maximum) device.absolute = false;
    }
    bool button = false;
    for (std::uint16_t code : {bridge::kBtnLeft, bridge::kBtnRight, bridge::kBtnMiddle, bridge::kBtnSide,
                               bridge::kBtnExtra, bridge::kBtnTrigger, bridge::kBtnThumb}) {
        button = button || libevdev_has_event_code(d, EV_KEY, code);
    }
    if (!(device.relative || device.absolute) || !button) {
        why = node + " (" + device.name + "): no mouse or gun";
        return nullptr;
    }
    return source;
}

EvdevSource::~EvdevSource() {
    if (evdev_) libevdev_free(evdev_);
    if (fd_ >= 0) close(fd_);
}

bool EvdevSource::read(std::int64_t, std::vector<bridge::InputEvent>& events) {
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        input_event e{};
        const int status = libevdev_next_event(evdev_, flags, &e);
        if (status == LIBEVDEV_READ_STATUS_SUCCESS || status == LIBEVDEV_READ_STATUS_SYNC) {
            events.push_back({e.type, e.code, e.value});
            // After SYN_DROPPED, libevdev hands the events that bring its state up to date.
            if (status == LIBEVDEV_READ_STATUS_SYNC) flags = LIBEVDEV_READ_FLAG_SYNC;
            continue;
        }
        if (status == -EAGAIN) {
            if (flags == LIBEVDEV_READ_FLAG_SYNC) {
                flags = LIBEVDEV_READ_FLAG_NORMAL;
                continue;
            }
            return true;
        }
        return status != -ENODEV;  // unplugged; any other error is passing
    }
}

std::vector<std::string> InputEventNodes() {
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/dev/input", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("event", 0) == 0) nodes.push_back(entry.path().string());
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

namespace {
// The first link (by name) in folder to the node, or none.
std::string LinkIn(const char* folder, const std::string& node) {
    std::error_code error;
    std::vector<std::string> links;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code ignored;
        if (fs::equivalent(entry.path(), node, ignored)) links.push_back(entry.path().string());
    }
    std::sort(links.begin(), links.end());
    return links.empty() ? std::string() : links.front();
}
}  // namespace

std::string StablePathOf(const std::string& node) {
    for (const char* folder : {"/dev/input/by-id", "/dev/input/by-path"}) {
        const std::string link = LinkIn(folder, node);
        if (!link.empty()) return link;
    }
    return node;
}

std::string ByPathOf(const std::string& node) { return LinkIn("/dev/input/by-path", node); }

}  // namespace vt2::linux_input
