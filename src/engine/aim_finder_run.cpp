#include "engine/aim_finder_run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>

#include "common/file_schema.h"
#include "common/game_name.h"
#include "common/ini.h"
#include "common/numbers.h"
#include "common/sha256.h"
#include "common/text.h"
#include "engine/exit_codes.h"
#include "engine/game_descriptor.h"
#include "engine/running_game_check.h"
#include "memory/address_resolution.h"
#include "memory/memory_snapshot.h"
#include "memory/pointer_chains.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/module_list.h"
#include "platform/process_memory.h"
#include "platform/synthetic_input.h"
#include "platform/window_system.h"

namespace vt2 {

namespace {

// The cursor's places across and down the window: neither rising nor falling, and across apart
// from down, so that neither a clock nor the other axis fits.
const std::vector<double> kAcross = {0.5, 0.1, 0.9, 0.3, 0.7, 0.2, 0.8};
const std::vector<double> kDown = {0.2, 0.8, 0.5, 0.9, 0.1, 0.6, 0.3};
const std::vector<bool> kPressed = {false, true, false, true, false, true, false};
constexpr std::uint32_t kLeftDown = 0x0002, kLeftUp = 0x0004, kRightDown = 0x0008, kRightUp = 0x0010;
// A value's place in its object, and an object's in the one that points to it, lie this close.
constexpr GameAddress kMaxFieldOffset = 0x1000;
constexpr double kMaxMiss = 0.01;  // of the window's width or height
constexpr std::size_t kAxisCandidates = 40;  // weighed for each axis
constexpr std::size_t kRunnersUp = 5;        // of them, written as comments
constexpr std::size_t kButtonsWeighed = 64;  // of a button's bits, the aim's neighbours first
constexpr const char* kRunnerUpComment = "; runner-up for ";
constexpr const char* kStoppedReport = "Stopped before the end: nothing was written\r\n";

// Where a value is for the descriptor: "Addr" in the program's statics, "PTR" a chain from them
// that led to it at every copy, else "Addr" of this start only (not lasting: never written).
struct Place {
    std::string key;
    std::string value;
    bool lasting = false;
    int pointers = 0;  // on the way from the statics: the fewer, the likelier to last
};

struct Stopped {};   // the scan was asked to stop
struct GameGone {};  // the game's process ended, or its window went or moved, mid-scan

class Scan {
public:
    Scan(const AimFinderServices& os, OpenProcessMemory& process, WindowHandle window, PixelRect area,
         std::vector<WritableRegion> regions, ModuleImage image, AddressWidth width, const AimFinderProgress& progress)
        : os_(os), process_(process), window_(window), area_(area), regions_(std::move(regions)), image_(image), width_(width),
          progress_(progress) {}

    // The cursor at each place, the memory copied after the game had time to follow it; with the
    // places as the cursor really took them (whole pixels, 0..1 across the window's first to last).
    struct Places {
        std::vector<MemorySnapshot> copies;
        std::vector<double> across, down;
    };
    Places atPlaces(const PixelRect& area) {
        Places places;
        auto pixel = [](double at, int size) { return static_cast<int>(std::lround(at * (size - 1))); };
        auto fraction = [](int at, int size) { return size > 1 ? static_cast<double>(at) / (size - 1) : 0.0; };
        for (std::size_t i = 0; i < kAcross.size(); ++i) {
            step("cursor at place " + std::to_string(i + 1) + " of " + std::to_string(kAcross.size()));
            const int x = pixel(kAcross[i], area.width()), y = pixel(kDown[i], area.height());
            os_.input.setCursorPosition(area.left + x, area.top + y);
            places.across.push_back(fraction(x, area.width()));
            places.down.push_back(fraction(y, area.height()));
            os_.clock.sleepMs(kAimFinderSettleMs);
            places.copies.push_back(TakeMemorySnapshot(process_, regions_));
        }
        return places;
    }

    // The button pressed and let go in turn, the memory copied at each.
    std::vector<MemorySnapshot> pressing(std::uint32_t down, std::uint32_t up, const std::string& name) {
        std::vector<MemorySnapshot> copies;
        for (std::size_t i = 0; i < kPressed.size(); ++i) {
            step(name + " button " + (kPressed[i] ? "pressed" : "let go"));
            os_.input.mouseEvent(kPressed[i] ? down : up);
            held_ = kPressed[i] ? up : 0;
            os_.clock.sleepMs(kAimFinderSettleMs);
            copies.push_back(TakeMemorySnapshot(process_, regions_));
        }
        return copies;
    }

