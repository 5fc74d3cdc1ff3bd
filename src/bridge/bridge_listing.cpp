#include "bridge/bridge_listing.h"

#include <cstdio>

namespace vt2::bridge {

std::string BridgeDeviceListing(const std::vector<SourceDevice>& devices) {
    std::string text = "Input event mice and guns (read by the bridge):\n";
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const SourceDevice& d = devices[i];
        char ids[48];
        std::snprintf(ids, sizeof ids, "  vendor %04X  product %04X", static_cast<unsigned>(d.vendor),
                      static_cast<unsigned>(d.product));
        const std::string kind = d.absolute ? "  absolute" : "  relative";
        text += "  " + std::to_string(i + 1) + "  " + d.name + ids + kind + "\n     " + d.path + "\n";
    }
    if (devices.empty()) text += "  (none)\n";
    return text;
}

}  // namespace vt2::bridge
