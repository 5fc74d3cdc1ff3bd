#pragma once
// The files players write, described once: every section, key and numbered row of a game's memory
// descriptor (memcfg\<game>.ini) and of the players' settings (joycfg\<game>.ini), each key with
// the kind of value it holds and whether a run reads it. The checkers know keys from here, the
// running-game check finds its targets here, and the tables of the descriptors' documentation are
// made from it. A new key is one row here and the code that uses its value.

#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

// How a value is read.
enum class ValueKind {
    Text,
    Whole16,       // -32768..32767
    Whole32,
    Number,        // any number, as the run parses numbers
    KeyCode,       // a virtual-key code, 0..255
    Address,
    Chain,         // a pointer chain a|b|c
    Type,          // a value type name
    InputMask,     // a button's bit mask
    OutputType,
    OutputMask,    // a bit mask or a range form
    OutputCount,
    PatchCount,
    PatchLength,
    PatchBytes,    // b1|b2|...
    FileSize,
    Sha256,
    Rounded16,     // a number rounded to 16 bits (the settings' numbers)
    InputType,     // mouse, lightgun or joystick
    GunKind,       // firmware, smfb, zs or tcp
    AimArea,
    Aspect,        // W:H
    CalibratedEdge
};

struct SchemaKey {
    std::string name;    // the whole key, "P1XAddr"; in a numbered row what follows "<prefix><n>", "Addr"
    ValueKind kind = ValueKind::Text;
    bool readByRun = true;  // false: known (a writer may put it there), but no run reads it
    std::string target;     // the place it tells of ("P1X", "P1Trigger"); empty for the others
    std::string onlyIn;     // of a table of two sections, the one section the run reads it in
};

// One row of a section's table: keys that share form, default and meaning.
struct SchemaRow {
    std::vector<SchemaKey> keys;
    std::string form;         // the descriptor's tables only
    std::string defaultText;
    std::string meaning;
    // With targets, keys holds suffixes: the keys are "<target><suffix>" for each target ("T PTR /
    // T Addr for T in ..."). In a numbered row keys holds the suffixes of "<prefix><n><suffix>".
    std::vector<std::string> targets;
    bool numbered = false;
    bool written = false;  // its places are written by the run (not only read)
};

struct SchemaSection {
    std::vector<std::string> names;  // one table may stand for two sections ([Player1], [Player2])
    bool namedAfterExe = false;      // the name is "NOP_" + [Info] ExeName
    std::string rowPrefix;           // numbered rows: "Output" for "Output12Type"; empty for none
    std::string rowCountKey;         // the key that says how many rows are read
    int maxRows = 0;
    std::vector<SchemaRow> rows;

    // Every key not of a numbered row, in the table's order.
    std::vector<SchemaKey> ownKeys() const;
    // The suffixes of the numbered rows, as keys ("Addr", "Type"...).
    std::vector<SchemaKey> rowKeys() const;
    bool named(std::string_view name) const;
};

struct FileSchema {
    std::string sectionWhat;  // "section of a descriptor": for the checker's words
    bool tableHasForm = false;
    std::vector<SchemaSection> sections;

    // The section of that name (case aside); the patches' section for any "NOP_..." name when
    // patchSection is empty, else only for that name. Null for a name the file does not have.
    const SchemaSection* section(std::string_view name, std::string_view patchSection) const;
    // The names a checker offers as near ones: every fixed section name, and the patches' one.
    std::vector<std::string> sectionNames(std::string_view patchSection) const;
};

// Where the files stand, in the program's folder: memcfg\<game>.ini and joycfg\<game>.ini (each
// with a default.ini).
inline constexpr const char* kDescriptorFolder = "memcfg";
inline constexpr const char* kSettingsFolder = "joycfg";
// "memcfg\<game>.ini", as messages name it; "joycfg\<game>.ini".
std::string DescriptorFileName(std::string_view game);
std::string SettingsFileName(std::string_view game);

inline constexpr const char* kPatchSectionPrefix = "NOP_";
// The patches' section of a descriptor: "NOP_" + ExeName.
std::string PatchSectionName(std::string_view exeName);

// The name of the key of that kind the schema gives a target in a section ("P1Trigger"'s bit mask:
// "P1TrigerBitMask", spelled with one g); empty when there is none.
std::string TargetKeyName(const FileSchema& file, std::string_view section, std::string_view target, ValueKind kind);

const FileSchema& DescriptorSchema();
const FileSchema& SettingsSchema();

}  // namespace vt2
