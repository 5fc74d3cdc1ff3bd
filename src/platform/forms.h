#pragma once
// Windows made of standard controls, described as data and driven by a model. A window's design
// names each control, its kind, its caption and its place in twips; its model says what every
// control shows now and takes what the user does. The host builds the real window from the design
// and keeps the controls as the model says after every action.

#include <string>
#include <utility>
#include <vector>

namespace vt2 {

enum class ControlKind {
    Button,
    CheckBox,
    OptionButton,  // one of a group of options: a group starts at its first option in the design
    Frame,         // a captioned box around other controls
    Label,         // text, left of the field it names
    Edit,
    DropDownList,  // a list to choose from
    EditableList,  // a list whose text can also be typed
    ProgressBar,   // a bar that fills as a long piece of work goes on
};

struct ControlDesign {
    std::string name;  // the model's name for it, unique in its window
    ControlKind kind = ControlKind::Label;
    std::string caption;  // what it shows at first; "&" marks the letter of its keyboard shortcut
    int left = 0, top = 0, width = 0, height = 0;  // twips, within the window's client area
    std::string frame;                             // the frame it lies in; empty: the window itself
    bool defaultButton = false;                    // Enter presses it
    bool cancelButton = false;                     // Esc presses it
    double fontPoints = 0;                         // 0: the system's message font
    std::string fontName;                          // with fontPoints: a font of its own
};

// A control at a place: the common case of a design's row.
inline ControlDesign MakeControl(std::string name, ControlKind kind, std::string caption, int left, int top, int width,
                                 int height, std::string frame = {}) {
    ControlDesign c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.frame = std::move(frame);
    return c;
}

struct FormDesign {
    std::string name;     // for the host and the tests; the window's class is "VT2" + name
    std::string caption;  // the window's title
    int clientWidth = 0, clientHeight = 0;  // twips
    std::vector<ControlDesign> controls;    // in reading order, which is also the order of Tab
    bool escapeCloses = false;              // without a cancel button, Esc closes it as a dialog
};

// What a control shows now.
struct ControlState {
    std::string text;                // edits and editable lists; labels and buttons: their caption
    bool checked = false;            // check boxes and options
    int selected = -1;               // lists: the entry shown, -1 none
    std::vector<std::string> items;  // lists: their entries
    int progress = 0;                // progress bars: how far, 0..100
    bool enabled = true;
    bool visible = true;
};

class FormModel {
public:
    virtual ~FormModel() = default;
    virtual const FormDesign& design() const = 0;
    virtual ControlState state(const std::string& control) const = 0;
    // A button pressed, a check box or option clicked (after it changed), or a click into a field.
    virtual void clicked(const std::string& control) = 0;
    // The user changed what a control shows: typed into a field or an editable list, chose an
    // entry of a list, or checked a box; shown holds the control's new state.
    virtual void changed(const std::string& control, const ControlState& shown) = 0;
    // The window's timer, while the model has it running.
    virtual void timerTicked() {}
    // The user closed the window (its close box, or Esc where that closes it); the host then
    // takes the window down. Not called when the model itself closes it.
    virtual void closed() = 0;
};

// Opens and closes the windows of models; each model has at most one window.
class Forms {
public:
    virtual ~Forms() = default;
    // Shows the model's window, without waiting for it; one already open comes to the front.
    virtual void show(FormModel& model) = 0;
    // Shows it and returns when it has closed; the other windows wait meanwhile. With a timer
    // interval (not 0), the model's timer runs from the moment its window opens.
    virtual void runModal(FormModel& model, unsigned timerMs) = 0;
    virtual void close(FormModel& model) = 0;
    virtual bool isOpen(const FormModel& model) = 0;
    // Brings the window to the front and gives it the keyboard (at that control, when one is named).
    virtual void focus(FormModel& model, const std::string& control = {}) = 0;
    // Shows every control of the window as its model says now (after a change made from elsewhere).
    virtual void refresh(FormModel& model) = 0;
    virtual void startTimer(FormModel& model, unsigned intervalMs) = 0;
    virtual void stopTimer(FormModel& model) = 0;
    // Ends the program at once, with every window.
    [[noreturn]] virtual void endProgram() = 0;
};

// Questions that want a line of text: the answer, or nothing when the user cancelled.
class InputBoxes {
public:
    virtual ~InputBoxes() = default;
    virtual std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) = 0;
};

}  // namespace vt2
