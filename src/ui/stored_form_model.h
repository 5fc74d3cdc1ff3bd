#pragma once
// A window's model that keeps what each control shows: every control starts as its design says,
// the model changes what it shows through control(), and a change the user makes is kept and
// remembered as touched until the model starts afresh (a game loaded anew). An option the user
// picks unchecks the other options of its group, as the window does.

#include <map>
#include <set>
#include <string>

#include "platform/forms.h"

namespace vt2 {

class StoredFormModel : public FormModel {
public:
    explicit StoredFormModel(FormDesign design);
    const FormDesign& design() const override { return design_; }
    ControlState state(const std::string& control) const override;
    void changed(const std::string& control, const ControlState& shown) override;
    void clicked(const std::string&) override {}
    void closed() override {}

protected:
    ControlState& control(const std::string& name);
    const ControlState& control(const std::string& name) const;
    // Whether the user changed the control since the model last started afresh.
    bool touched(const std::string& name) const { return touched_.count(name) > 0; }
    // A change made for the user (by a detector), which counts as the user's own.
    void touch(const std::string& name) { touched_.insert(name); }
    // Every control as its design says, nothing touched.
    void resetControls();
    void forgetTouches() { touched_.clear(); }
    // After a change of the user's, with what the control showed before it.
    virtual void onChanged(const std::string& control, const ControlState& before);

private:
    void uncheckTheRestOfTheGroup(const std::string& option);

    FormDesign design_;
    std::map<std::string, ControlState> states_;
    std::set<std::string> touched_;
};

}  // namespace vt2
