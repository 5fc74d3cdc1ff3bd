#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt2 {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a file (not a folder) of that path exists.
    virtual bool fileExists(const std::string& path) = 0;
    // Makes folder the current drive and folder; false when it cannot.
    virtual bool changeDirectory(const std::string& folder) = 0;
    // The names (without the folder) of the files in folder whose name ends in extension (".ini"),
    // in alphabetical order, case aside; none when the folder cannot be read.
    virtual std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) = 0;
    // Deletes a file; false when it could not be deleted (errorText then says why).
    virtual bool deleteFile(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    // Creates one folder in a folder that exists; false when it cannot (errorText says why).
    virtual bool createFolder(const std::string& path) = 0;
    // Copies a file over any file of the target's name; false when it cannot (errorText says why).
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // The whole content of a file, byte for byte; nothing when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Up to length bytes of a file from offset on (fewer at its end, none past it); nothing when
    // it cannot be read. For files too large to hold whole.
    virtual std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) = 0;
    // Makes content the whole file: written to a temporary file beside it that then takes its
    // place, so that a failure leaves the file as it was, never half written. False on failure.
    virtual bool writeFileWhole(const std::string& path, const std::string& content) = 0;
    // Why the last call that failed failed, in the system's words.
    virtual std::string errorText() = 0;
};

}  // namespace vt2
