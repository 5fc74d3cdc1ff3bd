#include "engine/descriptor_check.h"

#include <algorithm>
#include <optional>

#include "common/ini.h"
#include "common/ini_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "memory/code_patches.h"
#include "memory/typed_values.h"
#include "outputs/output_table.h"

namespace vt2 {

namespace {

// How the run reads a key's value.
enum class KeyKind {
    Text,
    Whole16,
    Whole32,
    Number,
    KeyCode,
    Address,
    Chain,
    Type,
    InputMask,
    OutputType,
    OutputMask,
    OutputCount,
    PatchCount,
    PatchLength,
    PatchBytes,
    FileSize,
    Sha256
};

struct KnownKey {
    std::string name;
    KeyKind kind;
};

const char* const kAxes[] = {"P1X", "P1Y", "P2X", "P2Y"};
const char* const kButtons[] = {"P1Trigger", "P1Reload", "P2Trigger", "P2Reload", "P1Start", "P1Coin", "P2Start", "P2Coin"};
// The masks of the buttons, in their order: the triggers' are spelled with one g.
const char* const kButtonMasks[] = {"P1TrigerBitMask", "P1ReloadBitMask", "P2TrigerBitMask", "P2ReloadBitMask",
                                    "P1StartBitMask",  "P1CoinBitMask",   "P2StartBitMask",  "P2CoinBitMask"};
const char* const kTypeNames = "byte, 2byte, integer, long, single, float, 8byte, double";

std::vector<KnownKey> InfoKeys() {
    std::vector<KnownKey> keys;
    for (const char* k : {"Name", "WinCaption", "WinClass", "ExeName", "ExePath", "GameType", "ReloadMode"}) {
        keys.push_back({k, KeyKind::Text});
    }
    keys.push_back({"LaunchGame", KeyKind::Number});
    keys.push_back({"ExitMode", KeyKind::Whole32});
    keys.push_back({"NoBorder", KeyKind::Whole32});
    keys.push_back({"ExeSize", KeyKind::FileSize});
    keys.push_back({"ExeSha256", KeyKind::Sha256});
    return keys;
}

std::vector<KnownKey> InputKeys() {
    std::vector<KnownKey> keys{{"Persistent", KeyKind::Whole32}};
    for (const char* a : kAxes) {
        const std::string n = a;
        keys.insert(keys.end(), {{n + "Addr", KeyKind::Address}, {n + "PTR", KeyKind::Chain}, {n + "Type", KeyKind::Type},
                                 {n + "Multi", KeyKind::Whole16}, {n + "Offset", KeyKind::Whole16}});
    }
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const std::string n = kButtons[i];
        keys.insert(keys.end(), {{n + "Addr", KeyKind::Address}, {n + "PTR", KeyKind::Chain}, {n + "Type", KeyKind::Type},
                                 {kButtonMasks[i], KeyKind::InputMask}});
    }
    for (const char* b : {"Bank1", "Bank2", "Bank3"}) {
        keys.insert(keys.end(), {{std::string(b) + "Addr", KeyKind::Address}, {std::string(b) + "PTR", KeyKind::Chain}});
    }
    return keys;
}

std::vector<KnownKey> KeyKeys() {
    std::vector<KnownKey> keys{{"Enable", KeyKind::Whole16}};
    for (const char* p : {"P1", "P2"}) {
        for (const char* k : {"TriggerKey", "ReloadKey", "StartKey", "CoinKey", "ExitKey"}) {
            keys.push_back({std::string(p) + k, KeyKind::KeyCode});
        }
    }
    return keys;
}

const std::vector<KnownKey> kOutputRow{{"Addr", KeyKind::Address},    {"PTR", KeyKind::Chain}, {"Type", KeyKind::OutputType},
                                       {"BitMask", KeyKind::OutputMask}, {"Name", KeyKind::Text}};
const std::vector<KnownKey> kPatchRow{
    {"Addr", KeyKind::Address}, {"PTR", KeyKind::Chain}, {"Len", KeyKind::PatchLength}, {"Replace", KeyKind::PatchBytes}};

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

const KnownKey* RowSuffix(const std::string& suffix, const std::vector<KnownKey>& row) {
    const auto known = std::find_if(row.begin(), row.end(), [&](const KnownKey& k) { return EqualsIgnoreCase(k.name, suffix); });
    return known == row.end() ? nullptr : &*known;
}

// The row number of a numbered key of a known row suffix ("Output12Type": 12), else none.
std::optional<int> RowNumber(const std::string& key, const std::string& prefix, const std::vector<KnownKey>& row) {
    const auto parts = SplitRowKey(key, prefix);
    if (!parts || parts->digits.empty() || !RowSuffix(parts->suffix, row)) return std::nullopt;
    return std::stoi(parts->digits);
}

// The kind of a numbered row's key of rows 1..rows, spelled as the run builds it ("Output12Type",
// never "Output012Type"), else none: found from the key itself, not from a list of every row's keys.
std::optional<KeyKind> RowKeyKind(const std::string& key, const std::string& prefix, const std::vector<KnownKey>& row, int rows) {
    const auto parts = SplitRowKey(key, prefix);
    if (!parts || parts->digits.empty() || parts->digits[0] == '0') return std::nullopt;
    const int n = std::stoi(parts->digits);
    const KnownKey* known = RowSuffix(parts->suffix, row);
    if (n < 1 || n > rows || !known) return std::nullopt;
    return known->kind;
}

std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

class Checker {
public:
    explicit Checker(std::string_view text) : entries_(text), lines_(entries_.lines()) {}

