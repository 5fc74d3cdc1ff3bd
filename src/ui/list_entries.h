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

// The entry a button list shows after the user typed text into it: the entry the text names (case
// aside; an empty text names "NONE"), else the entry it showed before. The list then shows that
// entry's text, so that what it shows is what a save stores.
int EntryForTypedText(const std::string& text, const std::vector<std::string>& entries, int before);

}  // namespace vt2
