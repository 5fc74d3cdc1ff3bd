#pragma once
// The serial ports Windows has now, with the device instance ids that say which USB device each
// belongs to: for a gun named by its USB id rather than by its COM number, which moves.

#include <vector>

#include "outputs/gun_port_names.h"

namespace vt2::win32 {

// Every present port of the "Ports" class whose name is COM<n>; none where the system lists none.
std::vector<ListedSerialPort> ListSerialPorts();

}  // namespace vt2::win32
