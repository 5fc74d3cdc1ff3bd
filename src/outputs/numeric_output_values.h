#pragma once
// The outputs as the network and window-message protocols carry them: whole numbers by id (the
// output's row number), the name of each, and the texts of the network protocol.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "memory/typed_values.h"
#include "platform/numeric_output_servers.h"

namespace vt2 {

struct OutputTable;

// The whole number a value stands for there: the nearest one, halves away from zero, kept within
// 32 bits. A value that is not a number stands for none.
std::optional<std::int32_t> WholeOutputValue(const MemValue& value);

// Each row's name by its number; a row without a name is called "output" + its number, so that
// the network protocol, which tells outputs apart by name, can tell it from the others.
std::map<int, std::string> NumericOutputNames(const std::vector<std::string>& rowNames);

std::string NetworkStartText(const std::string& game);                          // "mame_start = <game>\r"
std::string NetworkUpdateText(const std::string& name, std::int32_t value);     // "<name> = <value>\r"
inline constexpr const char* kNetworkStopText = "mame_stop = 1\r";

// Several output servers as one: each call goes to every one, in order.
class NumericOutputsFan final : public NumericOutputs {
public:
    void add(NumericOutputs& outputs) { all_.push_back(&outputs); }
    bool empty() const { return all_.empty(); }
    void start(const std::string& game, const std::map<int, std::string>& names) override;
    void update(int id, std::int32_t value) override;
    void stop(unsigned maxWaitMs) override;

private:
    std::vector<NumericOutputs*> all_;
};

}  // namespace vt2
