#pragma once

#include <string>

namespace vt2 {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Exclamation };
enum class MessageAnswer { Ok, Yes, No };

// Modal message boxes; without a title of their own they show "Vantor 2". A box shown while one
// of the program's windows is active belongs to that window.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // With an OK button and the program's title.
    virtual void showMessage(const std::string& text) = 0;
    virtual MessageAnswer ask(const std::string& text, const std::string& title, MessageButtons buttons,
                              MessageIcon icon) = 0;
    // An OK box shown once the event in hand has been handled and the message loop runs again: a
    // modal box's own loop would deliver more input into the handler that asked for it. Boxes
    // asked for in turn are shown in turn. (Not every program has a loop to show it from: the
    // default shows it at once.)
    virtual void tellLater(const std::string& text, const std::string& title, MessageIcon icon) {
        ask(text, title, MessageButtons::Ok, icon);
    }
};

}  // namespace vt2
