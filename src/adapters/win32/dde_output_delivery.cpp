#include "adapters/win32/dde_output_delivery.h"

#include <windows.h>

#include "outputs/output_sender.h"
#include "adapters/win32/win32_dde_client.h"
#include "adapters/win32/win32_thread_services.h"

namespace vt2::win32 {

namespace {

class DdeOutputDelivery final : public OutputDelivery {
public:
    bool deliver(const std::string& command) override { return sender_.deliver(command); }
    void handleMessages() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

private:
    Win32DdeClient dde_;
    Win32SteadyClock clock_;
    OutputSender sender_{dde_, clock_};
};

}  // namespace

std::unique_ptr<OutputDelivery> MakeDdeOutputDelivery() { return std::make_unique<DdeOutputDelivery>(); }

}  // namespace vt2::win32