    // A scan that ends early leaves no button of the player's mouse held down.
    void letGo() {
        if (held_ != 0) os_.input.mouseEvent(held_);
        held_ = 0;
    }

    Place placeOf(GameAddress address, const std::vector<MemorySnapshot>& copies) {
        stopIfAsked();  // each place may be a search of the copies: "Stop" is heard between them
        if (address >= image_.base && address < image_.end) return {"Addr", HexAddress(address), true};
        for (const PointerChain& chain : FindPointerChains(address, copies.back(), image_, width_, kMaxFieldOffset, 20)) {
            const bool holds = std::all_of(copies.begin(), copies.end(), [&](const MemorySnapshot& copy) {
                return FollowChain(chain, copy, image_.base, width_) == address;
            });
            if (holds) return {"PTR", chain.text(), true, chain.middle ? 2 : 1};
        }
        return {"Addr", HexAddress(address), false, 9};
    }

    void stopIfAsked() {
        if (progress_ && !progress_(std::min(99, steps_ * 100 / kTotalSteps), lastStep_)) throw Stopped{};
    }

private:
    void step(const std::string& what) {
        ++steps_;
        lastStep_ = what;
        stopIfAsked();
        // The cursor goes where the game's window was: into whatever stands there now, unless the
        // game is still there, where it was.
        if (process_.hasEnded() || !os_.windows.windowExists(window_) || os_.windows.clientAreaOnDesktop(window_) != area_) {
            throw GameGone{};
        }
    }
    static constexpr int kTotalSteps = 7 + 2 * 7;

    const AimFinderServices& os_;
    OpenProcessMemory& process_;
    WindowHandle window_;
    PixelRect area_;
    std::vector<WritableRegion> regions_;
    ModuleImage image_;
    AddressWidth width_;
    const AimFinderProgress& progress_;
    int steps_ = 0;
    std::string lastStep_;
    std::uint32_t held_ = 0;  // the event that lets go of the button held now, 0 none
};

std::string Percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %%", fraction * 100);
    return text;
}

// The axes a game keeps side by side in one object: of the candidates across and down, the pair
// whose places last with the fewest pointers and that lie closest together; the better fits first.
struct AxisChoice {
    std::optional<std::pair<AxisCandidate, Place>> across, down;
};
// Every program's memory holds the system's own copies of the cursor, in screen pixels: a line
// whose Offset is where the window's picture starts on the screen is one of them (unless the
// window starts at the screen's corner, where nothing tells them apart).
AxisChoice ChooseAxes(const std::vector<AxisCandidate>& across, const std::vector<AxisCandidate>& down, const PixelRect& area,
                      const std::function<Place(GameAddress)>& placeOf) {
    std::vector<Place> acrossPlaces, downPlaces;
    for (const AxisCandidate& c : across) acrossPlaces.push_back(placeOf(c.address));
    for (const AxisCandidate& c : down) downPlaces.push_back(placeOf(c.address));
    AxisChoice choice;
    int best = INT32_MAX;
    auto cost = [](const Place& p) { return p.lasting ? p.pointers : 9; };
    auto screenCopy = [](const AxisCandidate& c, int origin) { return origin != 0 && c.Offset == origin ? 5 : 0; };
    for (std::size_t i = 0; i < across.size(); ++i) {
        for (std::size_t j = 0; j < down.size(); ++j) {
            const GameAddress apart = across[i].address > down[j].address ? across[i].address - down[j].address
                                                                          : down[j].address - across[i].address;
            const int score = 4 * (cost(acrossPlaces[i]) + cost(downPlaces[j]) + (apart <= 64 ? 0 : 3) +
                                   screenCopy(across[i], area.left) + screenCopy(down[j], area.top)) +
                              static_cast<int>(std::min<std::size_t>(i + j, 3));
            if (apart == 0 || score >= best) continue;  // one value cannot be both axes
            best = score;
            choice.across = std::make_pair(across[i], acrossPlaces[i]);
            choice.down = std::make_pair(down[j], downPlaces[j]);
        }
    }
    if (!choice.across && !across.empty()) choice.across = std::make_pair(across[0], acrossPlaces[0]);
    if (!choice.down && !down.empty()) choice.down = std::make_pair(down[0], downPlaces[0]);
    return choice;
}

// Of the first candidates, the first whose place lasts, else the first. (Each place may be a
// search of the copies for pointers: the candidates weighed are few.)
template <typename Candidate, typename PlaceOf>
std::optional<std::pair<Candidate, Place>> Choose(const std::vector<Candidate>& candidates, PlaceOf placeOf) {
    std::optional<std::pair<Candidate, Place>> first;
    for (std::size_t i = 0; i < candidates.size() && i < kButtonsWeighed; ++i) {
        const Candidate& c = candidates[i];
        Place place = placeOf(c);
        if (place.lasting) return std::make_pair(c, place);
        if (!first) first = std::make_pair(c, place);
    }
    return first;
}

}  // namespace

