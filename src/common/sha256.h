#pragma once
// SHA-256 of a file's bytes, as `sha256sum` and `certutil -hashfile FILE SHA256` print it: what
// a descriptor pins the build of its game's program with.

#include <string>
#include <string_view>

namespace vt2 {

// 64 hexadecimal digits, in small letters.
std::string Sha256Hex(std::string_view bytes);

}  // namespace vt2