    // Read once: a file of thousands of lines looks each key up in them.
    const std::vector<KnownKey> infoKeys_ = InfoKeys(), inputKeys_ = InputKeys(), keyKeys_ = KeyKeys();
    const std::vector<KnownKey> outputsOwnKeys_{
        {"Enable", KeyKind::Whole16}, {"NumberOutputs", KeyKind::OutputCount}, {"EmuName", KeyKind::Text}};
    const std::vector<KnownKey> patchOwnKeys_{{"NumberNOPs", KeyKind::PatchCount}};

    std::vector<IniProblem> run() {
        exeName_ = firstValue("Info", "ExeName");
        patchSection_ = "NOP_" + exeName_;
        if (exeName_.empty()) {  // the run takes the game's program name: the first NOP_ section stands for it
            for (const IniTextLine& l : lines_) {
                if (l.kind == IniTextLine::Kind::Section && isPatchSection(l.section)) {
                    patchSection_ = l.section;
                    break;
                }
            }
        }
        outputRows_ = std::clamp(ToInt32Field(firstValue("Outputs", "NumberOutputs")).value_or(0), 0, kMaxOutputs);
        patchRows_ = std::clamp(ToInt32Field(firstValue(patchSection(), "NumberNOPs")).value_or(0), 0, kMaxPatchEntries);
        WalkIniLines(lines_, [&](const IniTextLine& line) { checkSection(line); },
                     [&](const IniTextLine& line) { checkEntry(line); }, problems_);
        checkTargetsHaveTypes();
        return std::move(problems_);
    }

private:
    const std::string& patchSection() const { return patchSection_; }

    // The value of the first entry of section/key, as the run reads it; empty when there is none.
    std::string firstValue(const std::string& section, const std::string& key) const { return entries_.value(section, key); }
    const IniTextLine* firstEntry(const std::string& section, const std::string& key) const { return entries_.find(section, key); }

    void say(const IniTextLine& line, const std::string& key, const std::string& text) {
        problems_.push_back({line.number, line.section, key, text});
    }

    bool isPatchSection(const std::string& section) const {
        // Without an ExeName the run takes the game's program name, which only the game tells.
        return exeName_.empty() ? section.size() > 4 && EqualsIgnoreCase(section.substr(0, 4), "NOP_")
                                : EqualsIgnoreCase(section, patchSection());
    }

    void checkSection(const IniTextLine& line) {
        const std::string& s = line.section;
        if (EqualsIgnoreCase(s, "Info") || EqualsIgnoreCase(s, "Inputs") || EqualsIgnoreCase(s, "Keys") ||
            EqualsIgnoreCase(s, "Outputs") || isPatchSection(s)) {
            return;
        }
        if (s.size() > 4 && EqualsIgnoreCase(s.substr(0, 4), "NOP_")) {
            say(line, "", "is not read: the patches' section is named after ExeName, [" + patchSection() + "]");
            return;
        }
        std::vector<std::string> known{"Info", "Inputs", "Keys", "Outputs"};
        if (!exeName_.empty()) known.push_back(patchSection());
        problems_.push_back(UnknownName(line, known, "section of a descriptor"));
    }

