#include "ui/stored_form_model.h"

#include <stdexcept>

namespace vt2 {

StoredFormModel::StoredFormModel(FormDesign design) : design_(std::move(design)) { resetControls(); }

void StoredFormModel::resetControls() {
    states_.clear();
    for (const ControlDesign& c : design_.controls) states_[c.name].text = c.caption;
    touched_.clear();
}

ControlState StoredFormModel::state(const std::string& name) const { return control(name); }

ControlState& StoredFormModel::control(const std::string& name) {
    const auto it = states_.find(name);
    if (it == states_.end()) throw std::logic_error("no control " + name + " in " + design_.name);
    return it->second;
}

const ControlState& StoredFormModel::control(const std::string& name) const {
    const auto it = states_.find(name);
    if (it == states_.end()) throw std::logic_error("no control " + name + " in " + design_.name);
    return it->second;
}

void StoredFormModel::changed(const std::string& name, const ControlState& shown) {
    ControlState& state = control(name);
    const ControlState before = state;
    state.text = shown.text;
    state.checked = shown.checked;
    state.selected = shown.selected;
    touched_.insert(name);
    if (state.checked) uncheckTheRestOfTheGroup(name);
    onChanged(name, before);
}

void StoredFormModel::uncheckTheRestOfTheGroup(const std::string& option) {
    // A group is a run of options in the design, as the host builds it.
    const auto& controls = design_.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name != option || controls[i].kind != ControlKind::OptionButton) continue;
        std::size_t first = i;
        while (first > 0 && controls[first - 1].kind == ControlKind::OptionButton) --first;
        for (std::size_t j = first; j < controls.size() && controls[j].kind == ControlKind::OptionButton; ++j) {
            if (j != i) states_[controls[j].name].checked = false;
        }
    }
}

void StoredFormModel::onChanged(const std::string&, const ControlState&) {}

}  // namespace vt2
