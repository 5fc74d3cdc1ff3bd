#pragma once
// The messages between the Linux input bridge and VT2 over the loopback interface: first a
// handshake in which each proves it knows the user's secret (challenge, proof, answer), then each
// mouse or gun the bridge reads (added and removed) and each of its reports. A message is an 8-byte header (the magic
// "VB", the version, the type, the payload's length, little-endian) and its payload. The reader
// takes nothing on trust: a message that does not parse, is longer than any real one, names a
// device it was not told of or comes out of order is dropped and counted.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/bridge_link.h"

namespace vt2 {

inline constexpr std::uint16_t kBridgeMagic = 0x4256;  // "VB" as it lies in the stream
inline constexpr std::uint8_t kBridgeVersion = 2;  // 2: the handshake
inline constexpr std::size_t kBridgeHeaderSize = 8;
// A device's name and path are short; no message comes near this.
inline constexpr std::size_t kBridgeMaxPayload = 1024;
inline constexpr std::size_t kBridgeMaxText = 255;
inline constexpr int kBridgeDefaultPort = 47812;

// The five mouse buttons as raw input numbers them: bit 0 left (a gun's trigger), 1 right,
// 2 middle, 3 side (X1), 4 extra (X2).
enum BridgeButton : std::uint8_t { kBridgeLeft = 1, kBridgeRight = 2, kBridgeMiddle = 4, kBridgeSide = 8, kBridgeExtra = 16 };
inline constexpr std::uint8_t kBridgeAllButtons = 31;

struct AxisRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    bool operator==(const AxisRange&) const = default;
};

struct BridgeDeviceAdded {
    std::uint32_t device = 0;  // the bridge's number for it, the same as long as the device stays
    std::string name;          // as the kernel gives it
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string path;          // its by-id or by-path link, else its event node
    bool relative = false;     // it moves by counts (REL_X/REL_Y)
    bool absolute = false;     // it says where it points (ABS_X/ABS_Y) within these ranges
    AxisRange x, y;
    bool operator==(const BridgeDeviceAdded&) const = default;
};

struct BridgeDeviceRemoved {
    std::uint32_t device = 0;
    bool operator==(const BridgeDeviceRemoved&) const = default;
};

// One frame of a device (its events up to SYN_REPORT).
struct BridgeReport {
    std::uint32_t device = 0;
    std::uint32_t sequence = 0;  // counts up from 1 for each device, over the connection
    std::int32_t dx = 0, dy = 0;  // relative counts
    bool hasPosition = false;     // an absolute device's position in this frame
    std::int32_t x = 0, y = 0;
    std::uint8_t buttons = 0;     // BridgeButton bits held at the frame's end
    bool operator==(const BridgeReport&) const = default;
};

// Sent once after the devices a new connection is told of first: the list is whole.
struct BridgeDevicesListed {
    bool operator==(const BridgeDevicesListed&) const = default;
};

// The handshake. Each side's nonce (BridgeNonce) is fresh for each connection, so a proof seen
// once proves nothing on another.
using BridgeMac = std::array<std::uint8_t, 32>;
// The bridge's first message to every connection.
struct BridgeChallenge {
    BridgeNonce nonce{};
    bool operator==(const BridgeChallenge&) const = default;
};
// VT2's reply: its own nonce and its MAC over both.
struct BridgeProof {
    BridgeNonce nonce{};
    BridgeMac mac{};
    bool operator==(const BridgeProof&) const = default;
};
// The bridge's, once the proof held: its own MAC over both, before any device.
struct BridgeAnswer {
    BridgeMac mac{};
    bool operator==(const BridgeAnswer&) const = default;
};

// The guns' serial ports, which VT2 under Wine may have the bridge open on the Linux side by their
// stable names (/dev/serial/by-id/...): VT2 names each by the COM number its files use.
struct BridgeSerialOpen {
    std::uint8_t port = 0;  // COM N, 1 to 255
    std::uint32_t baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    std::uint8_t dataBits = 8;
    std::uint8_t stopBits = 1;
    std::string path;  // the Linux path
    bool operator==(const BridgeSerialOpen&) const = default;
};
struct BridgeSerialWrite {
    std::uint8_t port = 0;
    std::string bytes;  // at most kBridgeMaxText: a longer command goes in several
    bool operator==(const BridgeSerialWrite&) const = default;
};
struct BridgeSerialClose {
    std::uint8_t port = 0;
    bool operator==(const BridgeSerialClose&) const = default;
};
// The bridge's word on a port that one connection opened: open, or not and why (it could not be
// opened, or went away).
struct BridgeSerialState {
    std::uint8_t port = 0;
    bool open = false;
    std::string problem;
    bool operator==(const BridgeSerialState&) const = default;
};

using BridgeMessage = std::variant<BridgeDeviceAdded, BridgeDeviceRemoved, BridgeReport, BridgeDevicesListed,
                                   BridgeChallenge, BridgeProof, BridgeAnswer, BridgeSerialOpen, BridgeSerialWrite,
                                   BridgeSerialClose, BridgeSerialState>;

std::vector<std::uint8_t> EncodeBridgeMessage(const BridgeMessage& message);

// Takes the bytes as they arrive, in pieces of any size, and gives the messages they complete.
// A header that is not one (wrong magic or version, a payload longer than the maximum) costs one
// byte, and the reader looks for the next header from there on.
class BridgeStreamReader {
public:
    void take(const std::uint8_t* bytes, std::size_t length, std::vector<BridgeMessage>& messages);
    std::uint64_t malformed() const { return malformed_; }

private:
    std::vector<std::uint8_t> pending_;
    std::uint64_t malformed_ = 0;
};

// The devices a connection has told of, and the check of each report against them: a report of
// a device not added (or removed), or whose sequence is not above the last one of that device, is
// dropped, and so is a handshake's message once the handshake is over.
class BridgeDeviceTable {
public:
    // The message as it may be used, or nothing when it is dropped (and counted).
    std::optional<BridgeMessage> admit(const BridgeMessage& message);
    const std::vector<BridgeDeviceAdded>& devices() const { return devices_; }
    std::uint64_t outOfOrder() const { return outOfOrder_; }

private:
    std::vector<BridgeDeviceAdded> devices_;
    std::vector<std::uint32_t> lastSequence_;  // beside devices_
    std::uint64_t outOfOrder_ = 0;
};

}  // namespace vt2
