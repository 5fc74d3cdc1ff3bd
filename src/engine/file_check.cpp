#include "engine/file_check.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "common/ini.h"
#include "common/ini_lines.h"
#include "common/numbers.h"
#include "common/text.h"
#include "input/aim_area.h"
#include "input/aim_settings.h"
#include "memory/code_patches.h"
#include "memory/typed_values.h"
#include "outputs/gun_commands.h"
#include "outputs/output_table.h"

namespace vt2 {

namespace {

// The limits the run keeps are the limits the schema tells of.
static_assert(kMaxOutputs == 1024 && kMaxPatchEntries == 4096);

const char* const kTypeNames = "byte, 2byte, integer, long, single, float, 8byte, double";

// A numbered key split as "<prefix><digits><suffix>" ("Output12Type": "12", "Type"), at most six
// digits; none when it does not start with the prefix.
struct RowKeyParts {
    std::string digits;  // may be empty
    std::string suffix;
};
std::optional<RowKeyParts> SplitRowKey(const std::string& key, const std::string& prefix) {
    if (key.size() <= prefix.size() || !EqualsIgnoreCase(key.substr(0, prefix.size()), prefix)) return std::nullopt;
    std::size_t end = prefix.size();
    while (end < key.size() && key[end] >= '0' && key[end] <= '9') ++end;
    if (end - prefix.size() > 6) return std::nullopt;
    return RowKeyParts{key.substr(prefix.size(), end - prefix.size()), key.substr(end)};
}

const SchemaKey* FindKey(const std::vector<SchemaKey>& keys, const std::string& name) {
    const auto known = std::find_if(keys.begin(), keys.end(), [&](const SchemaKey& k) { return EqualsIgnoreCase(k.name, name); });
    return known == keys.end() ? nullptr : &*known;
}

// The row number of a numbered key of a known row suffix ("Output12Type": 12), else none.
std::optional<int> RowNumber(const std::string& key, const std::string& prefix, const std::vector<SchemaKey>& row) {
    const auto parts = SplitRowKey(key, prefix);
    if (!parts || parts->digits.empty() || !FindKey(row, parts->suffix)) return std::nullopt;
    return std::stoi(parts->digits);
}

// The schema's key of a numbered row's key of rows 1..rows, spelled as the run builds it
// ("Output12Type", never "Output012Type"), else none: found from the key itself, not from a list
// of every row's keys.
const SchemaKey* RowKey(const std::string& key, const std::string& prefix, const std::vector<SchemaKey>& row, int rows) {
    const auto parts = SplitRowKey(key, prefix);
    if (!parts || parts->digits.empty() || parts->digits[0] == '0') return nullptr;
    const int n = std::stoi(parts->digits);
    const SchemaKey* known = FindKey(row, parts->suffix);
    return n < 1 || n > rows ? nullptr : known;
}

std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

// What the checker knows of one section of the schema: its keys, and its name in this file.
struct KnownSection {
    const SchemaSection* schema = nullptr;
    std::vector<SchemaKey> own;
    std::vector<SchemaKey> row;
    std::string name;  // as this file names it (the patches' section after ExeName)
    int rows = 0;      // how many numbered rows the run reads
};

class Checker {
public:
    Checker(std::string_view text, const FileSchema& schema) : schema_(schema), entries_(text), lines_(entries_.lines()) {}

    std::vector<IniProblem> run() {
        exeName_ = firstValue("Info", "ExeName");
        patchSection_ = PatchSectionName(exeName_);
        if (exeName_.empty()) {  // the run takes the game's program name: the first NOP_ section stands for it
            for (const IniLine& l : lines_) {
                if (l.kind == IniLine::Kind::Section && l.section.size() > 4 && EqualsIgnoreCase(l.section.substr(0, 4), kPatchSectionPrefix)) {
                    patchSection_ = l.section;
                    break;
                }
            }
        }
        // Read once: a file of thousands of lines looks each key up in them.
        for (const SchemaSection& s : schema_.sections) {
            KnownSection k{&s, s.ownKeys(), s.rowKeys(), s.namedAfterExe ? patchSection_ : s.names.front(), 0};
            if (!s.rowCountKey.empty()) k.rows = std::clamp(ToInt32Field(firstValue(k.name, s.rowCountKey)).value_or(0), 0, s.maxRows);
            known_.push_back(std::move(k));
        }
        WalkIniLines(lines_, [&](const IniLine& line) { checkSection(line); },
                     [&](const IniLine& line) { checkEntry(line); }, problems_);
        checkTargetsHaveTypes();
        return std::move(problems_);
    }

private:
    // The value of the first entry of section/key, as the run reads it; empty when there is none.
    std::string firstValue(const std::string& section, const std::string& key) const { return entries_.value(section, key); }
    const IniLine* firstEntry(const std::string& section, const std::string& key) const { return entries_.find(section, key); }

