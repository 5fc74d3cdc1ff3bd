#include "adapters/portable/portable_ini_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/ini_document.h"
#include "adapters/portable/native_path.h"

namespace vt2 {

namespace {

std::optional<std::string> ReadBytes(const std::string& file) {
    std::ifstream in(NativePath(file), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream out(NativePath(file), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

std::string PortableIniFiles::readString(const std::string& file, const std::string& section,
                                         const std::string& key, std::size_t bufferChars) {
    const auto bytes = ReadBytes(file);
    if (!bytes) return {};
    return ReadIniDocumentValue(ParseIniDocument(*bytes), section, key, bufferChars);
}

std::vector<std::string> PortableIniFiles::readSection(const std::string& file, const std::string& section) {
    const auto bytes = ReadBytes(file);
    if (!bytes) return {};
    return ReadIniDocumentSection(ParseIniDocument(*bytes), section);
}

bool PortableIniFiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& value) {
    // A read-only file is refused, as Windows refuses it, whoever runs the program.
    std::error_code error;
    const auto status = std::filesystem::status(NativePath(file), error);
    if (!error && std::filesystem::exists(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        errorText_ = "Access is denied.";
        return false;
    }
    IniDocument document = ParseIniDocument(ReadBytes(file).value_or(""));
    WriteIniDocumentValue(document, section, key, value);
    if (WriteBytes(file, SerializeIniDocument(document))) return true;
    errorText_ = "The file cannot be written.";
    return false;
}

std::string MemoryIniFiles::readString(const std::string& file, const std::string& section, const std::string& key,
                                       std::size_t bufferChars) {
    const auto it = files.find(file);
    if (it == files.end()) return {};
    return ReadIniDocumentValue(parsed(it->second), section, key, bufferChars);
}

std::vector<std::string> MemoryIniFiles::readSection(const std::string& file, const std::string& section) {
    const auto it = files.find(file);
    if (it == files.end()) return {};
    return ReadIniDocumentSection(parsed(it->second), section);
}

const IniDocument& MemoryIniFiles::parsed(const std::string& text) {
    if (!parsedAny_ || text != parsedText_) {
        parsedText_ = text;
        parsedDocument_ = ParseIniDocument(text);
        parsedAny_ = true;
    }
    return parsedDocument_;
}

bool MemoryIniFiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value) {
    if (readOnly.count(file)) return false;
    const auto it = files.find(file);
    IniDocument document = ParseIniDocument(it == files.end() ? std::string() : it->second);
    WriteIniDocumentValue(document, section, key, value);
    files[file] = SerializeIniDocument(document);
    return true;
}

}  // namespace vt2
