#include "engine/running_game_check.h"

#include <algorithm>

#include "common/file_schema.h"
#include "common/ini_lines.h"
#include "common/numbers.h"
#include "common/sha256.h"
#include "common/text.h"
#include "memory/address_resolution.h"
#include "memory/code_patches.h"
#include "memory/typed_values.h"
#include "outputs/output_table.h"
#include "platform/file_system.h"
#include "platform/module_list.h"
#include "platform/window_system.h"

namespace vt2 {

namespace {

std::size_t WrittenWidth(ValueType type) {
    switch (type) {
        case ValueType::Byte: return 1;
        case ValueType::TwoByte:
        case ValueType::Integer: return 2;
        case ValueType::Long:
        case ValueType::Single:
        case ValueType::Float: return 4;
        case ValueType::EightByte:
        case ValueType::Double: return 8;
        case ValueType::Unknown: return 0;
    }
    return 0;
}

class TargetChecker {
public:
    TargetChecker(const IniEntries& entries, GameModule& module, MemoryManager& memory, std::vector<IniProblem>& problems)
        : entries_(entries), module_(module), memory_(memory), problems_(problems),
          moduleFound_(EnsureModuleBase(module).has_value()) {}

    // target's memory of width bytes from its PTR, else its Addr, is there and, when it must be, writable.
    void check(const std::string& section, const std::string& target, std::size_t width, bool mustWrite) {
        const IniLine* ptr = entries_.find(section, target + "PTR");
        const IniLine* addr = entries_.find(section, target + "Addr");
        const IniLine* at = ptr && !ptr->value.empty() ? ptr : addr && !addr->value.empty() ? addr : nullptr;
        if (!at || width == 0) return;
        auto say = [&](const std::string& text) { problems_.push_back({at->number, at->section, at->key, text}); };
        if (at == ptr && !moduleFound_) {
            say("is not followed: the game's program module was not found, so no pointer chain is (nothing is " +
                std::string(mustWrite ? "written" : "read") + " through it)");
            return;
        }
        const std::optional<GameAddress> address =
            at == ptr ? ResolvePointer(module_, ptr->value) : ToAddress(addr->value, AddressWidthOf(module_));
        if (!address) return;  // malformed: the text's own problem, said already
        const std::string where = HexAddress(*address);
        if (*address == 0 || *address > TopAddress(AddressWidthOf(module_)) - (width - 1)) {
            say("leads to " + where + ", which is no place in the game's memory: nothing is " + (mustWrite ? "written" : "read"));
            return;
        }
        const MemoryAccess first = memory_.accessAt(*address);
        const MemoryAccess last = memory_.accessAt(*address + width - 1);
        if (first == MemoryAccess::Unmapped || last == MemoryAccess::Unmapped) {
            say("leads to " + where + ", which is not mapped in the running game" +
                (at == ptr ? " (a pointer on the way may not be set yet)" : "") + ": nothing is " +
                (mustWrite ? "written" : "read"));
        } else if (mustWrite && (first != MemoryAccess::Writable || last != MemoryAccess::Writable)) {
            say("leads to " + where + ", which the running game keeps read-only: nothing is written");
        }
    }

private:
    const IniEntries& entries_;
    GameModule& module_;
    MemoryManager& memory_;
    std::vector<IniProblem>& problems_;
    bool moduleFound_;
};

// The width of a numbered row's place: a patch's length, an output's read.
std::size_t RowWidth(const IniEntries& entries, const std::string& section, const std::string& row) {
    if (const IniLine* len = entries.find(section, row + "Len")) {
        const auto length = ToInt32Field(len->value);
        return length && *length >= 1 && static_cast<std::size_t>(*length) <= kMaxPatchLength ? static_cast<std::size_t>(*length) : 0;
    }
    return ReadWidth(ParseValueType(entries.value(section, row + "Type")), ParseReadMask(entries.value(section, row + "BitMask")));
}

}  // namespace

RunningGameCheck CheckAgainstRunningGame(const RunningGameServices& os, std::string_view descriptorText) {
    RunningGameCheck check;
    const IniEntries entries(descriptorText);
    const std::string winClass = entries.value("Info", "WinClass");
    const std::string caption = entries.value("Info", "WinCaption");
    if (winClass.empty() && caption.empty()) {
        check.said = "The descriptor names no window: the game cannot be found, and its addresses were not checked.";
        return check;
    }
    const WindowHandle window = os.windows.findWindow(winClass, caption.empty() ? std::nullopt : std::optional(caption));
    const std::uint32_t processId = window ? os.windows.windowProcessId(window) : 0;
    MemoryManager memory(os.memory);
    if (processId != 0) memory.PID(static_cast<std::int32_t>(processId));
    if (!memory.isOpen()) {
        check.said = processId == 0 ? "The game is not running: its addresses were not checked (start it, then check again)."
                                    : "The game runs but its memory cannot be opened (start this with the game's rights): "
                                      "its addresses were not checked.";
        return check;
    }
    check.running = true;
    GameAddress base = 0;
    std::string exeName = entries.value("Info", "ExeName");
    GameModule module{os.modules, &memory, base, exeName};
    const std::string named = exeName.empty() ? std::string("the first program module") : exeName;
    check.said = EnsureModuleBase(module)
                     ? "Checked against the running game (process " + std::to_string(processId) + ", " + exeName + " at " +
                           HexAddress(base) + ")."
                     : "Checked against the running game (process " + std::to_string(processId) + "); its program module (" +
                           named + ") was not found: pointer chains are not followed.";

    // Every place the schema names: a target's width is that of its type (a target without a Type
    // key is a byte); code is read-only to the game, the patch makes it writable for its own write.
    TargetChecker targets(entries, module, memory, check.problems);
    for (const SchemaSection& section : DescriptorSchema().sections) {
        const std::string name = section.namedAfterExe ? PatchSectionName(exeName) : section.names.front();
        const std::vector<SchemaKey> own = section.ownKeys();
        for (const SchemaRow& row : section.rows) {
            const bool places = std::any_of(row.keys.begin(), row.keys.end(), [](const SchemaKey& k) { return k.kind == ValueKind::Address; });
            if (!places) continue;
            if (row.numbered) {
                const int count = std::clamp(ToInt32Field(entries.value(name, section.rowCountKey)).value_or(0), 0, section.maxRows);
                for (int n = 1; n <= count; ++n) {
                    const std::string entry = section.rowPrefix + std::to_string(n);
                    targets.check(name, entry, RowWidth(entries, name, entry), false);
                }
                continue;
            }
            for (const std::string& t : row.targets) {
                const bool typed = std::any_of(own.begin(), own.end(), [&](const SchemaKey& k) { return k.name == t + "Type"; });
                targets.check(name, t, typed ? WrittenWidth(ParseValueType(entries.value(name, t + "Type"))) : 1, row.written);
            }
        }
    }

    const auto program = FindProgramModule(os.modules, processId, exeName);
    if (const auto mismatch = BuildMismatch(os.files, program ? program->path : std::string(), entries.value("Info", "ExeSize"),
                                            entries.value("Info", "ExeSha256"))) {
        const IniLine* pin = entries.find("Info", "ExeSha256");
        if (!pin || pin->value.empty()) pin = entries.find("Info", "ExeSize");
        check.problems.push_back({pin->number, pin->section, pin->key, "does not match: " + *mismatch});
    }
    std::stable_sort(check.problems.begin(), check.problems.end(),
                     [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
    return check;
}

std::optional<std::string> BuildMismatch(FileSystem& files, const std::string& programPath, const std::string& sizeText,
                                         const std::string& sha256Text) {
    const std::string size = TrimBlanks(sizeText);
    std::string sha256 = ToLowerAscii(TrimBlanks(sha256Text));
    // A text that is no digest is the descriptor's own problem, said by its checker: not compared.
    if (sha256.size() != 64 || sha256.find_first_not_of("0123456789abcdef") != std::string::npos) sha256.clear();
    if (size.empty() && sha256.empty()) return std::nullopt;
    const auto digest = programPath.empty() ? std::nullopt : DigestOfFile(files, programPath, !sha256.empty());
    if (!digest) return "the game's program file cannot be read, so its build was not compared";
    const bool sizeDiffers = !size.empty() && size != std::to_string(digest->size);
    if (!sizeDiffers && digest->sha256 == sha256) return std::nullopt;
    return "the game's program is another build than the descriptor was written for (it has ExeSize=" +
           std::to_string(digest->size) + (sha256.empty() ? std::string() : " and ExeSha256=" + digest->sha256) +
           "): the addresses may be wrong";
}

std::optional<FileDigest> DigestOfFile(FileSystem& files, const std::string& path, bool withSha256) {
    FileDigest digest;
    Sha256 hash;
    // In pieces of 1 MB: a program of 500 MB is never held whole (a 32-bit VT2 could not).
    for (;;) {
        const std::optional<std::string> piece = files.readFilePart(path, digest.size, kDigestPiece);
        if (!piece) return std::nullopt;
        digest.size += piece->size();
        if (withSha256) hash.update(*piece);
        if (piece->size() < kDigestPiece) break;
    }
    if (withSha256) digest.sha256 = hash.hexDigest();
    return digest;
}

}  // namespace vt2
