// Replays a fixed sequence of output values through VT2 to our DDE output server and prints what
// the server received, one message a line: run it with two builds of VT2 (--vt2 PATH) and compare
// the two prints, to see that a change left every message byte for byte as it was.
//   vt2_output_replay [--vt2 PATH]
// The outputs lie in the demo game's lamp panel, which the game leaves alone without --blink:
// rows of every value type, bit masks of each form, a row whose address is no number, and a step
// counter. Each step writes the panel and waits until the server has the counter's new value, so
// every row's change of that step was read in the same pass, whatever the loop's pace.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/win32_harness.h"

namespace {

using namespace vt2::test;

struct Row {
    int offset;  // in the panel; -1: the address is no number
    const char* type;
    const char* mask;
    const char* name;
};

constexpr Row kRows[] = {
    {0, "byte", "", "byte"},          {0, "byte", "2", "bit"},         {1, "byte", "-2", "inverted"},
    {2, "integer", "", "integer"},    {4, "long", "", "long"},         {8, "single", "", "single"},
    {1, "byte", "swd|0|10|20|30", "swd"}, {1, "byte", "swp|0|10|20|30", "swp"}, {12, "2byte", "", "2byte"},
    {8, "float", "", "float"},
    {-1, "byte", "", "nowhere"},      {15, "byte", "", "step"},
};

// A fixed, varied sequence: each step's panel bytes from a small generator, with floats and
// negative numbers among them.
std::vector<std::uint8_t> PanelFor(int step) {
    std::vector<std::uint8_t> panel(16);
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(step) * 2654435761u;
    for (int i = 0; i < 15; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        panel[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(state % (step % 3 == 0 ? 4 : 256));
    }
    const float floats[] = {0.0f, 1.5f, -0.25f, 3.14159265f, 1e-7f, 123456.7f, -98765.4321f, 0.1f};
    const float f = floats[step % 8];
    std::memcpy(&panel[8], &f, sizeof f);
    panel[15] = static_cast<std::uint8_t>(step);
    return panel;
}

}  // namespace

int main(int argc, char** argv) {
    std::string otherVt2;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--vt2") == 0) otherVt2 = argv[i + 1];
    }
    TempInstall install;
    if (!otherVt2.empty() && !CopyFileA(otherVt2.c_str(), install.file("VT2.exe").c_str(), FALSE)) return 2;
    const DemoLayout layout;
    const std::uint64_t panel = layout.address("vt2demo_panel");
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    install.setIni("memcfg\\demo.ini", "Outputs", "NumberOutputs", std::to_string(std::size(kRows)));
    int n = 0;
    for (const Row& row : kRows) {
        const std::string key = "Output" + std::to_string(++n);
        install.setIni("memcfg\\demo.ini", "Outputs", key + "Addr",
                       row.offset < 0 ? "no address" : std::to_string(panel + static_cast<std::uint32_t>(row.offset)));
        install.setIni("memcfg\\demo.ini", "Outputs", key + "Type", row.type);
        install.setIni("memcfg\\demo.ini", "Outputs", key + "BitMask", row.mask);
        install.setIni("memcfg\\demo.ini", "Outputs", key + "Name", row.name);
    }
    const std::string log = install.file("outputs.log");
    ChildProcess server = StartOutputServer(log);
    ChildProcess game = install.startDemoGame();
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !ParkPointerAwayFromWindows()) {
        return 1;
    }
    ChildProcess vt2 = install.startVt2("demo");
    if (!WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game")) return 1;
    const std::string stepRow = "statechange|" + std::to_string(std::size(kRows)) + "|step|";
    for (int step = 1; step <= 60; ++step) {
        const std::vector<std::uint8_t> bytes = PanelFor(step);
        SIZE_T copied = 0;
        WriteProcessMemory(game.handle(), reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(panel)), bytes.data(),
                           bytes.size(), &copied);
        const std::string arrived = stepRow + std::to_string(step);
        if (!WaitUntil([&] {
                const std::vector<std::string> lines = ReadLines(log);
                return !lines.empty() && lines.back() == arrived;
            })) {
            std::fprintf(stderr, "step %d did not arrive\n", step);
            return 1;
        }
    }
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
    for (const std::string& line : ReadLines(log)) std::printf("%s\n", line.c_str());
    return 0;
}
