// Raw input records from any bytes, and the mouse rules over a run of them: a record is read only
// when whole, relative aim stays within the screen, and this program's own events move nobody.
#include <cmath>

#include "fuzz_support.h"
#include "input/raw_input_record.h"
#include "input/raw_mouse.h"
#include "platform/message_boxes.h"
#include "platform/synthetic_input.h"

using namespace vt2;

namespace {

class TwoMice final : public RawInputSystem {
public:
    std::optional<std::vector<RawInputDevice>> deviceList() override { return std::vector<RawInputDevice>{{1, 0}, {2, 0}}; }
    bool registerMice() override { return true; }
    void startReports(RawMouseReportSink&) override {}
    void stopReports() override {}
};

class Silent final : public MessageBoxes {
public:
    void showMessage(const std::string&) override {}
    MessageAnswer ask(const std::string&, const std::string&, MessageButtons, MessageIcon) override {
        return MessageAnswer::Ok;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    PlayerSettings settings;
    for (PlayerConfig& p : settings.players) {
        p.Enable = 1;
        p.MouseAccel = static_cast<std::int16_t>(in.u32());
        p.TriggerButton = static_cast<std::int16_t>(static_cast<std::int8_t>(in.byte()));
        p.EscButton = static_cast<std::int16_t>(static_cast<std::int8_t>(in.byte()));
    }
    settings.players[0].MouseID = 0;
    settings.players[1].MouseID = 1;
    PlayerState players;
    RawMouse mouse;
    TwoMice rawInput;
    Silent boxes;
    StartRawInput(rawInput, boxes, mouse, settings, players);

    const std::string records = in.rest();
    std::size_t at = 0;
    while (at < records.size()) {
        const std::size_t length = static_cast<unsigned char>(records[at]) % 48;
        ++at;
        const std::size_t take = std::min(length, records.size() - at);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.data() + at);
        at += take;
        const RawInputRecord record = ReadRawInputRecord(bytes, take);
        if (record.kind == RawInputKind::Mouse) fuzz::Check(take >= kRawMouseRecordBytes, "a mouse record read from too few bytes");
        if (record.kind != RawInputKind::Mouse) continue;
        const PlayerState before = players;
        mouse.onMouseReport(record.report);
        if (record.report.extraInformation == kSyntheticInputTag) {
            fuzz::Check(players[0].current == before[0].current && players[1].current == before[1].current,
                        "this program's own event moved a player");
        }
        const std::uint32_t device = record.report.device;
        const bool tagged = record.report.extraInformation == kSyntheticInputTag;
        if ((record.report.flags & 1) == 0 && !tagged && (device == 1 || device == 2)) {
            const PlayerValues& p = players[device == 1 ? kPlayer1 : kPlayer2].current;
            fuzz::Check(p.X >= 0.0f && p.X <= 1.0f && p.Y >= 0.0f && p.Y <= 1.0f, "relative aim left the screen");
        }
        if (device != 1 && device != 2) {
            fuzz::Check(players[0].current == before[0].current && players[1].current == before[1].current,
                        "an unbound mouse moved a player");
        }
        for (const PlayerRecord& p : players.records) {
            fuzz::Check(p.current.Trigger == 0 || p.current.Trigger == 1, "a trigger that is neither up nor down");
            fuzz::Check(!std::isnan(p.current.X), "an aim that is no number");
        }
    }
    return 0;
}
