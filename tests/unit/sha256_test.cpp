#include <gtest/gtest.h>

#include "common/sha256.h"

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

}  // namespace
}  // namespace vt2::test
