#include "engine/game_writes.h"

#include "common/numbers.h"
#include "engine/engine.h"
#include "memory/typed_values.h"

namespace vt2 {

namespace {

constexpr std::uint64_t kCursorCheckMs = 100;  // player 1's cursor in the picture: looked at this often
// The cursor's confinement is told the system again this often: a focus change may undo it.
constexpr std::uint64_t kConfineAgainMs = 1000;
constexpr std::uint32_t kLeftDown = 0x0002, kLeftUp = 0x0004, kRightDown = 0x0008, kRightUp = 0x0010;

// One pass's view of the players: what is due to be written, and how.
class PassWriter {
public:
    explicit PassWriter(Engine& engine)
        : e_(engine), map_(engine.state.inputMap), persistent_(map_.Persistent == 1) {}

    template <typename T>
    bool due(T current, T previous) const {
        return persistent_ || current != previous;
    }
    const PlayerValues& now(std::size_t p) const { return e_.state.players[p].current; }
    const PlayerValues& before(std::size_t p) const { return e_.state.players[p].previous; }

    void write(const InputTarget& target, double value, std::int16_t mask) {
        if (e_.state.memory) WriteMemValue(*e_.state.memory, target.address, target.type, value, mask);
    }

    void cursorBlock() {
        const PlayerValues& p = now(kPlayer1);
        const PlayerValues& q = before(kPlayer1);
        // Inside the game's picture when the run knows where it is, else across the primary screen.
        // In the picture the cursor is put back after every report of the mouse, which moves the
        // system's cursor on its own: past the picture's edge, where the aim stops, it would stray.
        const auto pixel = CursorPixel(e_.state.aim, {p.X, p.Y});
        confineCursor();
        const bool reported = e_.state.rawMouse.takeReported(kPlayer1);
        bool place = persistent_ || p.X != q.X || p.Y != q.Y || (pixel && reported);
        // Now and then it is looked at too: a placement can lose a race with the mouse's own move
        // of the cursor (seen under Wine), and the game may move the cursor itself.
        if (pixel && !place && cursorCheckDue()) {
            place = e_.os.input.cursorPosition() != CursorPoint{(*pixel)[0], (*pixel)[1]};
        }
        if (place) {
            if (pixel) {
                e_.os.input.setCursorPosition((*pixel)[0], (*pixel)[1]);
            } else {
                const ScreenSize screen = e_.os.input.primaryScreenSize();  // afresh on every move
                e_.os.input.setCursorPosition(static_cast<int>(RoundHalfEven(screen.width * static_cast<double>(p.X))),
                                              static_cast<int>(RoundHalfEven(screen.height * static_cast<double>(p.Y))));
            }
        }
        buttonsOfCursor(p, q);
    }

    // In an area the cursor is also kept inside it. Under Wine this matters: a cursor let out past
    // the area's edge by the mouse's own motion is put back from further away, and Wine hands the
    // jumps back late as untagged moves of the mouse, which pushed the aim back off the corners.
    // Confined, the cursor never leaves the area the aim stops at, and (X grabbing the pointer)
    // Wine gives the mouse's own motion to raw input, not positions.
    void confineCursor() {
        const std::optional<PixelRect> wanted = CursorConfinement(e_.state.aim);
        std::optional<std::uint64_t>& toldAt = e_.state.cursorConfinedAtMs;
        const std::uint64_t now = e_.os.clock.nowMs();
        const bool again = wanted && toldAt && now - *toldAt >= kConfineAgainMs;
        if (wanted == e_.state.cursorConfinement && !again) return;
        e_.os.input.confineCursor(wanted);
        e_.state.cursorConfinement = wanted;
        toldAt = now;
    }

    bool cursorCheckDue() {
        std::optional<std::uint64_t>& checkedAt = e_.state.cursorCheckedAtMs;
        const std::uint64_t now = e_.os.clock.nowMs();
        if (checkedAt && now - *checkedAt < kCursorCheckMs) return false;
        checkedAt = now;
        return true;
    }

    void buttonsOfCursor(const PlayerValues& p, const PlayerValues& q) {
        if (due(p.Trigger, q.Trigger)) e_.os.input.mouseEvent(p.Trigger != 0 ? kLeftDown : kLeftUp);
        if (due(p.Reload, q.Reload)) e_.os.input.mouseEvent(p.Reload != 0 ? kRightDown : kRightUp);
    }

    // Multi * position + Offset, computed at higher precision and handed over as a 32-bit float.
    void axes(std::size_t player, const InputTarget& x, const InputTarget& y) {
        if (x.address == 0) return;  // the X target decides for both axes
        const PlayerValues& p = now(player);
        const PlayerValues& q = before(player);
        if (due(p.X, q.X)) write(x, AxisValue(x, p.X), 0);
        if (due(p.Y, q.Y)) write(y, AxisValue(y, p.Y), 0);
    }

    // The buttons of a non-empty reload mode: "M2L" shares one reload value, "M2VC" one trigger
    // value and one reload value for both players; any other mode writes nothing.
    void combinedButtons() {
        if (map_.ReloadMode == "M2L") combinedReload();
        if (map_.ReloadMode == "M2VC") combinedTriggerAndReload();
    }

