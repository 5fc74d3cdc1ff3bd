// The MAMEOutput window under Wine, with listener windows of the test's own: registration and
// the current values, updates, names, a client that hangs, registering again, and the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "adapters/win32/window_outputs.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

const UINT kStart = RegisterWindowMessageA("MAMEOutputStart");
const UINT kStop = RegisterWindowMessageA("MAMEOutputStop");
const UINT kUpdate = RegisterWindowMessageA("MAMEOutputUpdateState");
const UINT kRegister = RegisterWindowMessageA("MAMEOutputRegister");
const UINT kGetIdString = RegisterWindowMessageA("MAMEOutputGetIDString");

// What a listener window was told, as lines; the window the last name answer came from.
std::vector<std::string>* g_heard = nullptr;
HWND g_answeredFrom = nullptr;

LRESULT CALLBACK Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_heard) {
        if (message == kStart) g_heard->push_back("start");
        if (message == kStop) g_heard->push_back("stop");
        if (message == kUpdate) g_heard->push_back(std::to_string(wParam) + "=" + std::to_string(static_cast<LONG>(lParam)));
        if (message == WM_COPYDATA) {
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            g_answeredFrom = reinterpret_cast<HWND>(wParam);
            std::int32_t id = -1;
            std::memcpy(&id, copy->lpData, sizeof id);
            g_heard->push_back("name " + std::to_string(id) + " " + (static_cast<const char*>(copy->lpData) + sizeof id) +
                               " data " + std::to_string(copy->dwData));
            return TRUE;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeListener() {
    WNDCLASSA c{};
    c.lpfnWndProc = Listen;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VT2TestListener";
    RegisterClassA(&c);
    return CreateWindowExA(0, c.lpszClassName, "listener", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, c.hInstance, nullptr);
}

// Handles the test thread's messages until condition holds.
bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        return condition();
    });
}

bool Heard(const std::vector<std::string>& heard, const std::string& line) {
    return std::find(heard.begin(), heard.end(), line) != heard.end();
}

class WindowOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        g_heard = &heard;
        listener = MakeListener();
        ASSERT_NE(listener, nullptr);
        ASSERT_TRUE(outputs.open());
        outputs.start("demo", {{1, "lamp"}, {2, "recoil"}});
        ASSERT_TRUE(PumpUntil([&] { return (server = FindWindowA("MAMEOutput", "MAMEOutput")) != nullptr; }));
    }
    void TearDown() override {
        DestroyWindow(listener);
        g_heard = nullptr;
    }
    std::vector<std::string> heard;
    HWND listener = nullptr;
    HWND server = nullptr;
    std::vector<std::string> reports;
    win32::Win32WindowOutputs outputs{[this](const std::string& r) { reports.push_back(r); }};
};

TEST_F(WindowOutputs, AClientGetsTheValuesOnRegisteringThenEachChangeAndTheNames) {
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "start"); }));  // the broadcast reached a top-level window
    outputs.update(1, 1);  // before anyone listens: kept as the current value
    PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(listener), 77);
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "1=1") && Heard(heard, "2=0"); }));
    outputs.update(2, -5);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "2=-5"); }));
    for (int id : {0, 1, 2, 9}) PostMessageA(server, kGetIdString, reinterpret_cast<WPARAM>(listener), id);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "name 9  data 1"); }));
    EXPECT_TRUE(Heard(heard, "name 0 demo data 1"));
    EXPECT_TRUE(Heard(heard, "name 1 lamp data 1"));
    EXPECT_TRUE(Heard(heard, "name 2 recoil data 1"));

    // Registering again with the same id: the values once more, and updates only once after.
    heard.clear();
    PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(listener), 77);
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "1=1") && Heard(heard, "2=-5"); }));
    heard.clear();
    outputs.update(1, 0);
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "1=0"); }));
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "1=0"), 1);

    outputs.stop(1000);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "stop"); }));
    EXPECT_EQ(FindWindowA("MAMEOutput", nullptr), nullptr);
    EXPECT_TRUE(reports.empty());
}

// A game started again has a window of its own: a name asked of it is answered from that window,
// even while the client's answering thread of the first game still runs.
TEST_F(WindowOutputs, AfterTheGameStartsAgainNamesAreAnsweredFromTheCurrentWindow) {
    PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(listener), 5);
    PostMessageA(server, kGetIdString, reinterpret_cast<WPARAM>(listener), 0);
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "name 0 demo data 1"); }));
    EXPECT_EQ(g_answeredFrom, server);
    outputs.start("second", {{1, "lamp"}});
    HWND again = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        again = FindWindowA("MAMEOutput", "MAMEOutput");
        return again != nullptr && again != server;
    }));
    PostMessageA(again, kRegister, reinterpret_cast<WPARAM>(listener), 5);
    PostMessageA(again, kGetIdString, reinterpret_cast<WPARAM>(listener), 0);
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "name 0 second data 1"); }));
    EXPECT_EQ(g_answeredFrom, again);
    outputs.stop(1000);
}

TEST_F(WindowOutputs, AClientRegisteringUnderHundredsOfIdsGetsEachUpdateBoundedTimes) {
    for (int id = 1; id <= 300; ++id) PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(listener), id);
    outputs.update(1, 42);
    outputs.update(2, 7);  // posted after every "1=42"
    ASSERT_TRUE(PumpUntil([&] { return Heard(heard, "2=7"); }));
    const auto copies = std::count(heard.begin(), heard.end(), "1=42");
    EXPECT_GE(copies, 1);
    EXPECT_LE(copies, static_cast<long>(win32::Win32WindowOutputs::kMaxClients));
}

TEST_F(WindowOutputs, AHungClientHoldsUpNeitherTheUpdatesNorTheOthers) {
    // A client whose thread takes no messages any more.
    std::atomic<HWND> hung{nullptr};
    std::atomic<bool> release{false};
    std::thread client([&] {
        HWND w = MakeListener();
        PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(w), 1);
        hung = w;
        while (!release) Sleep(10);  // no message loop
        DestroyWindow(w);
    });
    ASSERT_TRUE(WaitUntil([&] { return hung.load() != nullptr; }));
    PostMessageA(server, kRegister, reinterpret_cast<WPARAM>(listener), 2);
    for (int i = 1; i <= 200; ++i) outputs.update(1, i);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "1=200"); }));
    PostMessageA(server, kGetIdString, reinterpret_cast<WPARAM>(listener), 1);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "name 1 lamp data 1"); }));
    // It asks for forty names while it hangs: the others' updates and the stop do not wait for it.
    for (int i = 0; i < 40; ++i) PostMessageA(server, kGetIdString, reinterpret_cast<WPARAM>(hung.load()), 1);
    outputs.update(2, 7);
    outputs.stop(1000);  // within its bound: the window is gone
    EXPECT_EQ(FindWindowA("MAMEOutput", nullptr), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Heard(heard, "2=7") && Heard(heard, "stop"); }));
    release = true;
    client.join();
}

}  // namespace
}  // namespace vt2::test
