#include "outputs/output_protocols.h"

#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

OutputProtocols ReadOutputProtocols(IniFiles& ini, const std::string& programFolder) {
    const std::string file = programFolder + "\\vt2.ini";
    OutputProtocols p;
    auto read = [&](const char* key) { return TrimBlanks(ReadIniValue(ini, file, "Outputs", key, false)); };
    auto readSwitch = [&](const char* key, bool& value) {
        const std::string text = read(key);
        if (text == "1") value = true;
        if (text == "0") value = false;
    };
    readSwitch("DDE", p.dde);
    readSwitch("Blocking", p.blocking);
    readSwitch("Network", p.network);
    readSwitch("Windows", p.windows);
    const auto port = ParseWholeNumber(read("NetworkPort"));
    if (port && *port >= 1 && *port <= 65535) p.networkPort = static_cast<std::uint16_t>(*port);
    const std::string bind = read("NetworkBind");
    if (!bind.empty()) p.networkBind = bind;
    return p;
}

bool ListensBeyondThisMachine(const std::string& bindAddress) {
    const std::string a = TrimBlanks(bindAddress);
    return !(a.rfind("127.", 0) == 0);
}

std::string NetworkExposureNote(const std::string& bindAddress, std::uint16_t port) {
    if (!ListensBeyondThisMachine(bindAddress)) return {};
    return "Outputs: the network outputs listen on " + bindAddress + ":" + std::to_string(port) +
           ", beyond this machine: any computer that reaches this one can read the game's outputs "
           "(NetworkBind=127.0.0.1 in vt2.ini keeps them on this machine)";
}

}  // namespace vt2
