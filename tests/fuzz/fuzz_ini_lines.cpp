// The checker's reading of a file and the run's reader agree on any bytes: every key of every
// line, and a key the input names, reads the same through both; line numbers climb.
#include "fuzz_support.h"
#include "common/ini.h"
#include "common/ini_document.h"
#include "common/ini_lines.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::string section = in.text();
    const std::string key = in.text();
    const std::string file = in.rest();

    const IniDocument document = ParseIniDocument(file);
    const IniEntries entries(file);
    auto same = [&](const std::string& s, const std::string& k) {
        fuzz::Check(entries.value(s, k) == ReadIniDocumentValue(document, s, k, kIniReadBufferChars),
                    "the checker reads a key otherwise than the run");
    };
    same(section, key);
    int last = 0;
    for (const IniLine& line : entries.lines()) {
        fuzz::Check(line.number > last && static_cast<std::size_t>(line.number) <= document.lines.size(),
                    "a line number out of order or past the file");
        last = line.number;
        fuzz::Check(line.value.size() < kIniReadBufferChars && line.value.size() <= line.valueLength,
                    "a value longer than the run reads it");
        if (line.kind != IniLine::Kind::Section) same(line.section, line.key);
    }
    return 0;
}
