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
    onChanged(name, before);
}

void StoredFormModel::onChanged(const std::string&, const ControlState&) {}

}  // namespace vt2
