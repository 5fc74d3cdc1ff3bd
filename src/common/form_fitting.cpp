#include "common/form_fitting.h"

#include <algorithm>
#include <vector>

namespace vt2 {

namespace {

// What the designs keep between a frame's edge and what it holds.
constexpr int kFrameMargin = 120;

bool RowsOverlap(const ControlDesign& a, const ControlDesign& b) {
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

bool IsIn(const ControlDesign& c, const std::string& frame) { return c.frame == frame; }

class Fitter {
public:
    explicit Fitter(FormDesign design) : d_(std::move(design)) {}

    FormDesign fit(const std::map<std::string, int>& needed) {
        const int rightBefore = rightEdge();
        for (std::size_t i = 0; i < d_.controls.size(); ++i) {
            const auto it = needed.find(d_.controls[i].name);
            if (it != needed.end()) growTo(i, it->second);
        }
        // The window widens by as much as its right-most control moved.
        d_.clientWidth += std::max(0, rightEdge() - rightBefore);
        return d_;
    }

private:
    // Widens control i to width, moves its row along, and grows its frame round it.
    void growTo(std::size_t i, int width) {
        ControlDesign& c = d_.controls[i];
        const int by = width - c.width;
        if (by <= 0) return;
        const int oldMiddle = c.left + c.width / 2;
        c.width = width;
        const ControlDesign grown = c;
        // Its neighbours to the right in the same frame (or window) move by as much.
        for (std::size_t j = 0; j < d_.controls.size(); ++j) {
            ControlDesign& n = d_.controls[j];
            if (j == i || !IsIn(n, grown.frame) || !RowsOverlap(n, grown) || n.left <= oldMiddle) continue;
            moveRight(j, by);
        }
        if (!grown.frame.empty()) growFrameRound(grown.frame);
    }

    void moveRight(std::size_t i, int by) {
        ControlDesign& c = d_.controls[i];
        c.left += by;
        if (c.kind != ControlKind::Frame) return;
        for (ControlDesign& inside : d_.controls) {
            if (IsIn(inside, c.name)) inside.left += by;
        }
    }

    void growFrameRound(const std::string& frame) {
        int right = 0;
        for (const ControlDesign& c : d_.controls) {
            if (IsIn(c, frame)) right = std::max(right, c.left + c.width);
        }
        for (std::size_t i = 0; i < d_.controls.size(); ++i) {
            const ControlDesign& f = d_.controls[i];
            if (f.name == frame && right + kFrameMargin > f.left + f.width) growTo(i, right + kFrameMargin - f.left);
        }
    }

    int rightEdge() const {
        int right = 0;
        for (const ControlDesign& c : d_.controls) right = std::max(right, c.left + c.width);
        return right;
    }

    FormDesign d_;
};

}  // namespace

FormDesign FitDesignToCaptions(const FormDesign& design, const std::map<std::string, int>& neededWidths) {
    return Fitter(design).fit(neededWidths);
}

}  // namespace vt2
