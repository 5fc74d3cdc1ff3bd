#pragma once
// The text of an INI file read and changed as the Windows profile-string functions do it (as
// Wine has them): lines end at CR, LF or both, a line that begins with "[" and holds a "]" is a
// section header (the last "]" closes the name), keys before the first header belong to a section
// without a name, names and values are trimmed and then cut at a NUL, blanks (Ctrl-Z among them,
// the no-break space not) around names and values do not count, and a UTF-8 or UTF-16 (either
// byte order) byte order mark makes the file Unicode, read into and written from the ANSI code
// page (Windows-1252 here).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

struct IniDocument {
    enum class Encoding { Ansi, Utf8, Utf16, Utf16BigEndian };  // the last three with their byte order mark
    Encoding encoding = Encoding::Ansi;
    std::vector<std::string> lines;  // in the ANSI code page, without their line ends
};

IniDocument ParseIniDocument(std::string_view bytes);

// How one line is read; every reading of a line, the lookups' and the checker's, goes through these.
// The line without the blanks around it.
std::string_view TrimIniBlanks(std::string_view line);
// The section's name when the line is a header.
std::optional<std::string_view> IniHeaderName(std::string_view line);
struct IniKeyLine {
    std::string_view key;
    std::optional<std::string_view> value;  // none: a key without "="
};
IniKeyLine ParseIniKeyLine(std::string_view line);
// A value as a read gives it: one pair of matching quotes (double or single) taken off.
std::string_view IniValueAsRead(std::string_view value);
// The lines with CR LF after each, in the document's encoding.
std::string SerializeIniDocument(const IniDocument& document);

// The value of section/key (empty when missing), cut to bufferChars - 1 characters.
std::string ReadIniDocumentValue(const IniDocument& document, std::string_view section, std::string_view key,
                                 std::size_t bufferChars);
// The entries of the first section of that name as "key=value", as the section read of the
// profile functions gives them (lines that begin with ";" are comments there).
std::vector<std::string> ReadIniDocumentSection(const IniDocument& document, std::string_view section);
// Sets one key: the line of the first such key in the first such section, else a new line at the
// end of that section, else a new section at the end. Every other line stays as it was.
void WriteIniDocumentValue(IniDocument& document, std::string_view section, std::string_view key,
                           std::string_view value);

}  // namespace vt2
