#include "adapters/win32/pass_trace.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vt2::win32::pass_trace {

namespace {

struct Record {
    std::int64_t counter;
    std::uint32_t detail;
    Point point;
};

// The trace of this process: the file it goes to and the points so far. Room is made once, at
// the start, so that a mark never allocates; a run longer than the room keeps its beginning.
constexpr std::size_t kRoom = 1 << 20;
struct Trace {
    std::string path;
    std::vector<Record> records;
};
std::optional<Trace> g_trace;  // none while the environment names no file

}  // namespace

void StartFromEnvironment() {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VT2_PASS_TRACE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || g_trace) return;
    g_trace.emplace(Trace{path, {}});
    g_trace->records.reserve(kRoom);
}

void Mark(Point point, std::uint32_t detail) {
    if (!g_trace || g_trace->records.size() == kRoom) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_trace->records.push_back({now.QuadPart, detail, point});
}

void WriteOut() {
    if (!g_trace) return;
    if (FILE* out = std::fopen(g_trace->path.c_str(), "w")) {
        for (const Record& r : g_trace->records) {
            std::fprintf(out, "%lld %d %lu\n", static_cast<long long>(r.counter), static_cast<int>(r.point),
                         static_cast<unsigned long>(r.detail));
        }
        std::fclose(out);
    }
    g_trace->records.clear();
}

}  // namespace vt2::win32::pass_trace