    void say(const IniLine& line, const std::string& key, const std::string& text) {
        problems_.push_back({line.number, line.section, key, text});
    }

    // Without an ExeName the run takes the game's program name, which only the game tells: then
    // any NOP_ section may be the patches'.
    std::string patchSectionAsRead() const { return exeName_.empty() ? std::string() : patchSection_; }

    const KnownSection* knownSection(const std::string& name) const {
        const SchemaSection* s = schema_.section(name, patchSectionAsRead());
        if (!s) return nullptr;
        return &*std::find_if(known_.begin(), known_.end(), [&](const KnownSection& k) { return k.schema == s; });
    }

    void checkSection(const IniLine& line) {
        const std::string& s = line.section;
        if (knownSection(s)) return;
        const bool hasPatches = std::any_of(schema_.sections.begin(), schema_.sections.end(), [](const SchemaSection& x) { return x.namedAfterExe; });
        if (hasPatches && s.size() > 4 && EqualsIgnoreCase(s.substr(0, 4), kPatchSectionPrefix)) {
            say(line, "", "is not read: the patches' section is named after ExeName, [" + patchSection_ + "]");
            return;
        }
        problems_.push_back(UnknownName(line, schema_.sectionNames(patchSectionAsRead()), schema_.sectionWhat));
    }

    // The schema's key, looked up in one step whatever the number of rows.
    const SchemaKey* keyOf(const KnownSection& section, const std::string& key) const {
        if (const SchemaKey* own = FindKey(section.own, key)) return own;
        if (section.schema->rowPrefix.empty()) return nullptr;
        return RowKey(key, section.schema->rowPrefix, section.row, std::max(section.rows, 1));
    }

    void checkEntry(const IniLine& line) {
        const KnownSection* section = knownSection(line.section);
        if (!section) return;  // an unknown section is said once, at its head
        const SchemaKey* key = keyOf(*section, line.key);
        if (!key) {
            unknownKey(line, *section);
            return;
        }
        if (!key->onlyIn.empty() && !EqualsIgnoreCase(key->onlyIn, line.section)) {
            say(line, line.key, "is read only in [" + key->onlyIn + "]: it is not read here");
            return;
        }
        if (line.valueLength >= kIniReadBufferChars) {
            say(line, line.key, "is longer than " + std::to_string(kIniReadBufferChars - 1) +
                                    " characters: the run reads only the first " + std::to_string(kIniReadBufferChars - 1));
        }
        checkValue(line, *key);
    }

    void unknownKey(const IniLine& line, const KnownSection& section) {
        const std::string& prefix = section.schema->rowPrefix;
        const bool numbered = !prefix.empty();
        if (numbered) {
            if (const auto n = RowNumber(line.key, prefix, section.row); n && (*n < 1 || *n > section.rows)) {
                say(line, line.key, "is not read: " + section.schema->rowCountKey + " is " + std::to_string(section.rows));
                return;
            }
        }
        // The names it may be a slip of: the section's own, and in a numbered section the row of
        // the number it gives (or the first).
        std::vector<std::string> names;
        for (const SchemaKey& k : section.own) names.push_back(k.name);
        if (numbered) {
            const auto parts = SplitRowKey(line.key, prefix);
            const int rows = std::max(section.rows, 1);
            const int n = !parts || parts->digits.empty() ? 1 : std::clamp(std::stoi(parts->digits), 1, rows);
            for (const SchemaKey& k : section.row) names.push_back(prefix + std::to_string(n) + k.name);
        }
        problems_.push_back(UnknownName(line, names, "key of [" + line.section + "]"));
    }

