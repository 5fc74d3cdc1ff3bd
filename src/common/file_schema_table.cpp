#include "common/file_schema_table.h"

namespace vt2 {

namespace {

std::string Code(const std::string& text) { return "`" + text + "`"; }

std::string Joined(const std::vector<std::string>& parts, const std::string& between) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : between) + p;
    return out;
}

std::string KeyCell(const SchemaSection& section, const SchemaRow& row) {
    std::vector<std::string> shown;
    for (const SchemaKey& key : row.keys) {
        if (row.numbered) {
            shown.push_back(Code(section.rowPrefix + " n " + key.name));
        } else if (!row.targets.empty()) {
            shown.push_back(Code("T " + key.name));
        } else {
            shown.push_back(Code(key.name));
        }
    }
    if (row.numbered) return Joined(shown, " / ");
    if (row.targets.empty()) return Joined(shown, ", ");
    std::vector<std::string> targets;
    for (const std::string& t : row.targets) targets.push_back(Code(t));
    return Joined(shown, " / ") + " for T in " + Joined(targets, ", ");
}

}  // namespace

std::string SchemaTable(const FileSchema& file, const SchemaSection& section) {
    std::string table = file.tableHasForm ? "| Key | Form | Default | Meaning |\n|---|---|---|---|\n"
                                          : "| Key | Default | Meaning |\n|---|---|---|\n";
    for (const SchemaRow& row : section.rows) {
        table += "| " + KeyCell(section, row) + " | ";
        if (file.tableHasForm) table += row.form + " | ";
        table += row.defaultText + " | " + row.meaning + " |\n";
    }
    return table;
}

}  // namespace vt2
