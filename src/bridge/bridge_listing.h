#pragma once
// What `vt2bridge --list-devices` prints: each device's number, name and ids on a line, its path
// on the next, as VT2.exe --list-devices shows raw input's mice.

#include <string>
#include <vector>

#include "bridge/bridge_session.h"

namespace vt2::bridge {

std::string BridgeDeviceListing(const std::vector<SourceDevice>& devices);

}  // namespace vt2::bridge
