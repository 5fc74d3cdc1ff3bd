#pragma once

namespace vt2 {

class UserLocale {
public:
    virtual ~UserLocale() = default;
    // The decimal separator of the user's number format ("." or "," and the like).
    virtual char decimalSeparator() = 0;
};

}  // namespace vt2
