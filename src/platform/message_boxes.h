#pragma once

#include <string>

namespace vt2 {

// Modal message boxes with an OK button; without a title of their own they show "Vantor 2".
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace vt2
