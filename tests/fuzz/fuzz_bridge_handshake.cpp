// The handshake against a peer that does not know the secret: whatever bytes it sends, cut
// anywhere, neither side ever trusts it, and VT2's side passes on no byte of it.
#include <algorithm>

#include "fuzz_support.h"
#include "input/bridge_handshake.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte cuts the rest into pieces of that many bytes (1..256), as a socket may.
    const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
    BridgeSecret secret{};
    secret.fill(0x5A);
    BridgeNonce nonce{};
    nonce.fill(0x33);
    BridgeClientHandshake vt2(secret, nonce);
    BridgeServerHandshake bridge(secret, nonce);
    for (std::size_t at = 1; at < size; at += piece) {
        const std::size_t length = std::min(piece, size - at);
        const auto step = vt2.take(data + at, length);
        fuzz::Check(step.passOn.empty(), "bytes of a peer that never proved itself passed on");
        fuzz::Check(step.reply.empty() || vt2.state() == HandshakeState::Waiting, "a reply after the handshake ended");
        bridge.take(data + at, length);
    }
    fuzz::Check(vt2.state() != HandshakeState::Trusted, "VT2 trusted a peer without the secret");
    fuzz::Check(bridge.state() != HandshakeState::Trusted, "the bridge trusted a client without the secret");
    fuzz::Check(bridge.answer().empty() || bridge.state() == HandshakeState::Trusted, "an answer to an untrusted client");
    return 0;
}
