#pragma once
// Small text helpers shared by every layer. ASCII only: every name the program compares
// (section names, type names, input types) is plain ASCII.

#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string TrimBlanks(std::string_view text);  // spaces and tabs at both ends
std::vector<std::string> SplitText(std::string_view text, char separator);
// The lines of a text file: CR LF, LF and CR alone each end one.
std::vector<std::string> SplitLines(std::string_view text);
std::string RemoveNulCharacters(std::string_view text);
bool StartsWith(std::string_view text, std::string_view prefix);
// The lines joined with CR LF; the last line has no line break after it.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace vt2
