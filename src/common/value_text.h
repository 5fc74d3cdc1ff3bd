#pragma once
// Numbers as the program writes them in messages and labels: whole numbers in decimal with a
// leading "-", floats with up to seven significant digits, no trailing zeros, and the user's
// decimal separator.

#include <string>

namespace vt2 {

std::string WholeNumberText(double value);
// A 32-bit float (given widened) or a 64-bit one, with up to seven significant digits.
std::string FloatText(double value, char decimalSeparator);

}  // namespace vt2
