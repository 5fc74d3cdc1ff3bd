#pragma once
// What is wrong with a game's memory descriptor, line by line: what a run would silently skip
// (a misspelt key, a value that does not parse, a type it does not know) said with the section,
// the key and the line, for the descriptor's writer.

#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

struct DescriptorProblem {
    int line = 0;  // 0: the file as a whole
    std::string section;
    std::string key;
    std::string text;
    bool operator==(const DescriptorProblem&) const = default;
};

// Every problem of the descriptor's text, in the order of its lines.
std::vector<DescriptorProblem> CheckDescriptorText(std::string_view text);

// The known name nearest to name (case aside) when one is a slip of the keyboard away from it
// (a letter or two missing, extra, changed or swapped); else empty.
std::string NearestName(const std::string& name, const std::vector<std::string>& known);

// The report's lines: "file, line N, [Section] Key: problem", one per problem.
std::string DescriptorProblemLine(const std::string& file, const DescriptorProblem& problem);

}  // namespace vt2