    // A section's own keys (for a numbered one, those before its rows); none for a section the
    // descriptor does not have.
    const std::vector<KnownKey>* ownKeys(const std::string& section) const {
        if (EqualsIgnoreCase(section, "Info")) return &infoKeys_;
        if (EqualsIgnoreCase(section, "Inputs")) return &inputKeys_;
        if (EqualsIgnoreCase(section, "Keys")) return &keyKeys_;
        if (EqualsIgnoreCase(section, "Outputs")) return &outputsOwnKeys_;
        if (isPatchSection(section)) return &patchOwnKeys_;
        return nullptr;
    }

    // The key's kind, looked up in one step whatever the number of rows.
    std::optional<KeyKind> kindOf(const std::string& section, const std::string& key, const std::vector<KnownKey>& own) const {
        const auto found = std::find_if(own.begin(), own.end(), [&](const KnownKey& k) { return EqualsIgnoreCase(k.name, key); });
        if (found != own.end()) return found->kind;
        if (EqualsIgnoreCase(section, "Outputs")) return RowKeyKind(key, "Output", kOutputRow, std::max(outputRows_, 1));
        if (isPatchSection(section)) return RowKeyKind(key, "NOP", kPatchRow, std::max(patchRows_, 1));
        return std::nullopt;
    }

    void checkEntry(const IniTextLine& line) {
        const std::vector<KnownKey>* own = ownKeys(line.section);
        if (!own) return;  // an unknown section is said once, at its head
        const std::optional<KeyKind> kind = kindOf(line.section, line.key, *own);
        if (!kind) {
            unknownKey(line, *own);
            return;
        }
        if (line.value.size() >= kIniReadBufferChars) {
            say(line, line.key, "is longer than " + std::to_string(kIniReadBufferChars - 1) +
                                    " characters: the run reads only the first " + std::to_string(kIniReadBufferChars - 1));
        }
        checkValue(line, *kind);
    }

    void unknownKey(const IniTextLine& line, const std::vector<KnownKey>& known) {
        const bool outputs = EqualsIgnoreCase(line.section, "Outputs");
        if (const auto n = RowNumber(line.key, outputs ? "Output" : "NOP", outputs ? kOutputRow : kPatchRow)) {
            const std::string count = outputs ? "NumberOutputs is " + std::to_string(outputRows_)
                                              : "NumberNOPs is " + std::to_string(patchRows_);
            if (*n < 1 || *n > (outputs ? outputRows_ : patchRows_)) {
                say(line, line.key, "is not read: " + count);
                return;
            }
        }
        // The names it may be a slip of: the section's own, and in a numbered section the row of
        // the number it gives (or the first).
        std::vector<std::string> names;
        for (const KnownKey& k : known) names.push_back(k.name);
        const bool numbered = outputs || isPatchSection(line.section);
        if (numbered) {
            const std::string prefix = outputs ? "Output" : "NOP";
            const auto parts = SplitRowKey(line.key, prefix);
            const int rows = std::max(outputs ? outputRows_ : patchRows_, 1);
            const int n = !parts || parts->digits.empty() ? 1 : std::clamp(std::stoi(parts->digits), 1, rows);
            for (const KnownKey& k : outputs ? kOutputRow : kPatchRow) names.push_back(prefix + std::to_string(n) + k.name);
        }
        problems_.push_back(UnknownName(line, names, "key of [" + line.section + "]"));
    }

