#include "adapters/portable/portable_file_system.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/text.h"
#include "adapters/portable/native_path.h"

namespace vt2 {

namespace {

// Windows refuses to replace or delete a read-only file; the native build runs as any user (root
// among them, whom permissions do not stop), so it asks the same question itself.
bool IsReadOnly(const std::filesystem::path& target) {
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    return !error && std::filesystem::exists(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

constexpr const char* kAccessDenied = "Access is denied.";

}  // namespace

bool PortableFileSystem::fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(NativePath(path), error);
}

bool PortableFileSystem::changeDirectory(const std::string& folder) {
    std::error_code error;
    std::filesystem::current_path(NativePath(folder), error);
    return !error;
}

std::vector<std::string> PortableFileSystem::listFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder), error)) {
        const std::string name = entry.path().filename().string();
        const bool endsRight = name.size() > extension.size() &&
                               EqualsIgnoreCase(std::string_view(name).substr(name.size() - extension.size()), extension);
        if (endsRight && entry.is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
    return names;
}

bool PortableFileSystem::deleteFile(const std::string& path) {
    std::error_code error;
    const auto target = NativePath(path);
    if (IsReadOnly(target)) {
        errorText_ = kAccessDenied;
        return false;
    }
    if (std::filesystem::remove(target, error) && !error) return true;
    errorText_ = error ? error.message() : "The system cannot find the file specified.";
    return false;
}

bool PortableFileSystem::folderExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(NativePath(path), error);
}

bool PortableFileSystem::createFolder(const std::string& path) {
    std::error_code error;
    if (std::filesystem::create_directory(NativePath(path), error) && !error) return true;
    errorText_ = error ? error.message() : "Cannot create a file when that file already exists.";
    return false;
}

bool PortableFileSystem::copyFile(const std::string& from, const std::string& to) {
    std::error_code error;
    if (IsReadOnly(NativePath(to))) {
        errorText_ = kAccessDenied;
        return false;
    }
    // Copied beside the target, then put in its place: replacing a file in the copy itself is not
    // something every standard library does on Windows.
    const auto temporary = NativePath(to + ".vt2new");
    std::filesystem::remove(temporary, error);
    if (std::filesystem::copy_file(NativePath(from), temporary, error) &&
        !error) {
        std::filesystem::rename(temporary, NativePath(to), error);
        if (!error) return true;
    }
    errorText_ = error ? error.message() : "The file could not be copied.";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

std::optional<std::string> PortableFileSystem::readFile(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in || !fileExists(path)) {
        errorText_ = "The system cannot find the file specified.";
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::string> PortableFileSystem::readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in || !fileExists(path)) {
        errorText_ = "The system cannot find the file specified.";
        return std::nullopt;
    }
    std::string content(length, '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in) return std::string();  // past its end
    in.read(content.data(), static_cast<std::streamsize>(length));
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
}

bool PortableFileSystem::writeFileWhole(const std::string& path, const std::string& content) {
    const auto target = NativePath(path);
    if (IsReadOnly(target)) {
        errorText_ = kAccessDenied;
        return false;
    }
    const auto temporary = NativePath(path + ".vt2new");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            errorText_ = "The file could not be written.";
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (!error) return true;
    errorText_ = error.message();
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace vt2