    void checkValue(const IniLine& line, const SchemaKey& key) {
        const ValueKind kind = key.kind;
        const std::string& v = line.value;
        if (v.empty()) return;  // the run's default
        auto bad = [&](const std::string& what) { say(line, line.key, Quoted(v) + " " + what); };
        switch (kind) {
            case ValueKind::Text: return;
            case ValueKind::Whole16:
                if (!ToInt16Field(v)) bad("is no whole number from -32768 to 32767: the run reads 0");
                return;
            case ValueKind::Whole32:
                if (!ToInt32Field(v)) bad("is no whole number: the run reads 0");
                return;
            case ValueKind::Number:
                if (!ParseNumber(v)) bad("is no number: the run reads 0");
                return;
            case ValueKind::KeyCode: {
                const auto code = ToInt16Field(v);
                if (!code || *code < 0 || *code > 255) bad("is no key code (a whole number from 0 to 255)");
                return;
            }
            case ValueKind::Address:
                if (!ToAddress(v, AddressWidth::Bits64)) {
                    bad("is no address (a decimal number, or &H and up to 16 hexadecimal digits): nothing is written there");
                }
                return;
            case ValueKind::Chain: checkChain(line); return;
            case ValueKind::Type:
            case ValueKind::OutputType: checkType(line, kind); return;
            case ValueKind::InputMask: checkInputMask(line, key); return;
            case ValueKind::OutputMask: checkOutputMask(line); return;
            case ValueKind::OutputCount: checkCount(line, kMaxOutputs, "outputs are read"); return;
            case ValueKind::PatchCount: checkCount(line, kMaxPatchEntries, "patch is written"); return;
            case ValueKind::PatchLength: {
                const auto length = ToInt32Field(v);
                if (!length || *length < 1) {
                    bad("is no length of at least 1 byte: the patch is not written");
                } else if (static_cast<std::size_t>(*length) > kMaxPatchLength) {
                    bad("is more than " + std::to_string(kMaxPatchLength) + " bytes: the patch is not written");
                }
                return;
            }
            case ValueKind::FileSize: {
                const auto size = ParseWholeNumber(v);
                if (!size || *size < 0) bad("is no file size (a whole number of bytes): the build is not compared");
                return;
            }
            case ValueKind::Sha256:
                if (v.size() != 64 || v.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                    bad("is no SHA-256 (64 hexadecimal digits, as sha256sum prints them): the build is not compared");
                }
                return;
            case ValueKind::Rounded16:
                if (!ToInt16Rounded(v)) bad("is no number from -32768 to 32767: the run reads 0 (-1 for a key)");
                return;
            case ValueKind::InputType: {
                const std::string type = ToLowerAscii(v);
                if (type != "mouse" && type != "lightgun" && type != "joystick") bad("is no input type (mouse, lightgun or joystick)");
                return;
            }
            case ValueKind::GunKind:
                if (!ParseGunKind(v)) bad("is no gun kind (firmware, smfb, zs or tcp): that gun gets nothing");
                return;
            case ValueKind::AimArea:
                if (!ParseAimAreaKind(v)) bad("is no area (Screen, Window, Picture or Calibrated): the aim covers the primary screen");
                return;
            case ValueKind::Aspect:
                if (!ParseAspectRatio(v)) bad("is no W:H: the picture is taken as 4:3");
                return;
            case ValueKind::CalibratedEdge: {
                const auto edge = ParseNumber(v);
                if (!edge || std::fabs(*edge) > 1000.0) bad("is no calibrated edge (a number from -1000 to 1000): the player is not calibrated");
                return;
            }
            case ValueKind::PatchBytes: {
                const std::vector<std::string> fields = SplitText(v, '|');
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    if (!ToByteField(fields[i])) {
                        bad("has " + Quoted(fields[i]) + " as byte " + std::to_string(i + 1) +
                            ", which is no byte value (0 to 255): that byte is left as it is");
                    }
                }
                return;
            }
        }
    }

    void checkChain(const IniLine& line) {
        const std::vector<std::string> fields = SplitText(line.value, '|');
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string field = TrimBlanks(fields[i]);
            if (!field.empty() && !ToAddress(field, AddressWidth::Bits64)) {
                say(line, line.key, "is a malformed pointer chain: field " + std::to_string(i + 1) + " " + Quoted(fields[i]) +
                                        " is no address, so the chain leads nowhere and nothing is written");
                return;
            }
        }
    }

