// What the aim finder writes around the keys: the runners-up of its scan at the descriptor's end.
#include <gtest/gtest.h>

#include "engine/aim_finder_run.h"

namespace vt2::test {
namespace {

// A second scan replaces the first one's runners-up; the player's own comments and lines stay.
TEST(AimFinderRunnersUp, AnEarlierScansRunnersUpGiveWayToThisOnesAndNothingElseIsTouched) {
    const std::string fresh = "; runner-up for P1X: &H100 long Multi 639 Offset 0 (misses by 0.00 %)\r\n";
    const struct {
        const char* text;
        std::string comments;
        std::string written;
    } cases[] = {
        {"[Info]\r\nName=G\r\n", fresh, "[Info]\r\nName=G\r\n" + fresh},
        {"[Info]\r\nName=G", fresh, "[Info]\r\nName=G\r\n" + fresh},  // no line end at the end
        {"", fresh, fresh},
        {"[Inputs]\r\n; my note\r\n; runner-up for P1Y: &H8 byte Multi 1 Offset 0\r\nP1XAddr=&H10\r\n"
         "; runner-up for P1X: &H4 byte Multi 1 Offset 0",
         fresh, "[Inputs]\r\n; my note\r\nP1XAddr=&H10\r\n" + fresh},
        {"[Inputs]\r\n; runner-up for P1X: old\r\n", "", "[Inputs]\r\n"},  // none this time: the old go too
        {"[Inputs]\n  ; runner-up for P1X: indented, the player's\n", "", "[Inputs]\n  ; runner-up for P1X: indented, the player's\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithRunnersUp(c.text, c.comments), c.written) << c.text;
}

}  // namespace
}  // namespace vt2::test
