#pragma once
// The bridge's secret on disk and the randomness of the handshake: a new secret at every start,
// written where only the user can read it (mode 0600, in a folder of the user's own that no one
// else can write), and taken away again when the bridge ends.

#include <optional>
#include <string>

#include "input/bridge_handshake.h"

namespace vt2::linux_input {

// Bytes from the kernel's random source.
BridgeNonce RandomNonce();

class BridgeSecretFile {
public:
    // Writes a new secret at path (replacing, at once, any file there); nothing, with the
    // reason, when the folder is not the user's own or the file cannot be written whole.
    static std::optional<BridgeSecretFile> Create(const std::string& path, std::string& why);
    BridgeSecretFile(BridgeSecretFile&& other) noexcept;
    BridgeSecretFile& operator=(BridgeSecretFile&&) = delete;
    BridgeSecretFile(const BridgeSecretFile&) = delete;
    ~BridgeSecretFile();

    const BridgeSecret& secret() const { return secret_; }
    const std::string& path() const { return path_; }

private:
    BridgeSecretFile(std::string path, const BridgeSecret& secret) : path_(std::move(path)), secret_(secret) {}
    std::string path_;
    BridgeSecret secret_;
};

}  // namespace vt2::linux_input