    void checkType(const IniLine& line, ValueKind kind) {
        const ValueType type = ParseValueType(line.value);
        if (type == ValueType::Unknown) {
            std::vector<std::string> names;
            for (const std::string& n : SplitText(kTypeNames, ',')) names.push_back(TrimBlanks(n));
            std::string nearest = NearestName(line.value, names);
            say(line, line.key, Quoted(line.value) + " is no type name" + (nearest.empty() ? std::string() : " (did you mean " + nearest + "?)") +
                                    "; the types are " + kTypeNames + ", in small letters");
        } else if (kind == ValueKind::OutputType && type == ValueType::TwoByte) {
            say(line, line.key, "2byte is only written, never read: the output stays 0 (integer reads 2 bytes)");
        }
    }

    // The type the run takes for the target a key belongs to: "<target>Type" of the same section.
    std::string typeOf(const IniLine& line, const std::string& target) const {
        return firstValue(line.section, target + "Type");
    }

    void checkInputMask(const IniLine& line, const SchemaKey& key) {
        const auto mask = ToInt16Field(line.value);
        if (!mask) {
            say(line, line.key, Quoted(line.value) + " is no whole number from -32768 to 32767: the run reads no mask");
            return;
        }
        if (*mask == 0) return;
        const std::string type = typeOf(line, key.target);
        if (ParseValueType(type) != ValueType::Byte) {
            say(line, line.key, "is a bit mask on type " + (type.empty() ? std::string("(none)") : type) +
                                    ", but with a mask only type byte is written: nothing is");
        } else if (*mask > 255 || *mask < -255) {
            say(line, line.key, "has bits beyond the byte (a mask is -255 to 255 for type byte): those bits are never set");
        }
    }

    void checkOutputMask(const IniLine& line) {
        const ReadMask mask = ParseReadMask(line.value);
        if (mask.kind == ReadMask::Kind::BadRange) {
            say(line, line.key, Quoted(line.value) + " is a malformed range form (swd|f1|f2|f3|f4 or swp|f1|f2|f3|f4, " +
                                    "four whole numbers): the output reads 0");
        } else if (mask.kind == ReadMask::Kind::Range && mask.form == ReadMask::Form::Other) {
            say(line, line.key, Quoted(line.value) + " is a range form that starts with neither swd nor swp: the output reads 0");
        } else if (mask.kind == ReadMask::Kind::None && !ToInt16Field(line.value)) {
            say(line, line.key, Quoted(line.value) + " is no number and no range form: the run reads no mask");
        } else if (mask.kind == ReadMask::Kind::Bits && mask.bits > 255) {
            say(line, line.key, "has bits beyond the byte (a mask reads the byte at the address): the output stays 0");
        }
    }

    void checkCount(const IniLine& line, int most, const std::string& nothing) {
        const auto count = ToInt32Field(line.value);
        if (!count || *count < 0) {
            say(line, line.key, Quoted(line.value) + " is no count (a whole number from 0): no " + nothing);
        } else if (*count > most) {
            say(line, line.key, Quoted(line.value) + " is more than " + std::to_string(most) + ": no " + nothing);
        }
    }

    // A target with an address but no type is never written (nor an output read).
    void checkTargetsHaveTypes() {
        auto check = [&](const std::string& section, const std::string& target) {
            const IniLine* addr = firstEntry(section, target + "Addr");
            const IniLine* ptr = firstEntry(section, target + "PTR");
            const IniLine* at = ptr && !ptr->value.empty() ? ptr : addr && !addr->value.empty() ? addr : nullptr;
            if (at && firstValue(section, target + "Type").empty()) {
                say(*at, at->key, "gives an address but " + target + "Type is missing: nothing is " +
                                      (section == "Outputs" ? "read" : "written"));
            }
        };
        for (const KnownSection& section : known_) {
            // A target is what has an Addr key and a Type key: the schema's own targets, and each
            // numbered row the run reads.
            const bool rowsHaveTypes = FindKey(section.row, "Addr") && FindKey(section.row, "Type");
            for (int n = 1; rowsHaveTypes && n <= section.rows; ++n) check(section.name, section.schema->rowPrefix + std::to_string(n));
            for (const SchemaKey& k : section.own) {
                if (k.kind == ValueKind::Address && !k.target.empty() && FindKey(section.own, k.target + "Type")) check(section.name, k.target);
            }
        }
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
    }

    const FileSchema& schema_;
    IniEntries entries_;
    const std::vector<IniLine>& lines_;
    std::string exeName_;
    std::string patchSection_;
    std::vector<KnownSection> known_;
    std::vector<IniProblem> problems_;
};

}  // namespace

std::vector<IniProblem> CheckFileText(std::string_view text, const FileSchema& schema) { return Checker(text, schema).run(); }

}  // namespace vt2
