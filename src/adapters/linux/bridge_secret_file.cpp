#include "adapters/linux/bridge_secret_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vt2::linux_input {

namespace {

bool FillRandom(std::uint8_t* bytes, std::size_t length) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = getrandom(bytes + got, length - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Only the user may put files there, or take them away: else another user could swap the secret.
bool FolderIsTheUsers(const std::string& folder, std::string& why) {
    struct stat info{};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        why = "no folder " + folder + " for the bridge's secret";
        return false;
    }
    const bool othersMayWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0;
    if (info.st_uid != geteuid() || othersMayWrite) {
        why = "the folder " + folder + " for the bridge's secret is not this user's own";
        return false;
    }
    return true;
}

}  // namespace

BridgeNonce RandomNonce() {
    BridgeNonce nonce{};
    // Without the kernel's randomness a proof could be replayed: better no bridge at all.
    if (!FillRandom(nonce.data(), nonce.size())) std::abort();
    return nonce;
}

std::optional<BridgeSecretFile> BridgeSecretFile::Create(const std::string& path, std::string& why) {
    const std::string folder = path.substr(0, path.rfind('/') == 0 ? 1 : path.rfind('/'));
    if (!FolderIsTheUsers(folder, why)) return std::nullopt;
    BridgeSecret secret{};
    if (!FillRandom(secret.data(), secret.size())) {
        why = "no random bytes for the bridge's secret";
        return std::nullopt;
    }
    const std::string text = BridgeSecretText(secret);
    const std::string temporary = path + "." + std::to_string(getpid()) + ".new";
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0) {
        why = "cannot write " + temporary + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const bool written = fchmod(file, 0600) == 0 && write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const bool closed = close(file) == 0;
    if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return std::nullopt;
    }
    return BridgeSecretFile(path, secret);
}

BridgeSecretFile::BridgeSecretFile(BridgeSecretFile&& other) noexcept : path_(std::move(other.path_)), secret_(other.secret_) {
    other.path_.clear();
}

BridgeSecretFile::~BridgeSecretFile() {
    if (path_.empty()) return;
    // Only while it still holds this bridge's secret.
    std::ifstream in(path_);
    std::stringstream text;
    text << in.rdbuf();
    if (ParseBridgeSecret(text.str()) == secret_) unlink(path_.c_str());
}

}  // namespace vt2::linux_input
