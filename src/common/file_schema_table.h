#pragma once
// A section of a file's schema as the documentation's table shows it (Markdown): the descriptors'
// guide holds these tables word for word, and a test holds it to them.

#include <string>

#include "common/file_schema.h"

namespace vt2 {

// The table's lines, each ended by "\n": a header, its rule, one line per row of the section.
std::string SchemaTable(const FileSchema& file, const SchemaSection& section);

}  // namespace vt2
