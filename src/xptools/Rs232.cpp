#include "xptools/Rs232.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "xptools/Clock.h"
#include "xptools/Print.h"

namespace XP {
namespace {

constexpr int WRITE_STALL_MS = 2000;

struct BaudEntry_t {
    unsigned int baud;
    speed_t speed;
};

constexpr BaudEntry_t BAUD_TABLE[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool LookUpSpeed(unsigned int baud, speed_t& speed) {
    for (const BaudEntry_t& entry : BAUD_TABLE) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

// Milliseconds of real time left until `deadline`, for poll().
int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(std::min<int64_t>(left.count(), INT_MAX)) : 0;
}

// The calling thread's cancel descriptor when it is an XP::CThread, else -1.
int CancelFd() {
    return Clock::CurrentWaker()->GetCancelFd();
}

}  // namespace

CRs232::CRs232() : m_Fd(-1), m_CloseFd(-1), m_Users(0), m_Closing(false), m_HangUpReported(false) {}

CRs232::~CRs232() {
    Close();
}

bool CRs232::Open(const std::string& device, unsigned int baud, FlowControl_e flow) {
    Close();

    speed_t speed;
    if (!LookUpSpeed(baud, speed)) {
        MyPrintf("CRs232: unsupported baud rate %u for %s", baud, device.c_str());
        return false;
    }
    if (flow != FLOW_CONTROL_NONE && flow != FLOW_CONTROL_HW_RTSCTS &&
        flow != FLOW_CONTROL_SW_XONXOFF) {
        MyPrintf("CRs232: unknown flow control %d for %s", static_cast<int>(flow), device.c_str());
        return false;
    }

    // Non-blocking, so that opening does not wait for a carrier and every wait goes
    // through poll() with a time-out.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        MyPrintf("CRs232: cannot open %s: %s", device.c_str(), std::strerror(errno));
        return false;
    }
    termios tty{};
    if (tcgetattr(fd, &tty) != 0) {
        MyPrintf("CRs232: %s is not a serial port: %s", device.c_str(), std::strerror(errno));
        close(fd);
        return false;
    }
    cfmakeraw(&tty);
    tty.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tty.c_cflag |= CS8 | CREAD | CLOCAL;
    tty.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (flow == FLOW_CONTROL_HW_RTSCTS) {
        tty.c_cflag |= CRTSCTS;
    } else if (flow == FLOW_CONTROL_SW_XONXOFF) {
        tty.c_iflag |= IXON | IXOFF;
    }
    tty.c_cc[VMIN] = 0;
    tty.c_cc[VTIME] = 0;
    cfsetispeed(&tty, speed);
    cfsetospeed(&tty, speed);
    if (tcsetattr(fd, TCSANOW, &tty) != 0) {
        MyPrintf("CRs232: cannot configure %s: %s", device.c_str(), std::strerror(errno));
        close(fd);
        return false;
    }
    const int closeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (closeFd < 0) {
        MyPrintf("CRs232: eventfd failed: %s", std::strerror(errno));
        close(fd);
        return false;
    }

    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Fd = fd;
    m_CloseFd = closeFd;
    m_Device = device;
    m_HangUpReported = false;
    return true;
}

bool CRs232::IsValid() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Fd >= 0 && !m_Closing;
}

bool CRs232::Acquire(int& fd, int& closeFd) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Fd < 0 || m_Closing) {
        return false;
    }
    ++m_Users;
    fd = m_Fd;
    closeFd = m_CloseFd;
    return true;
}

void CRs232::Release() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (--m_Users == 0) {
        m_Idle.notify_all();
    }
}

void CRs232::WaitOut(int closeFd, unsigned int ms) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    pollfd fds[2] = {{closeFd, POLLIN, 0}, {CancelFd(), POLLIN, 0}};
    for (;;) {
        const int left = RemainingMs(deadline);
        if (left == 0 || Clock::IsCancelRequested()) {
            return;
        }
        const int ready = poll(fds, 2, left);
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return;
        }
    }
}

int CRs232::Read(const CBuffer& buffer, unsigned int ms) {
    return Read(buffer.GetBegin(), buffer.GetSize(), ms);
}

