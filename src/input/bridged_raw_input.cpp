#include "input/bridged_raw_input.h"

#include "common/ini.h"
#include "common/numbers.h"

namespace vt2 {

int ReadBridgePort(IniFiles& ini, const std::string& programFolder) {
    const auto port = ToInt32Field(ReadIniValue(ini, programFolder + "\\vt2.ini", "Bridge", "Port", false));
    return port && *port > 0 && *port <= 65535 ? *port : kBridgeDefaultPort;
}

std::optional<std::vector<RawInputDevice>> BridgedRawInput::deviceList() {
    auto devices = system_.deviceList();
    const std::vector<RawInputDevice> bridged = mice_.devices();
    if (!devices) return bridged.empty() ? std::nullopt : std::optional(bridged);
    devices->insert(devices->end(), bridged.begin(), bridged.end());
    return devices;
}

void BridgedRawInput::startReports(RawMouseReportSink& sink) {
    sink_ = &sink;
    system_.startReports(sink);
}

void BridgedRawInput::stopReports() {
    sink_ = nullptr;
    system_.stopReports();
}

}  // namespace vt2
