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

}  // namespace vt2
