#include "ui/list_entries.h"

#include "common/text.h"

namespace vt2 {

const std::vector<std::string>& NumberListEntries() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> e{"NONE"};
        for (int k = 0; k <= 16; ++k) e.push_back(std::to_string(k));
        return e;
    }();
    return entries;
}

const std::vector<std::string>& AxisListEntries() {
    static const std::vector<std::string> entries{"NONE", "X", "Y", "Z", "RX", "RY", "RZ"};
    return entries;
}

std::optional<int> EntryOfValue(int value, const std::vector<std::string>& entries) {
    const int entry = value + 1;
    if (entry < 0 || entry >= static_cast<int>(entries.size())) return std::nullopt;
    return entry;
}

int EntryForTypedText(const std::string& text, const std::vector<std::string>& entries, int before) {
    const std::string typed = TrimBlanks(text);
    if (typed.empty()) return 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (EqualsIgnoreCase(entries[i], typed)) return static_cast<int>(i);
    }
    return before;
}

}  // namespace vt2
