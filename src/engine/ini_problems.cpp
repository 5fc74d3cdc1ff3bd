#include "engine/ini_problems.h"

#include <algorithm>
#include <map>

#include "common/text.h"

namespace vt2 {

namespace {

// Optimal string alignment distance, case aside: a swap of two neighbours counts as one slip.
std::size_t SlipDistance(const std::string& a, const std::string& b) {
    const std::string x = ToLowerAscii(a), y = ToLowerAscii(b);
    std::vector<std::vector<std::size_t>> d(x.size() + 1, std::vector<std::size_t>(y.size() + 1));
    for (std::size_t i = 0; i <= x.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= y.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t change = x[i - 1] == y[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[x.size()][y.size()];
}

}  // namespace

void WalkIniLines(const std::vector<IniLine>& lines, const std::function<void(const IniLine&)>& onSection,
                  const std::function<void(const IniLine&)>& onEntry, std::vector<IniProblem>& problems) {
    std::map<std::string, int> sectionsSeen;  // lower case: first line
    std::map<std::string, int> keysSeen;      // section/key in lower case: first line
    bool skippedSection = false;
    auto say = [&](const IniLine& line, const std::string& key, const std::string& text) {
        problems.push_back({line.number, line.section, key, text});
    };
    for (const IniLine& line : lines) {
        if (line.kind == IniLine::Kind::Section) {
            const auto [seen, first] = sectionsSeen.emplace(ToLowerAscii(line.section), line.number);
            skippedSection = !first;
            if (!first) {
                say(line, "", "the section appears again (first at line " + std::to_string(seen->second) +
                                  "): only the first is read, not the keys here");
            } else {
                onSection(line);
            }
            continue;
        }
        if (line.kind == IniLine::Kind::Other) {
            say(line, "", "\"" + line.text + "\" is neither [Section] nor Key=Value: it is not read");
            // The run finds it as a key without a value: the same key further down is not read either.
            if (!skippedSection && !line.section.empty()) keysSeen.emplace(ToLowerAscii(line.section + "/" + line.key), line.number);
            continue;
        }
        if (line.section.empty()) {
            say(line, line.key, "stands before any section: it is not read");
            continue;
        }
        if (skippedSection) continue;
        const auto [seen, first] = keysSeen.emplace(ToLowerAscii(line.section + "/" + line.key), line.number);
        if (!first) {
            say(line, line.key, "appears again (first at line " + std::to_string(seen->second) + "): only the first is read");
            continue;
        }
        onEntry(line);
    }
}

IniProblem UnknownName(const IniLine& line, const std::vector<std::string>& known, const std::string& what) {
    const bool section = line.kind == IniLine::Kind::Section;
    const std::string name = section ? line.section : line.key;
    const std::string nearest = NearestName(name, known);
    const std::string suggestion = nearest.empty() ? std::string() : section ? " (did you mean [" + nearest + "]?)"
                                                                            : " (did you mean " + nearest + "?)";
    return {line.number, line.section, section ? std::string() : line.key, "is no " + what + suggestion + ": it is not read"};
}

std::string NearestName(const std::string& name, const std::vector<std::string>& known) {
    // Short names are too alike to guess from: one slip there, two in longer ones.
    const std::size_t most = name.size() < 6 ? 1 : 2;
    std::string nearest;
    std::size_t best = most + 1;
    for (const std::string& k : known) {
        if (name.size() > k.size() + most || k.size() > name.size() + most) continue;
        const std::size_t d = SlipDistance(name, k);
        if (d < best) {
            best = d;
            nearest = k;
        }
    }
    return nearest;
}

std::string IniProblemLine(const std::string& file, const IniProblem& p) {
    std::string line = file;
    if (p.line > 0) line += ", line " + std::to_string(p.line);
    line += ": ";
    if (!p.section.empty()) line += "[" + p.section + "] ";
    if (!p.key.empty()) line += p.key + " ";
    return line + p.text;
}

}  // namespace vt2