int CRs232::Read(unsigned char* pData, size_t size, unsigned int ms) {
    int fd = -1;
    int closeFd = -1;
    if (!Acquire(fd, closeFd)) {
        return -1;
    }
    if (size > INT_MAX) {
        size = INT_MAX;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int result = 0;
    // A negative descriptor is skipped by poll().
    pollfd fds[3] = {{fd, POLLIN, 0}, {closeFd, POLLIN, 0}, {CancelFd(), POLLIN, 0}};
    while (size > 0 && !Clock::IsCancelRequested()) {
        const int ready = poll(fds, 3, RemainingMs(deadline));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            MyPrintf("CRs232: poll on %s failed: %s", m_Device.c_str(), std::strerror(errno));
            result = -1;
            break;
        }
        if (ready == 0 || fds[1].revents != 0 || fds[2].revents != 0) {
            break;  // time-out, Close, or cancel
        }
        const ssize_t count = read(fd, pData, size);
        if (count > 0) {
            m_HangUpReported = false;
            result = static_cast<int>(count);
            break;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        // End of file or an error such as EIO: the device (or a pseudo-terminal's other side)
        // has gone. Report it once and pace the caller.
        if (!m_HangUpReported.exchange(true)) {
            MyPrintf("CRs232: %s hung up: %s", m_Device.c_str(),
                     count < 0 ? std::strerror(errno) : "end of file");
        }
        WaitOut(closeFd, static_cast<unsigned int>(RemainingMs(deadline)));
        result = -1;
        break;
    }
    Release();
    return result;
}

int CRs232::Write(const CBuffer& data) {
    return Write(data.GetBegin(), data.GetSize());
}

int CRs232::Write(const CSlice<const unsigned char>& data) {
    return Write(data.GetBegin(), data.GetSize());
}

int CRs232::Write(const unsigned char* pData, size_t size) {
    int fd = -1;
    int closeFd = -1;
    if (!Acquire(fd, closeFd)) {
        MyPrintf("CRs232: write on a port that is not open");
        return -1;
    }
    if (size > INT_MAX) {
        size = INT_MAX;
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t count = write(fd, pData + written, size - written);
        if (count > 0) {
            written += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno != EAGAIN) {
            MyPrintf("CRs232: write to %s failed after %zu of %zu bytes: %s", m_Device.c_str(),
                     written, size, std::strerror(errno));
            break;
        }
        // The output buffer is full (or flow control holds it): wait for room.
        pollfd fds[2] = {{fd, POLLOUT, 0}, {closeFd, POLLIN, 0}};
        int ready;
        do {
            ready = poll(fds, 2, WRITE_STALL_MS);
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0 || fds[1].revents != 0) {
            MyPrintf("CRs232: write to %s stalled after %zu of %zu bytes", m_Device.c_str(),
                     written, size);
            break;
        }
    }
    Release();
    return static_cast<int>(written);
}

bool CRs232::Flush() {
    int fd = -1;
    int closeFd = -1;
    if (!Acquire(fd, closeFd)) {
        return false;
    }
    // Waits until the driver has sent everything written, as a frame must leave whole before the
    // next; bounded so that a peer holding XOFF cannot block the sender for ever. Close wakes it.
    bool drained = false;
    for (int waitedMs = 0; waitedMs <= WRITE_STALL_MS; ++waitedMs) {
        int pending = 0;
        if (ioctl(fd, TIOCOUTQ, &pending) != 0) {
            MyPrintf("CRs232: flush of %s failed: %s", m_Device.c_str(), std::strerror(errno));
            break;
        }
        if (pending == 0) {
            drained = true;
            break;
        }
        pollfd wake = {closeFd, POLLIN, 0};
        if (poll(&wake, 1, 1) > 0) {
            break;
        }
    }
    if (!drained) {
        MyPrintf("CRs232: output of %s not drained", m_Device.c_str());
    }
    Release();
    return drained;
}

void CRs232::Close() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_Fd < 0 || m_Closing) {
        // Not open, or another thread is closing it: wait for that to finish.
        m_Idle.wait(lock, [this] { return !m_Closing; });
        return;
    }
    m_Closing = true;
    const uint64_t one = 1;
    if (write(m_CloseFd, &one, sizeof(one)) < 0) {
        // Still safe: the waits in progress end at their time-out.
    }
    m_Idle.wait(lock, [this] { return m_Users == 0; });
    close(m_Fd);
    close(m_CloseFd);
    m_Fd = -1;
    m_CloseFd = -1;
    m_Closing = false;
    m_Idle.notify_all();
}

}  // namespace XP
