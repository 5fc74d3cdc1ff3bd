#include "adapters/linux/bridge_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vt2::bridge {

namespace {

constexpr int kWriteWaitMs = 200;

std::string SystemText(int error) { return std::strerror(error); }

std::int64_t NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

speed_t SpeedOf(std::uint32_t baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return 0;
    }
}

bool Configure(int fd, const BridgeSerialOpen& r, std::string& why) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        why = "takes no serial settings: " + SystemText(errno);
        return false;
    }
    cfmakeraw(&t);
    const speed_t speed = SpeedOf(r.baud);
    if (speed == 0) {
        why = std::to_string(r.baud) + " baud is no speed a serial port takes here";
        return false;
    }
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag |= r.dataBits == 5 ? CS5 : r.dataBits == 6 ? CS6 : r.dataBits == 7 ? CS7 : CS8;
    if (r.stopBits == 2) t.c_cflag |= CSTOPB;
    if (r.parity != 'N') t.c_cflag |= PARENB;
    if (r.parity == 'O' || r.parity == 'M') t.c_cflag |= PARODD;
    if (r.parity == 'M' || r.parity == 'S') t.c_cflag |= CMSPAR;
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        why = "does not take its settings: " + SystemText(errno);
        return false;
    }
    // The guns listen only with DTR on; a port without modem lines (a pty) has none to set.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    return true;
}

}  // namespace

std::unique_ptr<SerialPort> SerialPort::Open(const BridgeSerialOpen& request, std::string& why) {
    struct stat info {};
    if (stat(request.path.c_str(), &info) != 0) {
        why = "cannot be opened: " + SystemText(errno);
        return nullptr;
    }
    // Only a character device is opened at all: a file or a folder is never written to.
    if (!S_ISCHR(info.st_mode)) {
        why = "is no serial port";
        return nullptr;
    }
    const int fd = open(request.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot be opened: " + SystemText(errno);
        return nullptr;
    }
    std::unique_ptr<SerialPort> port(new SerialPort(fd));
    if (!isatty(fd)) {
        why = "is no serial port";
        return nullptr;
    }
    if (!Configure(fd, request, why)) return nullptr;
    return port;
}

SerialPort::~SerialPort() { close(fd_); }

bool SerialPort::write(std::string_view bytes, std::string& why) {
    const std::int64_t until = NowMs() + kWriteWaitMs;
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(done));
            continue;
        }
        if (done < 0 && errno != EAGAIN && errno != EINTR) {
            why = "went away: " + SystemText(errno);
            return false;
        }
        const std::int64_t left = until - NowMs();
        pollfd wait{fd_, POLLOUT, 0};
        if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0 || (wait.revents & (POLLERR | POLLHUP)) != 0) {
            why = left <= 0 ? "takes nothing" : "went away";
            return false;
        }
    }
    return true;
}

}  // namespace vt2::bridge
