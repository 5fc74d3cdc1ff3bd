#include "memory/outputs.h"

#include "engine/engine.h"

namespace vt2 {

// The outputs bridge plugs in here.
void LoadOutputs(Engine&, const std::string&) {}
void PollOutputs(Engine&) {}
void SendStopMessageIfActive(Engine&) {}

}  // namespace vt2
