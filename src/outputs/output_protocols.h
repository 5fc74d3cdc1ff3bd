#pragma once
// Which protocols carry the outputs, from vt2.ini beside VT2.exe, section [Outputs]. DDE alone by
// default: several output servers listen to DDE and to window messages at once, and would fire
// every lamp and recoil twice.

#include <cstdint>
#include <string>

namespace vt2 {

class IniFiles;

struct OutputProtocols {
    bool dde = true;           // DDE=1: the MHServer conversation
    bool blocking = false;     // Blocking=1: each DDE command as one whole conversation on the main loop
    bool network = false;      // Network=1: a TCP server for the network protocol
    bool windows = false;      // Windows=1: the "MAMEOutput" window
    std::uint16_t networkPort = 8000;
    std::string networkBind = "127.0.0.1";
};

// A switch reads "1" as on and "0" as off; anything else (or nothing) keeps its default, and so
// does a port outside 1..65535 or an empty address.
OutputProtocols ReadOutputProtocols(IniFiles& ini, const std::string& programFolder);

// Whether a server bound to this IPv4 address text can be reached from other machines: any but a
// loopback one (127.x.x.x), 0.0.0.0 (every interface) included.
bool ListensBeyondThisMachine(const std::string& bindAddress);

// The debug window's word for a network server that listens there: none on loopback.
std::string NetworkExposureNote(const std::string& bindAddress, std::uint16_t port);

}  // namespace vt2
