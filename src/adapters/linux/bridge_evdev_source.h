#pragma once
// The mice and guns of this machine, read through libevdev from their input event devices.

#include <memory>
#include <string>
#include <vector>

#include "adapters/linux/bridge_input_source.h"

struct libevdev;

namespace vt2::linux_input {

class EvdevSource : public InputSource {
public:
    // Nothing, and why, when the node cannot be read or is no mouse or gun (X/Y motion or
    // position, and a mouse or gun button).
    static std::unique_ptr<EvdevSource> Open(const std::string& node, std::string& why);
    ~EvdevSource() override;

    const bridge::SourceDevice& device() const override { return device_; }
    const std::string& node() const { return node_; }
    int descriptor() const override { return fd_; }
    std::optional<std::int64_t> nextDueMs(std::int64_t) const override { return std::nullopt; }
    bool read(std::int64_t nowMs, std::vector<bridge::InputEvent>& events) override;
    void startOver(std::int64_t) override {}

private:
    EvdevSource() = default;
    std::string node_;
    int fd_ = -1;
    libevdev* evdev_ = nullptr;
    bridge::SourceDevice device_;
};

// The input event nodes there are now (/dev/input/eventN).
std::vector<std::string> InputEventNodes();
// A node's stable name: its link in /dev/input/by-id/, else in by-path/, else the node itself.
std::string StablePathOf(const std::string& node);
// Its link in /dev/input/by-path, or none.
std::string ByPathOf(const std::string& node);

}  // namespace vt2::linux_input
