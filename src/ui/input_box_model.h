#pragma once
// The input box: a prompt, a field with a default answer, OK and Cancel. Enter answers, Esc cancels.

#include <string>

#include "ui/stored_form_model.h"

namespace vt2 {

class InputBoxModel final : public StoredFormModel {
public:
    InputBoxModel(Forms& forms, const std::string& prompt, const std::string& title, const std::string& defaultAnswer);
    void clicked(const std::string& control) override;
    void closed() override { answer_.clear(); }
    // The field's text when OK was pressed; empty when the box was cancelled or closed.
    const std::string& answer() const { return answer_; }

private:
    Forms& forms_;
    std::string answer_;
};

// Input boxes as windows of our own, each run until it is answered.
class ModalInputBoxes final : public InputBoxes {
public:
    explicit ModalInputBoxes(Forms& forms) : forms_(forms) {}
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override;

private:
    Forms& forms_;
};

}  // namespace vt2
