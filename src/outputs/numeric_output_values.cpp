#include "outputs/numeric_output_values.h"

#include <cmath>
#include <limits>

namespace vt2 {

std::optional<std::int32_t> WholeOutputValue(const MemValue& value) {
    if (std::isnan(value.number)) return std::nullopt;
    const double rounded = std::round(value.number);
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

std::map<int, std::string> NumericOutputNames(const std::vector<std::string>& rowNames) {
    std::map<int, std::string> names;
    for (std::size_t i = 0; i < rowNames.size(); ++i) {
        const int id = static_cast<int>(i) + 1;
        names[id] = rowNames[i].empty() ? "output" + std::to_string(id) : rowNames[i];
    }
    return names;
}

std::string NetworkStartText(const std::string& game) { return "mame_start = " + game + "\r"; }

std::string NetworkUpdateText(const std::string& name, std::int32_t value) {
    return name + " = " + std::to_string(value) + "\r";
}

void NumericOutputsFan::start(const std::string& game, const std::map<int, std::string>& names) {
    for (NumericOutputs* o : all_) o->start(game, names);
}

void NumericOutputsFan::update(int id, std::int32_t value) {
    for (NumericOutputs* o : all_) o->update(id, value);
}

void NumericOutputsFan::stop(unsigned maxWaitMs) {
    for (NumericOutputs* o : all_) o->stop(maxWaitMs);
}

}  // namespace vt2
