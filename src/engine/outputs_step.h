#pragma once
// The run's outputs bridge: loaded once at hook time, polled on every pass, stopped at the end.

#include <string>

namespace vt2 {

struct Engine;

// Unless the player turned outputs off: the descriptor's (or default.ini's) section decides
// whether they are on for the run, and when they are the game is announced to the server.
void LoadOutputs(Engine& engine, const std::string& gameName);
// Sends every change of an output since the last pass.
void PollOutputs(Engine& engine);
// "mamestop|" to the output server when outputs are active.
void SendStopMessageIfActive(Engine& engine);

}  // namespace vt2