    void checkValue(const IniTextLine& line, KeyKind kind) {
        const std::string& v = line.value;
        if (v.empty()) return;  // the run's default
        auto bad = [&](const std::string& what) { say(line, line.key, Quoted(v) + " " + what); };
        switch (kind) {
            case KeyKind::Text: return;
            case KeyKind::Whole16:
                if (!ToInt16Field(v)) bad("is no whole number from -32768 to 32767: the run reads 0");
                return;
            case KeyKind::Whole32:
                if (!ToInt32Field(v)) bad("is no whole number: the run reads 0");
                return;
            case KeyKind::Number:
                if (!ParseNumber(v)) bad("is no number: the run reads 0");
                return;
            case KeyKind::KeyCode: {
                const auto code = ToInt16Field(v);
                if (!code || *code < 0 || *code > 255) bad("is no key code (a whole number from 0 to 255)");
                return;
            }
            case KeyKind::Address:
                if (!ToAddress(v, AddressWidth::Bits64)) {
                    bad("is no address (a decimal number, or &H and up to 16 hexadecimal digits): nothing is written there");
                }
                return;
            case KeyKind::Chain: checkChain(line); return;
            case KeyKind::Type:
            case KeyKind::OutputType: checkType(line, kind); return;
            case KeyKind::InputMask: checkInputMask(line); return;
            case KeyKind::OutputMask: checkOutputMask(line); return;
            case KeyKind::OutputCount: checkCount(line, kMaxOutputs, "outputs are read"); return;
            case KeyKind::PatchCount: checkCount(line, kMaxPatchEntries, "patch is written"); return;
            case KeyKind::PatchLength: {
                const auto length = ToInt32Field(v);
                if (!length || *length < 1) {
                    bad("is no length of at least 1 byte: the patch is not written");
                } else if (static_cast<std::size_t>(*length) > kMaxPatchLength) {
                    bad("is more than " + std::to_string(kMaxPatchLength) + " bytes: the patch is not written");
                }
                return;
            }
            case KeyKind::FileSize: {
                const auto size = ParseWholeNumber(v);
                if (!size || *size < 0) bad("is no file size (a whole number of bytes): the build is not compared");
                return;
            }
            case KeyKind::Sha256:
                if (v.size() != 64 || v.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                    bad("is no SHA-256 (64 hexadecimal digits, as sha256sum prints them): the build is not compared");
                }
                return;
            case KeyKind::PatchBytes: {
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

    void checkChain(const IniTextLine& line) {
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

    void checkType(const IniTextLine& line, KeyKind kind) {
        const ValueType type = ParseValueType(line.value);
        if (type == ValueType::Unknown) {
            std::vector<std::string> names;
            for (const std::string& n : SplitText(kTypeNames, ',')) names.push_back(TrimBlanks(n));
            std::string nearest = NearestName(line.value, names);
            say(line, line.key, Quoted(line.value) + " is no type name" + (nearest.empty() ? std::string() : " (did you mean " + nearest + "?)") +
                                    "; the types are " + kTypeNames + ", in small letters");
        } else if (kind == KeyKind::OutputType && type == ValueType::TwoByte) {
            say(line, line.key, "2byte is only written, never read: the output stays 0 (integer reads 2 bytes)");
        }
    }

    // The type the run takes for the target a key belongs to: "<target>Type" of the same section.
    std::string typeOf(const IniTextLine& line, const std::string& target) const {
        return firstValue(line.section, target + "Type");
    }

    void checkInputMask(const IniTextLine& line) {
        const auto mask = ToInt16Field(line.value);
        if (!mask) {
            say(line, line.key, Quoted(line.value) + " is no whole number from -32768 to 32767: the run reads no mask");
            return;
        }
        if (*mask == 0) return;
        const auto place = std::find_if(std::begin(kButtonMasks), std::end(kButtonMasks),
                                        [&](const char* m) { return EqualsIgnoreCase(m, line.key); });
        const std::string type = typeOf(line, kButtons[place - std::begin(kButtonMasks)]);
        if (ParseValueType(type) != ValueType::Byte) {
            say(line, line.key, "is a bit mask on type " + (type.empty() ? std::string("(none)") : type) +
                                    ", but with a mask only type byte is written: nothing is");
        } else if (*mask > 255 || *mask < -255) {
            say(line, line.key, "has bits beyond the byte (a mask is -255 to 255 for type byte): those bits are never set");
        }
    }

    void checkOutputMask(const IniTextLine& line) {
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

    void checkCount(const IniTextLine& line, int most, const std::string& nothing) {
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
            const IniTextLine* addr = firstEntry(section, target + "Addr");
            const IniTextLine* ptr = firstEntry(section, target + "PTR");
            const IniTextLine* at = ptr && !ptr->value.empty() ? ptr : addr && !addr->value.empty() ? addr : nullptr;
            if (at && firstValue(section, target + "Type").empty()) {
                say(*at, at->key, "gives an address but " + target + "Type is missing: nothing is " +
                                      (section == "Outputs" ? "read" : "written"));
            }
        };
        for (const char* a : kAxes) check("Inputs", a);
        for (const char* b : kButtons) check("Inputs", b);
        for (int n = 1; n <= outputRows_; ++n) check("Outputs", "Output" + std::to_string(n));
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
    }

    IniEntries entries_;
    const std::vector<IniTextLine>& lines_;
    std::string exeName_;
    std::string patchSection_;
    int outputRows_ = 0;
    int patchRows_ = 0;
    std::vector<IniProblem> problems_;
};

}  // namespace

std::vector<IniProblem> CheckDescriptorText(std::string_view text) { return Checker(text).run(); }

}  // namespace vt2
