#pragma once
// SHA-256 of a file's bytes, as `sha256sum` and `certutil -hashfile FILE SHA256` print it: what
// a descriptor pins the build of its game's program with.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vt2 {

// 64 hexadecimal digits, in small letters.
std::string Sha256Hex(std::string_view bytes);

// The same over bytes given in pieces: a program of hundreds of megabytes is never held whole.
class Sha256 {
public:
    void update(std::string_view bytes);
    // The digest of every byte given; the object is spent.
    std::array<std::uint8_t, 32> digest();
    std::string hexDigest();

private:
    std::array<std::uint32_t, 8> h_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> block_{};
    std::size_t held_ = 0;      // bytes of block_ given, not yet compressed
    std::uint64_t length_ = 0;  // every byte given
};

// HMAC-SHA256 (RFC 2104) of message under key: what the Linux input bridge and VT2 prove to each
// other that they share a secret with, without either showing it.
std::array<std::uint8_t, 32> HmacSha256(std::string_view key, std::string_view message);

}  // namespace vt2
