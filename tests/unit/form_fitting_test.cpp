// A design made to fit its captions: what grows, what moves along, and what stays.
#include <gtest/gtest.h>

#include "common/form_fitting.h"

namespace vt2::test {
namespace {

using K = ControlKind;

// Two frames side by side, each with an option; a row of three buttons under them.
FormDesign Sample() {
    FormDesign d;
    d.clientWidth = 6765;
    d.clientHeight = 6000;
    d.controls = {MakeControl("fraLeft", K::Frame, "Left", 240, 480, 3135, 4000),
                  MakeControl("optLeft", K::OptionButton, "Left option", 420, 1080, 2895, 255, "fraLeft"),
                  MakeControl("fraRight", K::Frame, "Right", 3360, 480, 3135, 4000),
                  MakeControl("optRight", K::OptionButton, "Right option", 3540, 1080, 2895, 255, "fraRight"),
                  MakeControl("cmdA", K::Button, "A", 240, 5520, 1575, 375),
                  MakeControl("cmdB", K::Button, "B", 1920, 5520, 2175, 375),
                  MakeControl("cmdC", K::Button, "C", 4200, 5520, 2295, 375)};
    return d;
}

const ControlDesign& Find(const FormDesign& d, const std::string& name) {
    for (const ControlDesign& c : d.controls) {
        if (c.name == name) return c;
    }
    throw std::logic_error(name);
}

TEST(FormFitting, ControlsThatFitStayAsDesigned) {
    const FormDesign fitted = FitDesignToCaptions(Sample(), {{"cmdB", 2175}, {"optLeft", 1000}});
    for (const ControlDesign& c : Sample().controls) {
        EXPECT_EQ(Find(fitted, c.name).left, c.left) << c.name;
        EXPECT_EQ(Find(fitted, c.name).width, c.width) << c.name;
    }
    EXPECT_EQ(fitted.clientWidth, 6765);
}

TEST(FormFitting, AButtonGrowsAndItsRowMovesAlongTheWindowWithIt) {
    const FormDesign fitted = FitDesignToCaptions(Sample(), {{"cmdB", 2475}});  // 300 more
    EXPECT_EQ(Find(fitted, "cmdB").width, 2475);
    EXPECT_EQ(Find(fitted, "cmdA").left, 240);   // left of it: stays
    EXPECT_EQ(Find(fitted, "cmdC").left, 4500);  // right of it: moves as much, the gap kept
    EXPECT_EQ(Find(fitted, "fraRight").left, 3360);  // another row
    EXPECT_EQ(fitted.clientWidth, 6765 + 300);  // as much wider as its right-most control moved
}

TEST(FormFitting, AnOptionPastItsFrameGrowsTheFrameAndMovesTheFrameBesideIt) {
    const FormDesign fitted = FitDesignToCaptions(Sample(), {{"optLeft", 3195}});  // 300 more
    EXPECT_EQ(Find(fitted, "optLeft").width, 3195);
    EXPECT_EQ(Find(fitted, "fraLeft").width, 420 + 3195 + 120 - 240);  // round it, with the frame's margin
    const int moved = Find(fitted, "fraLeft").width - 3135;
    EXPECT_EQ(Find(fitted, "fraRight").left, 3360 + moved);
    EXPECT_EQ(Find(fitted, "optRight").left, 3540 + moved);  // what it holds goes with it
    EXPECT_EQ(Find(fitted, "cmdC").left, 4200);              // not in their row
    EXPECT_EQ(fitted.clientWidth, 6765 + moved);
}

}  // namespace
}  // namespace vt2::test
