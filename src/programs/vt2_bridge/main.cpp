// vt2bridge: reads each mouse and gun of this Linux machine on its own (Wine merges them into one)
// and hands their reports to VT2 under Wine over the loopback interface: to every VT2 connected
// (a run and the configuration tool at once), and only to those that prove they can read the
// secret it writes for its user (.vt2bridge-PORT.secret in $XDG_RUNTIME_DIR, else $HOME).
//
//   vt2bridge [--port N] [--only PATH]... [--ignore PATH]... [--exit-with-client]
//             --exit-with-client: ends when the last VT2 that proved itself goes
//             --exit-when-idle S: ends when no VT2 that proved itself has been there for S seconds
//             (how VT2 starts it: the next run, or the configuration tool, finds it still there)
//   vt2bridge --replay FILE... [--port N]     evemu recordings played as devices, from their start
//                                             at each connection, instead of /dev/input
//             [--unplug FILE FROM_MS TO_MS]   that recording's device unplugged meanwhile
//             [--times FILE]                  for the latency benchmark: each report's number and
//                                             when its events were read (CLOCK_MONOTONIC_RAW, ns,
//                                             the clock of Wine's QueryPerformanceCounter)
//   vt2bridge --list-devices [--replay FILE...]
// Exit codes: 0 ended as asked, 1 the port or the secret cannot be had, 2 a bad command line or
// recording.

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adapters/linux/bridge_secret_file.h"
#include "adapters/linux/bridge_serial_port.h"
#include "adapters/linux/bridge_evdev_source.h"
#include "adapters/linux/bridge_evemu_replay_source.h"
#include "adapters/linux/bridge_loopback_server.h"
#include "adapters/linux/bridge_udev_monitor.h"
#include "bridge/bridge_listing.h"
#include "bridge/bridge_session.h"

