#pragma once
// The game's outputs (lamps, recoil) forwarded to the output server.

#include <string>

namespace vt2 {

struct Engine;

void LoadOutputs(Engine& engine, const std::string& gameName);
void PollOutputs(Engine& engine);
// "mamestop|" to the output server when outputs are active.
void SendStopMessageIfActive(Engine& engine);

}  // namespace vt2
