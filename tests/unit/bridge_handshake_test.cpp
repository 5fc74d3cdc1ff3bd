#include <gtest/gtest.h>

#include "input/bridge_handshake.h"

namespace vt2 {
namespace {

BridgeSecret Secret(std::uint8_t fill) {
    BridgeSecret s{};
    s.fill(fill);
    return s;
}
BridgeNonce Nonce(std::uint8_t fill) {
    BridgeNonce n{};
    n.fill(fill);
    return n;
}
std::vector<std::uint8_t> Join(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Both sides with the same secret, the bytes given in pieces of every size: the bridge trusts
// VT2, VT2 trusts the bridge, and the bridge's first device (in the same piece as its answer)
// comes through whole.
TEST(BridgeHandshake, TwoSidesThatShareTheSecretTrustEachOtherWhateverThePieces) {
    const auto device = EncodeBridgeMessage(BridgeDevicesListed{});
    for (std::size_t piece : {1u, 7u, 40u, 200u}) {
        BridgeServerHandshake bridge(Secret(5), Nonce(1));
        BridgeClientHandshake vt2(Secret(5), Nonce(2));
        const auto challenge = bridge.challenge();
        std::vector<std::uint8_t> reply;
        for (std::size_t at = 0; at < challenge.size(); at += piece) {
            const auto step = vt2.take(challenge.data() + at, std::min(piece, challenge.size() - at));
            reply.insert(reply.end(), step.reply.begin(), step.reply.end());
            EXPECT_TRUE(step.passOn.empty());
        }
        for (std::size_t at = 0; at < reply.size(); at += piece) bridge.take(reply.data() + at, std::min(piece, reply.size() - at));
        ASSERT_EQ(bridge.state(), HandshakeState::Trusted) << piece;
        const auto rest = Join(bridge.answer(), device);
        std::vector<std::uint8_t> passed;
        for (std::size_t at = 0; at < rest.size(); at += piece) {
            const auto step = vt2.take(rest.data() + at, std::min(piece, rest.size() - at));
            passed.insert(passed.end(), step.passOn.begin(), step.passOn.end());
        }
        EXPECT_EQ(vt2.state(), HandshakeState::Trusted) << piece;
        EXPECT_EQ(passed, device) << piece;
    }
}

// What the bridge refuses: a client without the secret, one that replays a proof seen on another
// connection, one that sends anything but a proof.
TEST(BridgeHandshake, TheBridgeRefusesAClientThatCannotProveItKnowsTheSecret) {
    BridgeServerHandshake seen(Secret(5), Nonce(1));
    BridgeClientHandshake player(Secret(5), Nonce(2));
    const auto challenge = seen.challenge();
    const auto playersProof = player.take(challenge.data(), challenge.size()).reply;
    struct Row {
        const char* what;
        std::vector<std::uint8_t> sent;
    };
    const Row rows[] = {
        {"another secret", EncodeBridgeMessage(BridgeProof{Nonce(2), ClientProofMac(Secret(6), Nonce(1), Nonce(2))})},
        {"a proof of another connection", playersProof},
        {"the bridge's own answer sent back", EncodeBridgeMessage(BridgeAnswer{BridgeAnswerMac(Secret(5), Nonce(3), Nonce(2))})},
        {"a device list", EncodeBridgeMessage(BridgeDevicesListed{})},
        {"bytes that are no message", std::vector<std::uint8_t>(80, 'x')},
        {"a header claiming a huge payload", {0x56, 0x42, kBridgeVersion, 6, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Row& r : rows) {
        BridgeServerHandshake bridge(Secret(5), Nonce(3));  // a new connection: a new nonce
        EXPECT_EQ(bridge.take(r.sent.data(), r.sent.size()), HandshakeState::Refused) << r.what;
        EXPECT_TRUE(bridge.answer().empty()) << r.what;
        const auto more = EncodeBridgeMessage(BridgeProof{Nonce(2), ClientProofMac(Secret(5), Nonce(3), Nonce(2))});
        EXPECT_EQ(bridge.take(more.data(), more.size()), HandshakeState::Refused) << r.what << ": refused for good";
    }
    // Nothing yet is not a refusal: the bridge's deadline decides.
    BridgeServerHandshake waiting(Secret(5), Nonce(3));
    EXPECT_EQ(waiting.take(challenge.data(), 5), HandshakeState::Waiting);
}

// What VT2 refuses: whatever holds the port without being the user's bridge.
TEST(BridgeHandshake, VT2RefusesAPeerThatIsNotTheUsersBridge) {
    const auto challenge = EncodeBridgeMessage(BridgeChallenge{Nonce(1)});
    struct Row {
        const char* what;
        std::optional<BridgeSecret> vt2Secret;
        std::vector<std::uint8_t> sent;  // after the challenge, when it begins with one
        bool challengeFirst;
    };
    const Row rows[] = {
        {"devices straight away", Secret(5), EncodeBridgeMessage(BridgeDevicesListed{}), false},
        {"an answer over another secret", Secret(5), EncodeBridgeMessage(BridgeAnswer{BridgeAnswerMac(Secret(6), Nonce(1), Nonce(2))}), true},
        {"VT2's own proof sent back", Secret(5), EncodeBridgeMessage(BridgeAnswer{ClientProofMac(Secret(5), Nonce(1), Nonce(2))}), true},
        {"devices instead of the answer", Secret(5), EncodeBridgeMessage(BridgeDevicesListed{}), true},
        {"no secret to read on this machine", std::nullopt, {}, true},
        {"another protocol", Secret(5), std::vector<std::uint8_t>{'H', 'T', 'T', 'P', '/', '1', '.', '1', ' ', '2'}, false},
    };
    for (const Row& r : rows) {
        BridgeClientHandshake vt2(r.vt2Secret, Nonce(2));
        const auto bytes = r.challengeFirst ? Join(challenge, r.sent) : r.sent;
        const auto step = vt2.take(bytes.data(), bytes.size());
        EXPECT_EQ(vt2.state(), HandshakeState::Refused) << r.what;
        EXPECT_TRUE(step.passOn.empty()) << r.what;
        EXPECT_TRUE(step.reply.empty()) << r.what << ": no proof for a peer refused in the same piece";
        EXPECT_FALSE(vt2.whyRefused().empty()) << r.what;
        const auto later = EncodeBridgeMessage(BridgeDevicesListed{});
        EXPECT_TRUE(vt2.take(later.data(), later.size()).passOn.empty()) << r.what << ": nothing after";
    }
}

TEST(BridgeHandshake, TheSecretLiesInTheRuntimeFolderElseTheHomeAndReadsBackAsWritten) {
    struct Row {
        const char* runtime;
        const char* home;
        std::optional<std::string> path;
    };
    const Row rows[] = {
        {"/run/user/1000", "/home/ann", "/run/user/1000/.vt2bridge-47812.secret"},
        {"/run/user/1000/", "/home/ann", "/run/user/1000/.vt2bridge-47812.secret"},
        {"", "/home/ann", "/home/ann/.vt2bridge-47812.secret"},
        {"relative/dir", "/home/ann", "/home/ann/.vt2bridge-47812.secret"},
        {"", "/", "/.vt2bridge-47812.secret"},
        {"", "", std::nullopt},
        {"", "~", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(BridgeSecretPath(r.runtime, r.home, 47812), r.path) << r.runtime << " " << r.home;

    BridgeSecret secret{};
    for (std::size_t i = 0; i < secret.size(); ++i) secret[i] = static_cast<std::uint8_t>(i * 37 + 250);
    const std::string text = BridgeSecretText(secret);
    EXPECT_EQ(text.size(), 65u);
    EXPECT_EQ(ParseBridgeSecret(text), secret);
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(ParseBridgeSecret(upper + "\r\n"), secret);
    for (const std::string bad : {std::string(), text.substr(0, 63), text.substr(0, 64) + "0", "g" + text.substr(1), " " + text})
        EXPECT_EQ(ParseBridgeSecret(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace vt2
