#include "common/value_text.h"

#include <cmath>
#include <cstdio>

namespace vt2 {

std::string WholeNumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string FloatText(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    char text[48];
    std::snprintf(text, sizeof text, "%.7g", value);
    std::string out;
    for (const char* c = text; *c; ++c) {
        if (*c == '.') {
            out.push_back(decimalSeparator);
        } else if (*c == 'e') {
            out.push_back('E');  // 1E+10, 1,5E-05
        } else {
            out.push_back(*c);
        }
    }
    if (out == "-0") return "0";
    return out;
}

}  // namespace vt2