std::optional<std::string> FreeBackupName(FileSystem& files, const std::string& file) {
    for (int n = 1; n <= kMaxBackups; ++n) {
        const std::string name = file + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        if (!files.fileExists(name)) return name;
    }
    return std::nullopt;
}

std::string WithRunnersUp(const std::string& descriptorText, const std::string& comments) {
    std::string kept;
    std::size_t start = 0;
    while (start < descriptorText.size()) {
        std::size_t end = descriptorText.find('\n', start);
        end = end == std::string::npos ? descriptorText.size() : end + 1;
        const std::string line = descriptorText.substr(start, end - start);
        if (line.rfind(kRunnerUpComment, 0) != 0) kept += line;
        start = end;
    }
    if (comments.empty()) return kept;
    return kept + (kept.empty() || kept.back() == '\n' ? "" : "\r\n") + comments;
}

AimFinderOutcome FindAimAddresses(const AimFinderServices& os, const std::string& programFolder, const std::string& gameName,
                                  const AimFinderProgress& progress) {
    auto end = [](ExitCode code, const std::string& why) { return AimFinderOutcome{static_cast<int>(code), why + "\r\n"}; };
    if (!IsUsableGameName(gameName)) return end(ExitCode::BadGameName, "\"" + gameName + "\" is no plain file name");
    const std::string file = MemoryDescriptorPath(programFolder, gameName);
    const std::string shown = DescriptorFileName(gameName);
    if (!os.files.fileExists(file)) {
        return end(ExitCode::MissingDescriptor, shown + " is not there: start it with its [Info] lines (WinCaption or WinClass, ExeName)");
    }
    GameDescriptor d = ReadGameDescriptor(os.ini, file);
    if (d.WinClass.empty() && d.WinCaption.empty()) return end(ExitCode::NoGameWindow, shown + " names no window (WinCaption or WinClass)");
    const WindowHandle window = os.windows.findWindow(d.WinClass, d.WinCaption.empty() ? std::nullopt : std::optional(d.WinCaption));
    const std::uint32_t processId = window ? os.windows.windowProcessId(window) : 0;
    if (processId == 0) return end(ExitCode::GameNotRunning, "The game's window is not there: start the game, then find its addresses");
    const auto process = os.memory.openProcess(processId);
    if (!process) return end(ExitCode::GameNotOpened, "The game's memory cannot be read: start VT2 with the game's rights");
    if (!process->reachable()) return end(ExitCode::GameOutOfReach, "The game is a 64-bit program: use the 64-bit VT2");
    const auto area = os.windows.clientAreaOnDesktop(window);
    if (!area || area->empty()) return end(ExitCode::GameNotRunning, "The game's window is minimised or gone");

    // Without the program's module no statics are known, and nothing found on the heap could be
    // reached again after the game starts anew: there is nothing worth the player's mouse.
    const std::optional<ModuleEntry> program = FindProgramModule(os.modules, processId, d.ExeName);
    if (!program || program->base == 0) {
        return end(ExitCode::ProgramModuleNotFound,
                   "The game's program module (" + (d.ExeName.empty() ? std::string("a module whose name has .exe") : d.ExeName) +
                       ") was not found in its module list: no pointer chain can be followed, so nothing found would last. "
                       "Nothing was written (is ExeName the game's program file?)");
    }
    const ModuleImage image{program->base, program->base + program->size};
    const std::string programPath = program->path;
    const AddressWidth width = process->is64Bit() ? AddressWidth::Bits64 : AddressWidth::Bits32;
    Scan scan(os, *process, window, *area,
              RegionsWithinBudget(RegionsTheGameAddresses(process->writableRegions(), width), kAimFinderBudget), image, width,
              progress);

    // The player's mouse as it was: no button held, the cursor where it stood.
    const std::optional<CursorPoint> cursorBefore = os.input.cursorPosition();
    auto giveBackTheMouse = [&] {
        scan.letGo();
        if (cursorBefore) os.input.setCursorPosition(cursorBefore->x, cursorBefore->y);
    };
    os.windows.bringToFront(window);
    // Each step's copies go once what they tell is drawn from them, before the next step's are
    // taken: at most one step's copies and three copies' room more are held at once.
    const bool wide = width == AddressWidth::Bits64;
    std::vector<AxisCandidate> across, down;
    AxisChoice axes;
    std::vector<ButtonCandidate> triggers, reloads;
    MemorySnapshot placesChange, leftsChange, rightsChange;
    std::vector<MemorySnapshot> buttonCopies;  // the last left one and the right ones: the buttons' pointers are checked in them
    try {
        {
            const Scan::Places places = scan.atPlaces(*area);
            across = FindAxisCandidates(places.across, places.copies, wide, kMaxMiss, kAxisCandidates);
            down = FindAxisCandidates(places.down, places.copies, wide, kMaxMiss, kAxisCandidates);
            axes = ChooseAxes(across, down, *area, [&](GameAddress a) { return scan.placeOf(a, places.copies); });
            placesChange = BitsThatChange(places.copies);
        }
        // The buttons in the window's middle, where a game takes a click as a shot.
        os.input.setCursorPosition(area->left + area->width() / 2, area->top + area->height() / 2);
        {
            std::vector<MemorySnapshot> lefts = scan.pressing(kLeftDown, kLeftUp, "left");
            triggers = FindButtonCandidates(kPressed, lefts, placesChange, kAimFinderButtonBits);
            leftsChange = BitsThatChange(lefts);
            buttonCopies.push_back(std::move(lefts.back()));
        }
        std::vector<MemorySnapshot> rights = scan.pressing(kRightDown, kRightUp, "right");
        reloads = FindButtonCandidates(kPressed, rights, placesChange, kAimFinderButtonBits);
        rightsChange = BitsThatChange(rights);
        for (MemorySnapshot& copy : rights) buttonCopies.push_back(std::move(copy));
    } catch (const std::bad_alloc&) {
        giveBackTheMouse();
        return {1, "Not enough memory to copy the game's memory: nothing was written\r\n"};
    } catch (const Stopped&) {
        giveBackTheMouse();
        return {1, kStoppedReport};
    } catch (const GameGone&) {
        giveBackTheMouse();
        return end(ExitCode::GameNotRunning, "The game ended, or its window went or moved, before the scan's end: nothing was written");
    }
    giveBackTheMouse();

    // What lasts is decided first: a place that holds for this start only is no key worth a file
    // (after the game starts again it is somebody else's memory), so it is reported, not written.
    AimFinderOutcome outcome;
    std::string comments;
    std::vector<std::pair<std::string, std::string>> keys;  // of [Inputs], in the order written
    auto lastsOrSays = [&](const std::string& name, const std::string& found, const Place& place) {
        if (place.lasting) return true;
        outcome.report += name + ": " + found + " at " + place.value +
                          ", which lies on the game's heap, and no pointer from the program's statics leads to it: it would "
                          "not last after the game starts again, so it is not written\r\n";
        return false;
    };
    // The chosen place's key set, the other one emptied: a PTR key that is not empty wins over Addr.
    auto placeKeys = [&](const std::string& name, const Place& place) {
        keys.emplace_back(name + (place.key == "PTR" ? "Addr" : "PTR"), "");
        keys.emplace_back(name + place.key, place.value);
    };
    auto axis = [&](const std::string& name, const std::vector<AxisCandidate>& candidates,
                    const std::optional<std::pair<AxisCandidate, Place>>& chosen, const std::string& side) {
        if (!chosen) {
            outcome.report += name + ": nothing in the game's memory follows the cursor " + side + "\r\n";
            return false;
        }
        const AxisCandidate& c = chosen->first;
        if (!lastsOrSays(name, "a value follows the cursor " + side, chosen->second)) return false;
        placeKeys(name, chosen->second);
        keys.emplace_back(name + "Type", ValueTypeName(c.type));
        keys.emplace_back(name + "Multi", std::to_string(c.Multi));
        keys.emplace_back(name + "Offset", std::to_string(c.Offset));
        outcome.report += name + ": " + name + chosen->second.key + "=" + chosen->second.value + " " + ValueTypeName(c.type) +
                          " Multi " + std::to_string(c.Multi) + " Offset " + std::to_string(c.Offset) + " (misses by " +
                          Percent(c.error) + ")\r\n";
        for (std::size_t i = 0; i < candidates.size() && i < kRunnersUp; ++i) {
            const AxisCandidate& other = candidates[i];
            if (other == c) continue;
            comments += kRunnerUpComment + name + ": " + HexAddress(other.address) + " " + ValueTypeName(other.type) + " Multi " +
                        std::to_string(other.Multi) + " Offset " + std::to_string(other.Offset) + " (misses by " +
                        Percent(other.error) + ")\r\n";
        }
        return true;
    };
    const bool x = axis("P1X", across, axes.across, "across");
    const bool y = axis("P1Y", down, axes.down, "down");
    const std::optional<GameAddress> aimAt = axes.across ? std::optional(axes.across->first.address) : std::nullopt;

    // A button's bit: one that neither the other button nor the cursor's moves change; in the aim's
    // own object first (a field near it), then any that lasts.
    auto button = [&](const std::string& name, const std::string& maskKey, const std::vector<ButtonCandidate>& bits,
                      const MemorySnapshot& otherButtonChange) {
        std::vector<ButtonCandidate> ordered;
        for (const ButtonCandidate& b : bits) {
            if (BitStays(b, otherButtonChange)) ordered.push_back(b);  // the cursor's moves: passed over already
        }
        if (aimAt) {
            std::stable_partition(ordered.begin(), ordered.end(), [&](const ButtonCandidate& b) {
                return (b.address > *aimAt ? b.address - *aimAt : *aimAt - b.address) < kMaxFieldOffset && b.BitMask > 0;
            });
        }
        const auto chosen = Choose(ordered, [&](const ButtonCandidate& b) { return scan.placeOf(b.address, buttonCopies); });
        if (!chosen) {
            outcome.report += name + ": no bit follows the button\r\n";
            return;
        }
        if (!lastsOrSays(name, "a bit follows the button", chosen->second)) return;
        placeKeys(name, chosen->second);
        keys.emplace_back(name + "Type", "byte");
        keys.emplace_back(maskKey, std::to_string(chosen->first.BitMask));
        outcome.report += name + ": " + name + chosen->second.key + "=" + chosen->second.value + " " + maskKey + "=" +
                          std::to_string(chosen->first.BitMask) + "\r\n";
    };
    try {
        button("P1Trigger", TargetKeyName(DescriptorSchema(), "Inputs", "P1Trigger", ValueKind::InputMask), triggers, rightsChange);
        button("P1Reload", TargetKeyName(DescriptorSchema(), "Inputs", "P1Reload", ValueKind::InputMask), reloads, leftsChange);
    } catch (const Stopped&) {
        return {1, kStoppedReport};
    }

    if (keys.empty()) {
        outcome.exitCode = 1;
        outcome.report += "Nothing that lasts was found: nothing was written.\r\n";
        if (progress) progress(100, "done");
        return outcome;
    }
    // The new text is made in a copy beside the file, every write looked at; the file itself then
    // changes in one whole-file write, or not at all.
    const std::string working = file + ".vt2scan";
    auto failed = [&](const std::string& what) {
        const std::string why = os.files.errorText();
        os.files.deleteFile(working);
        return AimFinderOutcome{1, outcome.report + what + (why.empty() ? "" : " (" + why + ")") + ": nothing was written\r\n"};
    };
    if (!os.files.copyFile(file, working)) return failed(shown + " cannot be copied to work on");
    for (const auto& [key, value] : keys) {
        if (!WriteIniValue(os.ini, working, "Inputs", key, value)) return failed("The keys cannot be written");
    }
    // The build the addresses belong to.
    if (const auto program = programPath.empty() ? std::nullopt : DigestOfFile(os.files, programPath, true)) {
        if (!WriteIniValue(os.ini, working, "Info", "ExeSize", std::to_string(program->size)) ||
            !WriteIniValue(os.ini, working, "Info", "ExeSha256", program->sha256)) {
            return failed("The build's keys cannot be written");
        }
    }
    const std::optional<std::string> made = os.files.readFile(working);
    if (!made) return failed("The new text cannot be read back");
    const std::string written = WithRunnersUp(*made, comments);
    // The file as the player wrote it is the first backup, never written over by a later scan.
    const std::optional<std::string> backup = FreeBackupName(os.files, file);
    if (!backup) return failed("Every backup name up to .bak" + std::to_string(kMaxBackups) + " is taken");
    if (!os.files.copyFile(file, *backup)) return failed(shown + backup->substr(file.size()) + " cannot be written");
    if (!os.files.writeFileWhole(file, written)) return failed(shown + " cannot be written");
    os.files.deleteFile(working);
    const std::string shownBackup = shown + backup->substr(file.size());
    outcome.exitCode = x && y ? 0 : 1;
    outcome.report += (x && y ? "Written into " : "Not both axes were found; what was found is written into ") + shown +
                      " (the file as it was: " + shownBackup + ").\r\n";
    if (progress) progress(100, "done");
    return outcome;
}

}  // namespace vt2
