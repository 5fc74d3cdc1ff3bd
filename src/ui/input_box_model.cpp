#include "ui/input_box_model.h"

#include "ui/layouts.h"

namespace vt2 {

namespace {
FormDesign Titled(const std::string& title) {
    FormDesign design = InputBoxDesign();
    design.caption = title;
    return design;
}
}  // namespace

InputBoxModel::InputBoxModel(Forms& forms, const std::string& prompt, const std::string& title,
                             const std::string& defaultAnswer)
    : StoredFormModel(Titled(title)), forms_(forms) {
    control("lblPrompt").text = prompt;
    control("txtAnswer").text = defaultAnswer;
}

void InputBoxModel::clicked(const std::string& name) {
    if (name == "cmdOK") {
        answer_ = control("txtAnswer").text;
        forms_.close(*this);
    }
    if (name == "cmdCancel") {
        answer_.clear();
        forms_.close(*this);
    }
}

std::string ModalInputBoxes::ask(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) {
    InputBoxModel box(forms_, prompt, title, defaultAnswer);
    forms_.runModal(box, 0);
    return box.answer();
}

}  // namespace vt2
