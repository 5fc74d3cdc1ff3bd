#pragma once
// The players' guns as the operating system reaches them: serial ports (COM N) and the TCP recoil
// servers of some guns' own software. Every call returns at once; the writing happens on a thread
// of the adapter's own, so that a slow or vanished gun never holds up a pass.

#include <string>
#include <vector>

namespace vt2 {

struct FeedbackWrite {
    enum class Kind { Open, Write, Close, Settings, TcpWrite };
    Kind kind = Kind::Write;
    int port = 0;      // COM N, or recoil server N
    std::string text;  // the bytes to write, or the port's settings
    // Not empty: a later write of the same key that finds this one still waiting replaces it (the
    // latest state wins, as a gun that is paced cannot take every change of a full-auto game).
    std::string latestKey;
    // Part of the start sent again to a gun whose port came back: it goes before the writes that
    // found the port back and wait for it.
    bool restart = false;
    bool operator==(const FeedbackWrite&) const = default;
};

// A gun by its port: COM N, or recoil server N.
struct FeedbackGun {
    bool recoilServer = false;
    int port = 0;
    bool operator==(const FeedbackGun&) const = default;
};

struct FeedbackPortStatus {
    std::string name;      // "COM5 (9600 baud)", "recoil server 1 (127.0.0.1:13000)"
    bool open = false;
    std::string lastSent;  // the last bytes written, as text
    std::string problem;   // why it is not open, in the system's words; empty when it is
};

class FeedbackPorts {
public:
    virtual ~FeedbackPorts() = default;
    virtual void send(const FeedbackWrite& write) = 0;
    // Waits until every write is out (or at most maxWaitMs): at the end of a run.
    virtual void flush(unsigned maxWaitMs) = 0;
    virtual std::vector<FeedbackPortStatus> status() = 0;
    // What went wrong since the last call (a port that cannot be opened, or went away), once each.
    virtual std::vector<std::string> takeNotes() = 0;
    // The guns whose port was opened again since the last call, after it had gone (a gun plugged in
    // again has forgotten the mode the start put it in): their writes wait, a short while at most,
    // for the start's writes for them (FeedbackWrite::restart).
    virtual std::vector<FeedbackGun> takeReturnedGuns() = 0;
};

// Where no gun is driven.
class NoFeedbackPorts final : public FeedbackPorts {
public:
    void send(const FeedbackWrite&) override {}
    void flush(unsigned) override {}
    std::vector<FeedbackPortStatus> status() override { return {}; }
    std::vector<std::string> takeNotes() override { return {}; }
    std::vector<FeedbackGun> takeReturnedGuns() override { return {}; }
};

}  // namespace vt2
