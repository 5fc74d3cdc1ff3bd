#include <gtest/gtest.h>

#include "common/sha256.h"
#include "engine/running_game_check.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

// Known digests (as sha256sum prints them), at the lengths where the padding takes one block or
// two: 55 bytes end one, 56 need a second, 64 fill one whole.
TEST(Sha256, KnownDigestsAtThePaddingsBoundaries) {
    struct Row {
        std::string bytes;
        const char* digest;
    };
    const Row rows[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const Row& r : rows) EXPECT_EQ(Sha256Hex(r.bytes), r.digest) << r.bytes.size() << " bytes";
}

// Bytes given in pieces of any size give the digest of the whole, across every block boundary.
TEST(Sha256, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7 + 3);
    for (std::size_t length : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 127u, 128u, 1000u}) {
        const std::string whole = bytes.substr(0, length);
        for (std::size_t piece : {1u, 7u, 63u, 64u, 65u, 1000u}) {
            Sha256 hash;
            for (std::size_t at = 0; at < whole.size(); at += piece) hash.update(std::string_view(whole).substr(at, piece));
            EXPECT_EQ(hash.hexDigest(), Sha256Hex(whole)) << length << " in pieces of " << piece;
        }
    }
}

// RFC 4231's cases: a short key, a key shorter than the hash, a key longer than a block.
TEST(Sha256, HmacGivesTheKnownMacsForKeysOfEveryLength) {
    struct Row {
        std::string key, message;
        const char* mac;
    };
    const Row rows[] = {
        {std::string(20, '\x0b'), "Hi There", "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"Jefe", "what do ya want for nothing?", "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {std::string(131, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
    };
    for (const Row& r : rows) {
        std::string hex;
        for (std::uint8_t byte : HmacSha256(r.key, r.message)) {
            static const char* const kDigits = "0123456789abcdef";
            hex += kDigits[byte >> 4];
            hex += kDigits[byte & 0xF];
        }
        EXPECT_EQ(hex, r.mac) << r.key.size() << "-byte key";
    }
}

// A program file is read for its build pin in pieces, never whole.
TEST(Sha256, AProgramFileIsDigestedInPieces) {
    FakeSystem sys;
    std::string program(2 * kDigestPiece + 12345, 'x');
    program[kDigestPiece] = 'y';
    sys.folder.writeFile("game.exe", program);
    const auto digest = DigestOfFile(sys.files, sys.folder.path() + "\\game.exe", true);
    ASSERT_TRUE(digest);
    EXPECT_EQ(digest->size, program.size());
    EXPECT_EQ(digest->sha256, Sha256Hex(program));
    EXPECT_EQ(sys.files.partsRead, 3);
    sys.files.partsRead = 0;
    EXPECT_EQ(DigestOfFile(sys.files, sys.folder.path() + "\\gone.exe", true), std::nullopt);
    // Exactly a piece long: one more read finds the end.
    sys.folder.writeFile("even.exe", std::string(kDigestPiece, 'z'));
    EXPECT_EQ(DigestOfFile(sys.files, sys.folder.path() + "\\even.exe", false)->size, kDigestPiece);
}

}  // namespace
}  // namespace vt2::test
