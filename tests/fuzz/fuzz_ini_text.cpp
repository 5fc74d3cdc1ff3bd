// The portable INI reader and writer over any bytes: a read is cut to its buffer, and a value
// written is the value read back, with every other key of the file as it was.
#include "fuzz_support.h"
#include "common/ini_document.h"

using namespace vt2;

namespace {

// A name or value the program itself writes: printable, no brackets or "=" in names, no blanks
// at the ends, not wrapped in quotes.
bool Clean(const std::string& text, bool name) {
    if (text.empty() && name) return false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 && !(c == ' ')) return false;
        if (u >= 0x7F) return false;
        if (name && (c == '[' || c == ']' || c == '=' || c == ';')) return false;
    }
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::size_t buffer = in.byte() % 64 + 1;
    const std::string section = in.text();
    const std::string key = in.text();
    const std::string value = in.text();
    const std::string file = in.rest();

    IniDocument document = ParseIniDocument(file);
    const std::string before = ReadIniDocumentValue(document, section, key, buffer);
    fuzz::Check(before.size() < buffer, "a value longer than its buffer");
    fuzz::Check(ReadIniDocumentValue(document, section, key, 0).empty(), "a value read into no buffer");

    // What a write leaves: the value read back, also after the file went out and came in again.
    if (Clean(section, true) && Clean(key, true) && Clean(value, false)) {
        const std::string otherKey = key + "x";
        const std::string other = ReadIniDocumentValue(document, section, otherKey, 255);
        WriteIniDocumentValue(document, section, key, value);
        fuzz::Check(ReadIniDocumentValue(document, section, key, 255) == value.substr(0, 254), "a write not read back");
        fuzz::Check(ReadIniDocumentValue(document, section, otherKey, 255) == other, "a write changed another key");
        const IniDocument again = ParseIniDocument(SerializeIniDocument(document));
        fuzz::Check(ReadIniDocumentValue(again, section, key, 255) == value.substr(0, 254), "a saved write not read back");
    }
    return 0;
}
