#pragma once
// A descriptor held against its game while the game runs: every address and pointer chain
// followed in the game's memory as a run would, and the game's program file compared with the
// build the descriptor says it was written for.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_check.h"

namespace vt2 {

class FileSystem;
class ModuleList;
class ProcessMemory;
class WindowSystem;

struct RunningGameServices {
    WindowSystem& windows;
    ProcessMemory& memory;
    ModuleList& modules;
    FileSystem& files;
};

struct RunningGameCheck {
    bool running = false;  // the game's window was found and its memory opened
    std::string said;      // what was checked against, for the report's head
    std::vector<IniProblem> problems;
};

// Each target's memory: an input's bytes writable, an output's there, a patch's there, and each
// chain leading to memory that is there; then the build pin.
RunningGameCheck CheckAgainstRunningGame(const RunningGameServices& os, std::string_view descriptorText);

// The build a descriptor pins ([Info] ExeSize, ExeSha256) against the program file at path: the
// warning when they differ, none when they agree or the descriptor pins nothing.
std::optional<std::string> BuildMismatch(FileSystem& files, const std::string& programPath, const std::string& sizeText,
                                         const std::string& sha256Text);

// A file's size and SHA-256 (when asked for), read in pieces; nothing when it cannot be read.
struct FileDigest {
    std::uint64_t size = 0;
    std::string sha256;
};
inline constexpr std::size_t kDigestPiece = 1u << 20;
std::optional<FileDigest> DigestOfFile(FileSystem& files, const std::string& path, bool withSha256);

}  // namespace vt2
