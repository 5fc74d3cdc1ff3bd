#include "common/ini_document.h"

#include <array>
#include <cstdint>
#include <optional>

#include "common/text.h"

namespace vt2 {

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes it leaves undefined stand for themselves.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t FromAnsi(unsigned char c) { return (c >= 0x80 && c <= 0x9F) ? kHighControls[c - 0x80] : c; }

char ToAnsi(std::uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
    }
    return '?';  // no such character in the code page
}

// Code points of UTF-8 text; a byte that starts no valid sequence stands for U+FFFD.
std::vector<std::uint32_t> DecodeUtf8(std::string_view text) {
    std::vector<std::uint32_t> codes;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        std::uint32_t code = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            codes.push_back(0xFFFD);
            ++i;
            continue;
        }
        codes.push_back(code);
        i += static_cast<std::size_t>(length);
    }
    return codes;
}

// One 16-bit unit at text[i], in either byte order.
std::uint32_t Utf16Unit(std::string_view text, std::size_t i, bool bigEndian) {
    const std::uint32_t first = static_cast<unsigned char>(text[i]);
    const std::uint32_t second = static_cast<unsigned char>(text[i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
}

std::vector<std::uint32_t> DecodeUtf16(std::string_view text, bool bigEndian) {
    std::vector<std::uint32_t> codes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        std::uint32_t unit = Utf16Unit(text, i, bigEndian);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < text.size()) {
            const std::uint32_t low = Utf16Unit(text, i + 2, bigEndian);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        codes.push_back(unit);
    }
    return codes;
}

std::string ToAnsiText(const std::vector<std::uint32_t>& codes) {
    std::string text;
    text.reserve(codes.size());
    for (std::uint32_t code : codes) text.push_back(ToAnsi(code));
    return text;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// The blanks the profile functions skip around names and values: the white space characters of
// ASCII, and Ctrl-Z (not the no-break space, which is a character of the name or value).
bool IsIniBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view CutAtNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Lines [begin, end) of the first section of that name; the nameless section is the lines before
// the first header.
struct Span {
    std::size_t begin;
    std::size_t end;
    bool found;
};

Span FindSection(const IniDocument& document, std::string_view section) {
    const std::string_view wanted = TrimIniBlanks(section);
    const std::vector<std::string>& lines = document.lines;
    std::size_t i = 0;
    if (wanted.empty()) {
        while (i < lines.size() && !IniHeaderName(lines[i])) ++i;
        return {0, i, true};
    }
    for (; i < lines.size(); ++i) {
        const auto name = IniHeaderName(lines[i]);
        if (!name || !EqualsIgnoreCase(*name, wanted)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !IniHeaderName(lines[end])) ++end;
        return {i + 1, end, true};
    }
    return {lines.size(), lines.size(), false};
}

std::optional<std::size_t> FindKey(const IniDocument& document, const Span& span, std::string_view key) {
    const std::string_view wanted = TrimIniBlanks(key);
    for (std::size_t i = span.begin; i < span.end; ++i) {
        if (TrimIniBlanks(document.lines[i]).empty()) continue;
        if (EqualsIgnoreCase(ParseIniKeyLine(document.lines[i]).key, wanted)) return i;
    }
    return std::nullopt;
}

}  // namespace

std::string_view TrimIniBlanks(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::string_view> IniHeaderName(std::string_view line) {
    const std::string_view t = TrimIniBlanks(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::size_t close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return TrimIniBlanks(CutAtNul(TrimIniBlanks(t.substr(1, close - 1))));
}

// A name is trimmed, then cut at a NUL: blanks before the NUL stay part of it ("k \0x" is "k ").
IniKeyLine ParseIniKeyLine(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {CutAtNul(TrimIniBlanks(line)), std::nullopt};
    return {CutAtNul(TrimIniBlanks(line.substr(0, eq))), CutAtNul(TrimIniBlanks(line.substr(eq + 1)))};
}

std::string_view IniValueAsRead(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

IniDocument ParseIniDocument(std::string_view bytes) {
    IniDocument document;
    std::string text;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        document.encoding = IniDocument::Encoding::Utf8;
        text = ToAnsiText(DecodeUtf8(bytes.substr(3)));
    } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        const bool bigEndian = bytes[0] == '\xFE';
        document.encoding = bigEndian ? IniDocument::Encoding::Utf16BigEndian : IniDocument::Encoding::Utf16;
        text = ToAnsiText(DecodeUtf16(bytes.substr(2), bigEndian));
    } else {
        text = std::string(bytes);
    }
    // CR LF and LF CR end one line each; a CR or an LF alone ends one too.
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        document.lines.push_back(text.substr(start, i - start));
        const char pair = c == '\r' ? '\n' : '\r';
        i += (i + 1 < text.size() && text[i + 1] == pair) ? 2 : 1;
        start = i;
    }
    if (start < text.size()) document.lines.push_back(text.substr(start));
    return document;
}

std::string SerializeIniDocument(const IniDocument& document) {
    std::string text;
    for (const std::string& line : document.lines) text += line + "\r\n";
    switch (document.encoding) {
        case IniDocument::Encoding::Ansi:
            return text;
        case IniDocument::Encoding::Utf8: {
            std::string out = "\xEF\xBB\xBF";
            for (char c : text) AppendUtf8(out, FromAnsi(static_cast<unsigned char>(c)));
            return out;
        }
        case IniDocument::Encoding::Utf16:
        case IniDocument::Encoding::Utf16BigEndian: {
            const bool bigEndian = document.encoding == IniDocument::Encoding::Utf16BigEndian;
            std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (char c : text) {
                const std::uint32_t code = FromAnsi(static_cast<unsigned char>(c));
                const char low = static_cast<char>(code & 0xFF);
                const char high = static_cast<char>(code >> 8);
                out.push_back(bigEndian ? high : low);
                out.push_back(bigEndian ? low : high);
            }
            return out;
        }
    }
    return text;
}

std::string ReadIniDocumentValue(const IniDocument& document, std::string_view section, std::string_view key,
                                 std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    const Span span = FindSection(document, section);
    if (!span.found) return {};
    const auto at = FindKey(document, span, key);
    if (!at) return {};
    const IniKeyLine line = ParseIniKeyLine(document.lines[*at]);
    if (!line.value) return {};
    std::string value(IniValueAsRead(*line.value));
    if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
    return value;
}

std::vector<std::string> ReadIniDocumentSection(const IniDocument& document, std::string_view section) {
    std::vector<std::string> entries;
    const Span span = FindSection(document, section);
    if (!span.found) return entries;
    for (std::size_t i = span.begin; i < span.end; ++i) {
        const std::string_view line = TrimIniBlanks(document.lines[i]);
        if (line.empty() || line.front() == ';') continue;
        const IniKeyLine key = ParseIniKeyLine(line);
        entries.push_back(std::string(key.key) + (key.value ? "=" + std::string(*key.value) : std::string()));
    }
    return entries;
}

void WriteIniDocumentValue(IniDocument& document, std::string_view section, std::string_view key,
                           std::string_view value) {
    std::vector<std::string>& lines = document.lines;
    const Span span = FindSection(document, section);
    if (!span.found) {
        lines.push_back("[" + std::string(TrimIniBlanks(section)) + "]");
        lines.push_back(std::string(TrimIniBlanks(key)) + "=" + std::string(value));
        return;
    }
    if (const auto at = FindKey(document, span, key)) {
        // Keep the key's own spelling; only the value changes.
        lines[*at] = std::string(ParseIniKeyLine(lines[*at]).key) + "=" + std::string(value);
        return;
    }
    // A new key goes after the section's last non-blank line, so blank lines between sections stay.
    std::size_t insertAt = span.end;
    while (insertAt > span.begin && TrimIniBlanks(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::string(TrimIniBlanks(key)) + "=" + std::string(value));
}

}  // namespace vt2
