#pragma once
// How the Linux input bridge and VT2 know each other: only the player's own programs may read the
// player's guns, and VT2 takes guns only from a genuine bridge. The bridge makes a random secret
// when it starts, in a file only its user can read; whoever can read that file is the player.
// Neither side ever sends the secret: the bridge sends a fresh nonce, VT2 answers with a nonce of
// its own and an HMAC-SHA256 over both, and the bridge, once that holds, answers with its own MAC
// over both before it tells of any device. A proof is good for its connection alone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/bridge_protocol.h"

namespace vt2 {

// Where the secret of the bridge on a port lies on the Linux side: the user's runtime folder
// ($XDG_RUNTIME_DIR, which only the user can enter), else the home folder. Nothing when neither
// is an absolute path.
std::optional<std::string> BridgeSecretPath(std::string_view runtimeFolder, std::string_view homeFolder, int port);
// The file's text: 64 hexadecimal digits and a line end.
std::string BridgeSecretText(const BridgeSecret& secret);
// The secret in a file's text; nothing when it holds anything else.
std::optional<BridgeSecret> ParseBridgeSecret(std::string_view text);

// A connection has this long to prove itself before the bridge closes it.
inline constexpr int kBridgeProofWaitMs = 3000;

enum class HandshakeState { Waiting, Trusted, Refused };

// The bridge's side of one connection.
class BridgeServerHandshake {
public:
    BridgeServerHandshake(const BridgeSecret& secret, const BridgeNonce& nonce) : secret_(secret), nonce_(nonce) {}
    // What the bridge sends first.
    std::vector<std::uint8_t> challenge() const;
    // Takes what the client sent. Once Trusted, answer() is what the bridge sends next, and what
    // came after the proof is ignored (a client sends nothing more).
    HandshakeState take(const std::uint8_t* bytes, std::size_t length);
    std::vector<std::uint8_t> answer() const;
    HandshakeState state() const { return state_; }

private:
    BridgeSecret secret_;
    BridgeNonce nonce_;
    BridgeNonce clientNonce_{};
    std::vector<std::uint8_t> pending_;
    HandshakeState state_ = HandshakeState::Waiting;
};

// VT2's side of one connection. Without a secret (no file to read) every bridge is refused.
class BridgeClientHandshake {
public:
    BridgeClientHandshake() = default;
    BridgeClientHandshake(std::optional<BridgeSecret> secret, const BridgeNonce& nonce) : secret_(secret), nonce_(nonce) {}
    struct Step {
        std::vector<std::uint8_t> reply;   // to send to the bridge now
        std::vector<std::uint8_t> passOn;  // the bridge's messages after its answer held
    };
    Step take(const std::uint8_t* bytes, std::size_t length);
    HandshakeState state() const { return state_; }
    // Why the bridge was refused, for the debug window.
    const std::string& whyRefused() const { return why_; }

private:
    Step takeSome(const std::uint8_t* bytes, std::size_t length);
    void refuse(std::string why);

    std::optional<BridgeSecret> secret_;
    BridgeNonce nonce_{};
    BridgeNonce bridgeNonce_{};
    bool challenged_ = false;
    std::vector<std::uint8_t> pending_;
    HandshakeState state_ = HandshakeState::Waiting;
    std::string why_;
};

// The MACs each side sends: over the bridge's nonce then VT2's, told apart by who sends them.
BridgeMac ClientProofMac(const BridgeSecret& secret, const BridgeNonce& bridgeNonce, const BridgeNonce& clientNonce);
BridgeMac BridgeAnswerMac(const BridgeSecret& secret, const BridgeNonce& bridgeNonce, const BridgeNonce& clientNonce);

}  // namespace vt2
