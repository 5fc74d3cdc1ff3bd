#pragma once
// A window's design made to fit its captions: a control whose caption needs more room than the
// design gives it (in the font the window really uses) grows to the right; what lies right of it
// in its row moves along, so that it stays clear; a frame grows round what it holds, and the
// window by as much as its right-most control moved.

#include <map>
#include <string>

#include "platform/forms.h"

namespace vt2 {

// neededWidths: twips, by control name, for the controls whose caption is measured.
FormDesign FitDesignToCaptions(const FormDesign& design, const std::map<std::string, int>& neededWidths);

}  // namespace vt2
