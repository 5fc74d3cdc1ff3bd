#pragma once
// The windows of the models without Windows: what was shown, closed, focused and timed goes to the
// event log, and a test acts as the user by calling the model as the real window would.

#include <deque>
#include <functional>
#include <set>
#include <string>

#include "platform/forms.h"
#include "support/fake_platform.h"

namespace vt2::test {

class FakeForms final : public Forms {
public:
    explicit FakeForms(EventLog& log) : log_(log) {}
    void show(FormModel& model) override {
        log_.push_back("show " + model.design().name);
        open_.insert(&model);
    }
    void runModal(FormModel& model, unsigned timerMs) override {
        log_.push_back("modal " + model.design().name + (timerMs ? " timer " + std::to_string(timerMs) : ""));
        open_.insert(&model);
        if (timerMs) timers_.insert(&model);
        if (onModal) onModal(model);
        open_.erase(&model);
        timers_.erase(&model);
    }
    void close(FormModel& model) override {
        log_.push_back("close " + model.design().name);
        open_.erase(&model);
        timers_.erase(&model);
    }
    bool isOpen(const FormModel& model) override { return open_.count(const_cast<FormModel*>(&model)) > 0; }
    void focus(FormModel& model, const std::string& control) override {
        log_.push_back("focus " + model.design().name + (control.empty() ? "" : " " + control));
    }
    void refresh(FormModel&) override {}
    void startTimer(FormModel& model, unsigned intervalMs) override {
        log_.push_back("timer " + model.design().name + " " + std::to_string(intervalMs));
        timers_.insert(&model);
    }
    void stopTimer(FormModel& model) override {
        if (timers_.erase(&model)) log_.push_back("stop timer " + model.design().name);
    }
    [[noreturn]] void endProgram() override {
        log_.push_back("end program");
        throw ProcessEnded{0};
    }
    bool timerRunning(const FormModel& model) const { return timers_.count(const_cast<FormModel*>(&model)) > 0; }

    // What the user does in a modal window while it is open.
    std::function<void(FormModel&)> onModal;

private:
    EventLog& log_;
    std::set<FormModel*> open_;
    std::set<FormModel*> timers_;
};

// Answers the input boxes from a list (the empty text, as Cancel, when it runs out).
class FakeInputBoxes final : public InputBoxes {
public:
    explicit FakeInputBoxes(EventLog& log) : log_(log) {}
    std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override {
        log_.push_back("input " + title + "|" + prompt + "|" + defaultAnswer);
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;

private:
    EventLog& log_;
};

// The user at a model's window.
inline void Type(FormModel& model, const std::string& control, const std::string& text) {
    ControlState shown = model.state(control);
    shown.text = text;
    shown.selected = -1;  // typing into a list leaves no entry chosen
    model.changed(control, shown);
}
inline void TypeIntoField(FormModel& model, const std::string& control, const std::string& text) {
    ControlState shown = model.state(control);
    shown.text = text;
    model.changed(control, shown);
}
inline void Choose(FormModel& model, const std::string& control, int entry) {
    ControlState shown = model.state(control);
    shown.selected = entry;
    if (entry >= 0 && static_cast<std::size_t>(entry) < shown.items.size()) shown.text = shown.items[static_cast<std::size_t>(entry)];
    model.changed(control, shown);
}
inline void Check(FormModel& model, const std::string& control, bool checked) {
    ControlState shown = model.state(control);
    shown.checked = checked;
    model.changed(control, shown);
    model.clicked(control);
}
inline void Click(FormModel& model, const std::string& control) { model.clicked(control); }

}  // namespace vt2::test