namespace {

using namespace vt2;
using namespace vt2::linux_input;

struct Options {
    int port = kBridgeDefaultPort;
    std::vector<std::string> replays;
    struct Unplug {
        std::string file;
        std::int64_t fromMs, toMs;
    };
    std::vector<Unplug> unplugs;
    std::vector<std::string> only, ignore;
    std::string times;
    bool listDevices = false;
    bool exitWithClient = false;
    int exitWhenIdleS = 0;  // 0: never
};

volatile std::sig_atomic_t g_stop = 0;
void Stop(int) { g_stop = 1; }

bool ReadOptions(int argc, char** argv, Options& o) {
    bool replaying = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--replay") {
            replaying = true;
        } else if (a == "--port" && hasValue) {
            o.port = std::atoi(argv[++i]);
            if (o.port < 0 || o.port > 65535) return false;  // 0: a free port, said on the first line
            replaying = false;
        } else if (a == "--unplug" && i + 3 < argc) {
            o.unplugs.push_back({argv[i + 1], std::atoll(argv[i + 2]), std::atoll(argv[i + 3])});
            i += 3;
            replaying = false;
        } else if (a == "--only" && hasValue) {
            o.only.push_back(argv[++i]);
        } else if (a == "--ignore" && hasValue) {
            o.ignore.push_back(argv[++i]);
        } else if (a == "--times" && hasValue) {
            o.times = argv[++i];
        } else if (a == "--list-devices") {
            o.listDevices = true;
        } else if (a == "--exit-with-client") {
            o.exitWithClient = true;
        } else if (a == "--exit-when-idle" && hasValue) {
            o.exitWhenIdleS = std::atoi(argv[++i]);
            if (o.exitWhenIdleS <= 0) return false;
        } else if (replaying && a.rfind("--", 0) != 0) {
            o.replays.push_back(a);
        } else {
            std::fprintf(stderr, "vt2bridge: unknown option %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

std::int64_t RawClockNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool Wanted(const Options& o, const bridge::SourceDevice& d, const std::string& node) {
    auto named = [&](const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), d.path) != list.end() || std::find(list.begin(), list.end(), node) != list.end();
    };
    return (o.only.empty() || named(o.only)) && !named(o.ignore);
}

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A connection: until it proves it knows the secret it gets nothing but the challenge, and is
// closed when it has not by its deadline.
struct Caller {
    int client;
    BridgeServerHandshake handshake;
    std::int64_t deadlineMs;
    bool trusted = false;
    BridgeStreamReader reader;  // what it sends once trusted: its guns' serial ports
    std::map<std::uint8_t, std::unique_ptr<bridge::SerialPort>> serial;  // closed when it goes
    // It asked for a serial port: a connection for the guns' feedback, which wants no devices
    // (unread, their reports would pile up until the bridge dropped it).
    bool forSerialPorts = false;
};

// A trusted caller's requests for its guns' serial ports; what is to tell it back.
std::vector<std::uint8_t> TakeSerialRequests(Caller& caller, const std::vector<std::uint8_t>& bytes) {
    std::vector<BridgeMessage> messages;
    caller.reader.take(bytes.data(), bytes.size(), messages);
    std::vector<std::uint8_t> replies;
    auto tell = [&](std::uint8_t port, bool open, const std::string& problem) {
        const std::vector<std::uint8_t> state = EncodeBridgeMessage(BridgeSerialState{port, open, problem});
        replies.insert(replies.end(), state.begin(), state.end());
    };
    for (const BridgeMessage& message : messages) {
        std::string why;
        const bool serial = std::holds_alternative<BridgeSerialOpen>(message) || std::holds_alternative<BridgeSerialWrite>(message) ||
                            std::holds_alternative<BridgeSerialClose>(message);
        caller.forSerialPorts = caller.forSerialPorts || serial;
        if (const auto* open = std::get_if<BridgeSerialOpen>(&message)) {
            caller.serial.erase(open->port);
            auto port = bridge::SerialPort::Open(*open, why);
            tell(open->port, port != nullptr, port ? std::string() : open->path + " " + why);
            if (port) caller.serial[open->port] = std::move(port);
        } else if (const auto* write = std::get_if<BridgeSerialWrite>(&message)) {
            const auto port = caller.serial.find(write->port);
            if (port == caller.serial.end()) continue;  // told already why it is not open
            if (!port->second->write(write->bytes, why)) {
                caller.serial.erase(port);
                tell(write->port, false, why);
            }
        } else if (const auto* close = std::get_if<BridgeSerialClose>(&message)) {
            caller.serial.erase(close->port);
        }
    }
    return replies;
}

struct Reading {
    std::unique_ptr<InputSource> source;
    std::string node;  // the event node of a real device
    std::uint32_t number = 0;
    bool pluggedIn = true;
};

// The real devices not read yet, as they are now.
void FindDevices(const Options& o, std::vector<Reading>& readings, bridge::BridgeSession& session) {
    for (const std::string& node : InputEventNodes()) {
        const bool known = std::any_of(readings.begin(), readings.end(), [&](const Reading& r) { return r.node == node; });
        if (known) continue;
        std::string why;
        auto source = EvdevSource::Open(node, why);
        if (!source || !Wanted(o, source->device(), node)) continue;
        Reading r{std::move(source), node, 0};
        r.number = session.addDevice(r.source->device());
        readings.push_back(std::move(r));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: vt2bridge [--port N] [--only PATH]... [--ignore PATH]... [--exit-with-client]\n"
                             "       vt2bridge --replay FILE... [--port N] | --list-devices [--replay FILE...]\n");
        return 2;
    }
    const bool replay = !options.replays.empty();
    bridge::BridgeSession session;
    std::vector<Reading> readings;
    for (const std::string& file : options.replays) {
        std::string why;
        auto source = EvemuReplaySource::Open(file, why);
        if (!source) {
            std::fprintf(stderr, "vt2bridge: %s\n", why.c_str());
            return 2;
        }
        for (const auto& u : options.unplugs) {
            if (u.file == file) source->unplugBetween(u.fromMs, u.toMs);
        }
        Reading r{std::move(source), "", 0};
        r.number = session.addDevice(r.source->device());
        readings.push_back(std::move(r));
    }
    if (!replay) FindDevices(options, readings, session);