    void player1Block() {
        axes(kPlayer1, map_.P1X, map_.P1Y);
        if (!map_.ReloadMode.empty()) {
            combinedButtons();
            return;
        }
        const PlayerValues& p = now(kPlayer1);
        const PlayerValues& q = before(kPlayer1);
        // A held reload keeps the trigger from being written.
        if (map_.P1Trigger.address != 0 && due(p.Trigger, q.Trigger) && p.Reload == 0) {
            write(map_.P1Trigger, p.Trigger, map_.P1Trigger.BitMask);
        }
        if (map_.P1Reload.address != 0 && due(p.Reload, q.Reload)) write(map_.P1Reload, p.Reload, map_.P1Reload.BitMask);
    }

    void player2Block() {
        axes(kPlayer2, map_.P2X, map_.P2Y);
        const PlayerValues& p = now(kPlayer2);
        const PlayerValues& q = before(kPlayer2);
        if (map_.P2Trigger.address != 0 && due(p.Trigger, q.Trigger)) {
            write(map_.P2Trigger, p.Trigger, map_.P2Trigger.BitMask);
        }
        const bool combined = map_.ReloadMode == "M2L" || map_.ReloadMode == "M2VC";
        if (map_.P2Reload.address == 0 && !(combined && map_.P1Reload.address != 0)) return;
        if (map_.ReloadMode.empty()) {
            if (due(p.Reload, q.Reload)) write(map_.P2Reload, p.Reload, map_.P2Reload.BitMask);
        } else {
            combinedButtons();
        }
    }

private:
    static double AxisValue(const InputTarget& target, float position) {
        const double value = static_cast<double>(target.Multi) * position + static_cast<double>(target.Offset);
        // A 64-bit float target takes the value whole; every other type as before.
        if (target.type == ValueType::Double) return value;
        return static_cast<float>(value);
    }

    bool changed(std::int16_t PlayerValues::*field, std::size_t player) const {
        return now(player).*field != before(player).*field;
    }

    // Bit 0 for player 1, bit 1 for player 2, each 1 while its reload is released.
    std::int16_t reloadBits() const {
        return static_cast<std::int16_t>(3 - (now(kPlayer1).Reload == 1 ? 1 : 0) - (now(kPlayer2).Reload == 1 ? 2 : 0));
    }

    void combinedReload() {
        if (!changed(&PlayerValues::Reload, kPlayer1) && !changed(&PlayerValues::Reload, kPlayer2)) return;
        write(map_.P1Reload, reloadBits(), 0);
    }

    void combinedTriggerAndReload() {
        if (!changed(&PlayerValues::Trigger, kPlayer1) && !changed(&PlayerValues::Trigger, kPlayer2) &&
            !changed(&PlayerValues::Reload, kPlayer1) && !changed(&PlayerValues::Reload, kPlayer2)) {
            return;
        }
        write(map_.P1Reload, reloadBits(), 0);
        // A held reload also pulls the same player's trigger bit.
        const int t = 255 - (now(kPlayer1).Trigger == 1 ? 1 : 0) - (now(kPlayer2).Trigger == 1 ? 2 : 0) -
                      (now(kPlayer1).Reload == 1 ? 1 : 0) - (now(kPlayer2).Reload == 1 ? 2 : 0);
        write(map_.P1Trigger, t, 0);
    }

    Engine& e_;
    const InputMap& map_;
    bool persistent_;
};

}  // namespace

void WritePlayerInputs(Engine& engine) {
    PassWriter writer(engine);
    const PlayerSettings& s = engine.state.settings;
    if (s.players[kPlayer1].SysMouse == 1) writer.cursorBlock();
    if (s.players[kPlayer1].Enable == 1) writer.player1Block();
    if (s.players[kPlayer2].Enable == 1) writer.player2Block();
}

std::array<std::int16_t, 3> TwinStickBankValues(const std::array<std::int16_t, 18>& states) {
    struct Bit {
        int index;
        int weight;
    };
    static constexpr Bit kBanks[3][6] = {
        {{1, 1}, {2, 2}, {3, 4}, {4, 8}, {5, 16}, {0, 0}},
        {{6, 1}, {7, 2}, {8, 16}, {9, 32}, {10, 64}, {11, 128}},
        {{12, 1}, {13, 2}, {14, 16}, {15, 32}, {16, 64}, {17, 128}},
    };
    std::array<std::int16_t, 3> banks{255, 255, 255};
    for (std::size_t b = 0; b < 3; ++b) {
        for (const Bit& bit : kBanks[b]) {
            if (bit.index != 0 && states[static_cast<std::size_t>(bit.index)] == 1) {
                banks[b] = static_cast<std::int16_t>(banks[b] - bit.weight);  // active low
            }
        }
    }
    return banks;
}

void WriteTwinStickBanks(Engine& engine) {
    HookState& s = engine.state;
    const std::array<std::int16_t, 3> banks = TwinStickBankValues(s.players.TwinStickStates);
    const GameAddress addresses[3] = {s.inputMap.Bank1, s.inputMap.Bank2, s.inputMap.Bank3};
    for (std::size_t b = 0; b < 3; ++b) {
        if (banks[b] != s.players.previousBanks[b] && s.memory) WriteMemValue(*s.memory, addresses[b], ValueType::Byte, banks[b], 0);
    }
    s.players.previousBanks = banks;
}

}  // namespace vt2
