#include "input/bridge_handshake.h"

#include <algorithm>

#include "common/sha256.h"

namespace vt2 {

namespace {

enum class Taken { Incomplete, Bad, TooLong, Message };
// The first whole message of pending, taken off it. Bad: no message of the bridge's at all;
// TooLong: one, but longer than any of a handshake.
Taken TakeMessage(std::vector<std::uint8_t>& pending, BridgeMessage& message) {
    if (pending.size() < kBridgeHeaderSize) return Taken::Incomplete;
    const std::uint32_t magic = pending[0] | (pending[1] << 8);
    if (magic != kBridgeMagic || pending[2] != kBridgeVersion) return Taken::Bad;
    const std::uint32_t size = pending[4] | (pending[5] << 8) | (pending[6] << 16) | (static_cast<std::uint32_t>(pending[7]) << 24);
    if (size > 2 * sizeof(BridgeNonce)) return Taken::TooLong;
    const std::size_t length = kBridgeHeaderSize + size;
    if (pending.size() < length) return Taken::Incomplete;
    BridgeStreamReader reader;
    std::vector<BridgeMessage> messages;
    reader.take(pending.data(), length, messages);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
    if (messages.size() != 1 || reader.malformed() != 0) return Taken::Bad;
    message = std::move(messages.front());
    return Taken::Message;
}

BridgeMac Mac(const BridgeSecret& secret, std::string_view who, const BridgeNonce& bridgeNonce, const BridgeNonce& clientNonce) {
    std::string message(who);
    message.append(reinterpret_cast<const char*>(bridgeNonce.data()), bridgeNonce.size());
    message.append(reinterpret_cast<const char*>(clientNonce.data()), clientNonce.size());
    return HmacSha256(std::string_view(reinterpret_cast<const char*>(secret.data()), secret.size()), message);
}

// Compares in the same time whatever the bytes: a peer learns nothing from how long it took.
bool SameMac(const BridgeMac& a, const BridgeMac& b) {
    std::uint8_t differ = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differ |= static_cast<std::uint8_t>(a[i] ^ b[i]);
    return differ == 0;
}

}  // namespace

BridgeMac ClientProofMac(const BridgeSecret& secret, const BridgeNonce& bridgeNonce, const BridgeNonce& clientNonce) {
    return Mac(secret, "VT2 client", bridgeNonce, clientNonce);
}

BridgeMac BridgeAnswerMac(const BridgeSecret& secret, const BridgeNonce& bridgeNonce, const BridgeNonce& clientNonce) {
    return Mac(secret, "VT2 bridge", bridgeNonce, clientNonce);
}

std::optional<std::string> BridgeSecretPath(std::string_view runtimeFolder, std::string_view homeFolder, int port) {
    const std::string_view folder = !runtimeFolder.empty() && runtimeFolder.front() == '/' ? runtimeFolder : homeFolder;
    if (folder.empty() || folder.front() != '/') return std::nullopt;
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path != "/") path += '/';
    return path + ".vt2bridge-" + std::to_string(port) + ".secret";
}

std::string BridgeSecretText(const BridgeSecret& secret) {
    static const char* const kDigits = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : secret) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text + "\n";
}

std::optional<BridgeSecret> ParseBridgeSecret(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    BridgeSecret secret{};
    if (text.size() != 2 * secret.size()) return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < secret.size(); ++i) {
        const int high = digit(text[2 * i]), low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        secret[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return secret;
}

std::vector<std::uint8_t> BridgeServerHandshake::challenge() const {
    return EncodeBridgeMessage(BridgeChallenge{nonce_});
}

HandshakeState BridgeServerHandshake::take(const std::uint8_t* bytes, std::size_t length) {
    if (state_ != HandshakeState::Waiting) return state_;
    pending_.insert(pending_.end(), bytes, bytes + std::min(length, kBridgeHeaderSize + 2 * sizeof(BridgeNonce)));
    BridgeMessage message;
    const Taken taken = TakeMessage(pending_, message);
    if (taken == Taken::Incomplete) return state_;
    const auto* proof = std::get_if<BridgeProof>(&message);
    if (taken != Taken::Message || !proof || !SameMac(proof->mac, ClientProofMac(secret_, nonce_, proof->nonce))) {
        state_ = HandshakeState::Refused;
    } else {
        clientNonce_ = proof->nonce;
        state_ = HandshakeState::Trusted;
    }
    pending_.clear();
    return state_;
}

std::vector<std::uint8_t> BridgeServerHandshake::answer() const {
    if (state_ != HandshakeState::Trusted) return {};
    return EncodeBridgeMessage(BridgeAnswer{BridgeAnswerMac(secret_, nonce_, clientNonce_)});
}

void BridgeClientHandshake::refuse(std::string why) {
    state_ = HandshakeState::Refused;
    why_ = std::move(why);
    pending_.clear();
}

BridgeClientHandshake::Step BridgeClientHandshake::take(const std::uint8_t* bytes, std::size_t length) {
    Step step = takeSome(bytes, length);
    if (state_ == HandshakeState::Refused) return {};  // no proof for a peer refused in the same piece
    return step;
}

BridgeClientHandshake::Step BridgeClientHandshake::takeSome(const std::uint8_t* bytes, std::size_t length) {
    Step step;
    if (state_ == HandshakeState::Trusted) {
        step.passOn.assign(bytes, bytes + length);
        return step;
    }
    if (state_ == HandshakeState::Refused) return step;
    pending_.insert(pending_.end(), bytes, bytes + length);
    BridgeMessage message;
    while (state_ == HandshakeState::Waiting) {
        const Taken taken = TakeMessage(pending_, message);
        if (taken == Taken::Incomplete) return step;
        if (taken == Taken::Bad) {
            refuse("it does not begin as the bridge does");
            return step;
        }
        if (!challenged_) {
            const auto* challenge = taken == Taken::Message ? std::get_if<BridgeChallenge>(&message) : nullptr;
            if (!challenge) {
                refuse("it told of devices before it asked who VT2 is");
                return step;
            }
            if (!secret_) {
                refuse("this machine's bridge secret could not be read");
                return step;
            }
            challenged_ = true;
            bridgeNonce_ = challenge->nonce;
            step.reply = EncodeBridgeMessage(BridgeProof{nonce_, ClientProofMac(*secret_, bridgeNonce_, nonce_)});
            continue;
        }
        const auto* answer = taken == Taken::Message ? std::get_if<BridgeAnswer>(&message) : nullptr;
        if (!answer || !SameMac(answer->mac, BridgeAnswerMac(*secret_, bridgeNonce_, nonce_))) {
            refuse("it does not know this user's bridge secret");
            return step;
        }
        state_ = HandshakeState::Trusted;
        step.passOn = std::move(pending_);
        pending_.clear();
    }
    return step;
}

}  // namespace vt2
