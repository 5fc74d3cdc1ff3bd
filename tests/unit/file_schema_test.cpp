#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>

#include "adapters/portable/portable_ini_files.h"
#include "common/file_schema.h"
#include "common/file_schema_table.h"
#include "common/text.h"
#include "engine/engine.h"
#include "engine/file_check.h"
#include "engine/game_descriptor.h"
#include "engine/input_map.h"
#include "input/aim_settings.h"
#include "input/player_settings.h"
#include "memory/code_patches.h"
#include "outputs/output_table.h"
#include "support/fake_platform.h"
#include "support/shipped_files.h"

namespace vt2::test {
namespace {

// The guide's part for one file: the descriptor's tables stand before the settings' heading.
constexpr const char* kSettingsHeading = "## The players' settings";

// Where the table that follows a section's heading ("### [Info]...") stands in the guide, from
// `from` on: its first line and its end; none when the heading is missing.
std::optional<std::pair<std::size_t, std::size_t>> GuideTable(const std::string& guide, std::size_t from, const std::string& heading) {
    const std::size_t at = guide.find("\n" + heading, from);
    if (at == std::string::npos) return std::nullopt;
    std::size_t start = guide.find("\n|", at);
    if (start == std::string::npos) return std::nullopt;
    ++start;
    std::size_t end = start;
    while (end < guide.size() && guide[end] == '|') end = guide.find('\n', end) + 1;
    return std::pair{start, end};
}

std::string Heading(const SchemaSection& section) {
    std::string heading = "### ";
    for (std::size_t i = 0; i < section.names.size(); ++i) heading += (i ? ", [" : "[") + section.names[i] + "]";
    return heading;
}

TEST(FileSchema, TheGuidesKeyTablesAreMadeFromTheSchema) {
    std::string guide = kDescriptorsGuide;
    const std::size_t split = guide.find(kSettingsHeading);
    ASSERT_NE(split, std::string::npos);
    bool rewritten = false;
    for (const auto& [file, part] : {std::pair{&DescriptorSchema(), std::size_t{0}}, std::pair{&SettingsSchema(), split}}) {
        for (const SchemaSection& section : file->sections) {
            const std::string wanted = SchemaTable(*file, section);
            const auto there = GuideTable(guide, part, Heading(section));
            if (there && guide.substr(there->first, there->second - there->first) == wanted) continue;
            // VT2_WRITE_GUIDE_TABLES=1 writes the tables into the guide instead of failing.
            if (std::getenv("VT2_WRITE_GUIDE_TABLES") && there) {
                guide.replace(there->first, there->second - there->first, wanted);
                rewritten = true;
                continue;
            }
            ADD_FAILURE() << Heading(section) << ": docs/descriptors.md should have this table under its heading:\n" << wanted;
        }
    }
    if (rewritten) std::ofstream(kDescriptorsGuidePath, std::ios::binary | std::ios::trunc) << guide;
}

TEST(FileSchema, EveryKeyIsInOneSectionOnceAndEveryTargetKeyHasItsTarget) {
    for (const FileSchema* file : {&DescriptorSchema(), &SettingsSchema()}) {
        for (const SchemaSection& section : file->sections) {
            std::set<std::string> seen;
            for (const SchemaKey& key : section.ownKeys()) {
                EXPECT_TRUE(seen.insert(ToLowerAscii(key.name)).second) << key.name << " twice in " << section.names.front();
                if (key.kind == ValueKind::InputMask) {
                    EXPECT_FALSE(key.target.empty()) << key.name << " masks no target";
                }
            }
            for (const SchemaKey& key : section.rowKeys()) EXPECT_FALSE(section.rowPrefix.empty()) << key.name;
        }
    }
    EXPECT_EQ(TargetKeyName(DescriptorSchema(), "Inputs", "P1Trigger", ValueKind::InputMask), "P1TrigerBitMask");
    EXPECT_EQ(TargetKeyName(DescriptorSchema(), "inputs", "P2Coin", ValueKind::InputMask), "P2CoinBitMask");
    EXPECT_EQ(TargetKeyName(DescriptorSchema(), "Inputs", "P1X", ValueKind::InputMask), "");
    EXPECT_EQ(DescriptorFileName("demo"), "memcfg\\demo.ini");
    EXPECT_EQ(PatchSectionName("game.exe"), "NOP_game.exe");
}

// A key added to a schema is known to the checker and shown in the guide's table, with nothing
// else changed: a plain key, a target's key and a numbered row's key.
TEST(FileSchema, AKeyAddedToATestSchemaIsKnownToTheCheckerAndShownInItsTable) {
    struct Case {
        const char* section;
        SchemaRow row;
        const char* line;      // a line of the new key, in that section
        const char* badLine;   // the same key with a value of the wrong kind
        const char* shown;     // what the table shows of it
    };
    const Case cases[] = {
        {"Info", {{{"Volume", ValueKind::Whole16}}, "16-bit", "0", "how loud", {}, false, false},
         "Volume=12", "Volume=loud", "| `Volume` | 16-bit | 0 | how loud |"},
        {"Inputs", {{{"Rumble", ValueKind::Address}}, "address", "0", "the motor", {"P1", "P2"}, false, false},
         "P2Rumble=&H400", "P2Rumble=&HZZ", "| `T Rumble` for T in `P1`, `P2` | address | 0 | the motor |"},
        {"Outputs", {{{"Scale", ValueKind::Number}}, "number", "1", "times the value", {}, true, false},
         "Output1Scale=2.5", "Output1Scale=x", "| `Output n Scale` | number | 1 | times the value |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        FileSchema schema = DescriptorSchema();
        // Line 3 is the new key's; a numbered row is read when the count says so.
        const std::string head = std::string("[") + c.section + "]\n" + (c.row.numbered ? "NumberOutputs=1\n" : "; a comment\n");
        const std::string text = head + c.line + "\n";
        const std::string bad = head + c.badLine + "\n";
        ASSERT_EQ(CheckDescriptorText(text).size(), 1u);  // the real schema has no such key
        auto section = std::find_if(schema.sections.begin(), schema.sections.end(), [&](const SchemaSection& s) { return s.named(c.section); });
        ASSERT_NE(section, schema.sections.end());
        section->rows.push_back(c.row);
        EXPECT_EQ(CheckFileText(text, schema), std::vector<IniProblem>{});
        const std::vector<IniProblem> problems = CheckFileText(bad, schema);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].line, 3);
        EXPECT_NE(SchemaTable(schema, *section).find(std::string(c.shown) + "\n"), std::string::npos) << SchemaTable(schema, *section);
    }
    FileSchema settings = SettingsSchema();
    settings.sections.push_back({{"Lamps"}, false, {}, {}, 0, {{{{"Port", ValueKind::Rounded16}}, {}, "0", "a port", {}, false, false}}});
    EXPECT_EQ(CheckSettingsText("[Lamps]\nPort=3\n").size(), 1u);
    EXPECT_EQ(CheckFileText("[Lamps]\nPort=3\n", settings), std::vector<IniProblem>{});
    EXPECT_EQ(SchemaTable(settings, settings.sections.back()), "| Key | Default | Meaning |\n|---|---|---|\n| `Port` | 0 | a port |\n");
}

// The checker reads a file as the run does: quotes of either kind, any line ends, Ctrl-Z a blank,
// the last "]" closing a header; and a key of one player's only is said where it is not read.
TEST(FileSchema, TheCheckerReadsEachFormOfAFileAsTheRunReadsIt) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<IniProblem> problems;
    };
    const Case cases[] = {
        {"single quotes", "[Inputs]\nP1XAddr=&H400\nP1XType='long'\n", {}},
        {"double quotes", "[Inputs]\nP1XAddr=&H400\nP1XType=\"long\"\n", {}},
        {"lone CR line ends", "[Info]\rWinCaption=Game\r[Inputs]\rP1XAddr=&H400\rP1XType=byte\rP1XTipe=byte\r",
         {{6, "Inputs", "P1XTipe", "is no key of [Inputs] (did you mean P1XType?): it is not read"}}},
        {"Ctrl-Z around a value", "[Inputs]\nP1XAddr=&H400\x1A\nP1XType=byte\n", {}},
        {"a header with a ] inside", "[Info]]\nName=x\n",
         {{1, "Info]", "", "is no section of a descriptor (did you mean [Info]?): it is not read"}}},
        {"a header without ]", "[Info]\n[Inputs\nName=x\n",
         {{2, "Info", "", "\"[Inputs\" is neither [Section] nor Key=Value: it is not read"}}},
        {"a key without = before the key", "[Info]\nName\nName=x\n",
         {{2, "Info", "", "\"Name\" is neither [Section] nor Key=Value: it is not read"},
          {3, "Info", "Name", "appears again (first at line 2): only the first is read"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckDescriptorText(c.text), c.problems) << c.what;
    EXPECT_EQ(CheckSettingsText("[Player2]\nSysMouse=1\nTestButton=2\n[Player1]\nSysMouse=1\n"),
              (std::vector<IniProblem>{{2, "Player2", "SysMouse", "is read only in [Player1]: it is not read here"},
                                       {3, "Player2", "TestButton", "is read only in [Player1]: it is not read here"}}));
}

// Every key a loader reads, and every key a save writes, is a key of the schema; every key of the
// schema a run reads is read by a loader (the rows of a section read whole aside).
class RecordingIniFiles final : public IniFiles {
public:
    std::string readString(const std::string&, const std::string& section, const std::string& key, std::size_t) override {
        read.insert(section + "/" + key);
        // Enough to go past every switch and count: no address (no chain followed), one of each row.
        if (EndsWith(key, "PTR") || EndsWith(key, "Addr")) return "";
        return EqualsIgnoreCase(key, "InputType") ? "mouse" : "1";
    }
    std::vector<std::string> readSection(const std::string&, const std::string& section) override {
        wholeSections.insert(section);
        return {};
    }
    bool writeString(const std::string&, const std::string& section, const std::string& key, const std::string&) override {
        written.insert(section + "/" + key);
        return true;
    }
    std::string errorText() override { return {}; }
    std::set<std::string> read, written, wholeSections;

private:
    static bool EndsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() && EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
    }
};

// section/key of every key of the schema (rows 1 only), with whether a run reads it.
std::map<std::string, bool> SchemaKeys(const FileSchema& file, const std::string& exeName) {
    std::map<std::string, bool> keys;
    for (const SchemaSection& section : file.sections) {
        for (const std::string& name : section.names) {
            const std::string s = section.namedAfterExe ? PatchSectionName(exeName) : name;
            for (const SchemaKey& k : section.ownKeys()) keys[s + "/" + k.name] = k.readByRun && (k.onlyIn.empty() || k.onlyIn == name);
            for (const SchemaKey& k : section.rowKeys()) keys[s + "/" + section.rowPrefix + "1" + k.name] = k.readByRun;
        }
    }
    return keys;
}

TEST(FileSchema, TheLoadersReadAndTheSavesWriteTheSchemasKeys) {
    FakeSystem sys;
    sys.engine.state.descriptor.ExeName = "game.exe";
    GameModule module = GameModuleOf(sys.engine);
    RecordingIniFiles descriptor, settings;
    ReadGameDescriptor(descriptor, "d.ini");
    ReadInputMap(descriptor, "d.ini", "", module);
    ReadInputMap(descriptor, "d.ini", "VON", module);
    ReadOutputsSection(descriptor, "d.ini", module);
    ReadCodePatches(descriptor, "d.ini", module);
    ReadPlayerSettings(settings, "s.ini", "");
    ReadPlayerSettings(settings, "s.ini", "VON");
    ReadAimSettings(settings, "s.ini");
    SaveSettings(settings, "folder", "game", SettingsControls{});
    SaveCalibration(settings, "s.ini", 0, DeviceEdges{});
    SaveCalibration(settings, "s.ini", 1, DeviceEdges{});

    for (const auto& [file, recorded, what] : {std::tuple{&DescriptorSchema(), &descriptor, "descriptor"},
                                               std::tuple{&SettingsSchema(), &settings, "settings"}}) {
        const std::map<std::string, bool> keys = SchemaKeys(*file, "game.exe");
        auto known = [&](const std::string& sectionKey) {
            return std::any_of(keys.begin(), keys.end(), [&](const auto& k) { return EqualsIgnoreCase(k.first, sectionKey); });
        };
        for (const std::string& k : recorded->read) EXPECT_TRUE(known(k)) << what << ": a loader reads " << k << ", which the schema lacks";
        for (const std::string& k : recorded->written) EXPECT_TRUE(known(k)) << what << ": a save writes " << k << ", which the schema lacks";
        for (const auto& [k, readByRun] : keys) {
            const std::string section = k.substr(0, k.find('/'));
            const bool readWhole = recorded->wholeSections.count(section) && k.find("1", section.size()) != std::string::npos;
            if (!readByRun || readWhole) continue;
            const bool read = std::any_of(recorded->read.begin(), recorded->read.end(), [&](const std::string& r) { return EqualsIgnoreCase(r, k); });
            EXPECT_TRUE(read) << what << ": the schema says a run reads " << k << ", but no loader does";
        }
    }
}

}  // namespace
}  // namespace vt2::test
