#pragma once
// The window-message output protocol: while a game runs, a hidden top-level window of class and
// caption "MAMEOutput" that clients register with (MAMEOutputRegister: wParam their listener
// window, lParam their id) and that posts each of them MAMEOutputUpdateState (wParam the output's
// id, lParam its value) on every change, and every current value when they register. Names are
// asked for with MAMEOutputGetIDString and answered with WM_COPYDATA (dwData 1, a 32-bit id and
// the name); id 0 is the game. Start and stop are broadcast. The window lives on a thread of its
// own, and every message to a client is posted, but for the name answers, which each client gets
// from a thread of its own (sent with a timeout), so that a hung client holds up neither the
// passes nor the other clients.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/numeric_output_servers.h"

namespace vt2::win32 {

class Win32WindowOutputs final : public NumericOutputs {
public:
    // The clients registered at once, at most.
    static constexpr std::size_t kMaxClients = 64;
    // How long a client may take to take a name answer (its own answers wait meanwhile).
    static constexpr unsigned kNameAnswerTimeoutMs = 250;

    explicit Win32WindowOutputs(std::function<void(const std::string&)> report);
    ~Win32WindowOutputs() override;
    Win32WindowOutputs(const Win32WindowOutputs&) = delete;
    Win32WindowOutputs& operator=(const Win32WindowOutputs&) = delete;

    // Starts the window's thread; false, with a report, when it cannot.
    bool open();

    void start(const std::string& game, const std::map<int, std::string>& names) override;
    void update(int id, std::int32_t value) override;
    void stop(unsigned maxWaitMs) override;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::function<void(const std::string&)> report_;
    bool open_ = false;
};

}  // namespace vt2::win32
