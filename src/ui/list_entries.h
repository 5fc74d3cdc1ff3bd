#pragma once
// The entries of the windows' lists and what they stand for: device and button lists hold
// "NONE", then "0" to "16"; axis lists "NONE", "X", "Y", "Z", "RX", "RY", "RZ". Entry 0 ("NONE")
// stands for -1, entry k + 1 for k.

#include <optional>
#include <string>
#include <vector>

namespace vt2 {

const std::vector<std::string>& NumberListEntries();  // "NONE", "0" ... "16"
const std::vector<std::string>& AxisListEntries();    // "NONE", "X" ... "RZ"

// The entry that shows value, when the list has one.
std::optional<int> EntryOfValue(int value, const std::vector<std::string>& entries);
inline int ValueOfEntry(int entry) { return entry - 1; }
// The entry whose text is exactly text, when there is one (a list's text typed by hand).
std::optional<int> EntryOfText(const std::string& text, const std::vector<std::string>& entries);

}  // namespace vt2