    if (options.listDevices) {
        std::vector<bridge::SourceDevice> devices;
        for (const Reading& r : readings) devices.push_back(r.source->device());
        std::fputs(bridge::BridgeDeviceListing(devices).c_str(), stdout);
        return 0;
    }

    LoopbackServer server;
    std::string why;
    if (!server.bind(options.port, why)) {
        std::fprintf(stderr, "vt2bridge: %s\n", why.c_str());
        return 1;
    }
    // Written before anyone can connect, so that a client connected reads this bridge's secret.
    const auto secretPath = BridgeSecretPath(EnvironmentText("XDG_RUNTIME_DIR"), EnvironmentText("HOME"), server.port());
    const std::optional<BridgeSecretFile> secret = secretPath ? BridgeSecretFile::Create(*secretPath, why) : std::nullopt;
    if (!secret || !server.listen(why)) {
        std::fprintf(stderr, "vt2bridge: %s\n", secretPath ? why.c_str() : "neither XDG_RUNTIME_DIR nor HOME names a folder for the secret");
        return 1;
    }
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("vt2bridge: %zu device(s), listening on 127.0.0.1:%d\n", readings.size(), server.port());
    std::fflush(stdout);

    std::unique_ptr<FILE, int (*)(FILE*)> times(options.times.empty() ? nullptr : std::fopen(options.times.c_str(), "w"),
                                               [](FILE* f) { return f ? std::fclose(f) : 0; });
    // Devices plugged in meanwhile: as udev announces them, else looked for every second.
    std::unique_ptr<UdevMonitor> plugs;
    if (!replay) {
        plugs = UdevMonitor::Open(why);
        if (!plugs) std::fprintf(stderr, "vt2bridge: %s; looking for new devices every second\n", why.c_str());
    }
    constexpr std::int64_t kNever = INT64_MAX / 2;
    std::int64_t nextSearchMs = !replay && !plugs ? MonotonicMs() + 1000 : kNever;
    std::vector<bridge::InputEvent> events;
    std::vector<Caller> callers;
    bool hadTrusted = false;
    std::int64_t idleSinceMs = MonotonicMs();
    auto trustedCount = [&] { return std::count_if(callers.begin(), callers.end(), [](const Caller& c) { return c.trusted; }); };
    auto letGo = [&](int client) {
        server.drop(client);
        session.disconnect(static_cast<std::uint32_t>(client));
        std::erase_if(callers, [&](const Caller& c) { return c.client == client; });
    };
    while (!g_stop) {
        // Wait for a connection, a client, a device, or the next replayed event.
        std::vector<pollfd> waits{{server.listenDescriptor(), POLLIN, 0}};
        for (const Caller& c : callers) {
            waits.push_back({c.client, static_cast<short>(POLLIN | (server.wantsToWrite(c.client) ? POLLOUT : 0)), 0});
        }
        if (plugs) waits.push_back({plugs->descriptor(), POLLIN, 0});
        std::int64_t dueMs = std::min(MonotonicMs() + 1000, nextSearchMs);
        for (const Caller& c : callers) {
            if (!c.trusted) dueMs = std::min(dueMs, c.deadlineMs);
        }
        for (const Reading& r : readings) {
            if (r.source->descriptor() >= 0) waits.push_back({r.source->descriptor(), POLLIN, 0});
            if (const auto due = r.source->nextDueMs(MonotonicMs())) dueMs = std::min(dueMs, *due);
        }
        const auto timeout = static_cast<int>(std::clamp<std::int64_t>(dueMs - MonotonicMs(), 0, 1000));
        poll(waits.data(), waits.size(), timeout);
        const std::int64_t now = MonotonicMs();

        // A replay unplugged or plugged in again.
        auto followPlugs = [&] {
            for (Reading& r : readings) {
                const bool pluggedIn = r.source->pluggedIn(now);
                if (pluggedIn == r.pluggedIn) continue;
                r.pluggedIn = pluggedIn;
                if (pluggedIn) {
                    r.number = session.addDevice(r.source->device());
                } else {
                    session.removeDevice(r.number);
                }
            }
        };
        // What the clients sent: a proof, or that they went. Before any newcomer is taken, so
        // that a client that went and came back is the only one again.
        auto callerOf = [&](int client) {
            return std::find_if(callers.begin(), callers.end(), [&](const Caller& c) { return c.client == client; });
        };
        for (const int client : server.clients()) {  // a copy: letGo changes the list
            std::vector<std::uint8_t> got;
            const bool present = server.receive(client, got);
            const auto it = callerOf(client);
            if (present && !it->trusted) {
                const HandshakeState state = it->handshake.take(got.data(), got.size());
                if (state == HandshakeState::Trusted) {
                    const bool first = trustedCount() == 0;
                    it->trusted = hadTrusted = true;
                    server.send(client, it->handshake.answer());
                    if (first && replay) {
                        for (Reading& r : readings) r.source->startOver(now);
                        followPlugs();  // a replay unplugged from its start is not in the first list
                    }
                    session.connect(static_cast<std::uint32_t>(client), replay);
                    continue;
                }
                if (state == HandshakeState::Waiting && now < it->deadlineMs) continue;
                std::fprintf(stderr, "vt2bridge: a connection that did not prove it knows the secret was closed\n");
                letGo(client);
                continue;
            }
            if (present && it->trusted && !got.empty()) {
                const std::vector<std::uint8_t> replies = TakeSerialRequests(*it, got);
                if (it->forSerialPorts) session.disconnect(static_cast<std::uint32_t>(client));
                if (!replies.empty() && !server.send(client, replies)) letGo(client);
                continue;
            }
            if (!present) letGo(client);
        }
        if (options.exitWithClient && hadTrusted && trustedCount() == 0) break;
        if (waits[0].revents & POLLIN) {
            const int client = server.accept();
            if (client >= 0) {
                // Past the bound, the oldest that has not proved itself makes room, else the newcomer.
                int turnedAway = -1;
                if (server.clients().size() > LoopbackServer::kMaxClients) {
                    const auto waiting = std::find_if(callers.begin(), callers.end(), [](const Caller& c) { return !c.trusted; });
                    turnedAway = waiting != callers.end() ? waiting->client : client;
                    letGo(turnedAway);
                }
                if (turnedAway != client) {
                    callers.push_back({client, BridgeServerHandshake(secret->secret(), RandomNonce()), now + kBridgeProofWaitMs});
                    if (!server.send(client, callers.back().handshake.challenge())) letGo(client);
                }
            }
        }
        followPlugs();
        for (std::size_t i = 0; i < readings.size();) {
            events.clear();
            const bool present = readings[i].source->read(now, events);
            const std::int64_t readNs = times ? RawClockNs() : 0;
            for (const bridge::InputEvent& e : events) {
                const std::uint64_t before = session.reportsSent();
                session.takeEvent(readings[i].number, e);
                if (times && session.reportsSent() != before) {
                    std::fprintf(times.get(), "%llu %lld\n", static_cast<unsigned long long>(session.reportsSent()),
                                 static_cast<long long>(readNs));
                }
            }
            if (!present) {
                session.removeDevice(readings[i].number);
                readings.erase(readings.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        if (plugs && !plugs->takeAdded().empty()) FindDevices(options, readings, session);
        if (now >= nextSearchMs) {
            FindDevices(options, readings, session);
            nextSearchMs = now + 1000;
        }
        for (const int client : server.clients()) {  // a copy: letGo changes the list
            if (!callerOf(client)->trusted) continue;
            const std::vector<std::uint8_t> bytes = session.takeOutgoing(static_cast<std::uint32_t>(client));
            if ((!bytes.empty() || server.wantsToWrite(client)) && !server.send(client, bytes)) letGo(client);
        }
        if (options.exitWithClient && hadTrusted && trustedCount() == 0) break;
        if (trustedCount() > 0) idleSinceMs = now;
        if (options.exitWhenIdleS > 0 && now - idleSinceMs >= std::int64_t{options.exitWhenIdleS} * 1000) break;
        if (times) std::fflush(times.get());  // after the send: not in the way of the reports
    }
    return 0;
}
