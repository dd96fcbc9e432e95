#include "xptools/Rs232.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "TempDir.h"
#include "xptools/Semaphore.h"
#include "xptools/Thread.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A pseudo-terminal: the test plays the far end on the master, CRs232 opens the slave.
class Pty {
public:
    Pty() {
        m_Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_Master >= 0 && grantpt(m_Master) == 0 && unlockpt(m_Master) == 0) {
            m_SlavePath = ptsname(m_Master);
        }
    }
    ~Pty() { CloseMaster(); }

    void CloseMaster() {
        if (m_Master >= 0) {
            close(m_Master);
            m_Master = -1;
        }
    }

    bool IsOpen() const { return !m_SlavePath.empty(); }
    const std::string& SlavePath() const { return m_SlavePath; }
    int Master() const { return m_Master; }

    void Send(const Bytes& bytes) const {
        ASSERT_EQ(write(m_Master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads from the master until `count` bytes came (or 5 s without any).
    Bytes Receive(size_t count) const {
        Bytes received;
        while (received.size() < count) {
            pollfd fd = {m_Master, POLLIN, 0};
            if (poll(&fd, 1, 5000) <= 0) {
                break;
            }
            unsigned char chunk[256];
            const ssize_t n = read(m_Master, chunk, sizeof(chunk));
            if (n <= 0) {
                break;
            }
            received.insert(received.end(), chunk, chunk + n);
        }
        return received;
    }

private:
    int m_Master = -1;
    std::string m_SlavePath;
};

// Reads from the port until `count` bytes came; a read that brings nothing ends it.
Bytes ReadAll(XP::CRs232& port, size_t count) {
    Bytes received;
    XP::CBuffer buffer(64);
    while (received.size() < count) {
        const int n = port.Read(buffer, 5000);
        if (n <= 0) {
            break;
        }
        received.insert(received.end(), buffer.GetBegin(), buffer.GetBegin() + n);
    }
    return received;
}

// Frame and flow-control bytes, a carriage return and a line feed: raw mode must pass all of
// them unchanged.
const Bytes SAMPLE = {0x0F, 0x00, 0x11, 0x13, 0x12, 0x10, 0xFF, '\r', '\n', 0x03, 0x7F, 'k'};

TEST(Rs232Test, BytesCrossBothWaysUnchanged) {
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    XP::CRs232 port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_TRUE(port.IsValid());

    pty.Send(SAMPLE);
    EXPECT_EQ(ReadAll(port, SAMPLE.size()), SAMPLE);

    EXPECT_EQ(port.Write(XP::CBuffer(const_cast<unsigned char*>(SAMPLE.data()), SAMPLE.size())),
              static_cast<int>(SAMPLE.size()));
    EXPECT_EQ(pty.Receive(SAMPLE.size()), SAMPLE);

    port.Close();
    EXPECT_FALSE(port.IsValid());
}

TEST(Rs232Test, ReadFillsTheFrontAndTimesOutWithZero) {
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    XP::CRs232 port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200, XP::CRs232::FLOW_CONTROL_NONE));

    unsigned char storage[8] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    XP::CBuffer buffer(storage);
    EXPECT_EQ(port.Read(buffer, 20), 0);  // nothing sent yet

    pty.Send({1, 2, 3});
    Bytes got;
    while (got.size() < 3) {
        const int n = port.Read(buffer.Subslice(got.size(), buffer.GetSize() - got.size()), 5000);
        ASSERT_GT(n, 0);
        got.insert(got.end(), storage + got.size(), storage + got.size() + n);
    }
    EXPECT_EQ(Bytes(storage, storage + 8), (Bytes{1, 2, 3, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
    EXPECT_EQ(port.Read(buffer, 20), 0);
}

TEST(Rs232Test, PortIsRawEightNoneOneWithTheChosenFlowControl) {
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    XP::CRs232 port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200, XP::CRs232::FLOW_CONTROL_SW_XONXOFF));
    termios tty{};
    ASSERT_EQ(tcgetattr(pty.Master(), &tty), 0);
    EXPECT_EQ(tty.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tty.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tty.c_iflag & (ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(tty.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tty.c_oflag & OPOST, 0u);
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B115200));

    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600, XP::CRs232::FLOW_CONTROL_NONE));
    ASSERT_EQ(tcgetattr(pty.Master(), &tty), 0);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B9600));
}

TEST(Rs232Test, BadDevicesAndRatesAreRefused) {
    KestrelTest::TempDir dir;
    const std::string plainFile = dir.WriteFile("not-a-tty", "x");
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    KestrelTest::ConsoleCapture console;
    XP::CRs232 port;

    EXPECT_FALSE(port.Open(dir.Path() + "/missing", 115200, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(port.Open(plainFile, 115200, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(port.Open(pty.SlavePath(), 12345, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(port.Open(pty.SlavePath(), 115200, static_cast<XP::CRs232::FlowControl_e>(7)));
    EXPECT_FALSE(port.IsValid());
    const std::vector<std::string> lines = console.Take();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              "CRs232: cannot open " + dir.Path() + "/missing: No such file or directory");
    EXPECT_EQ(lines[1].rfind("CRs232: " + plainFile + " is not a serial port: ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2], "CRs232: unsupported baud rate 12345 for " + pty.SlavePath());
    EXPECT_EQ(lines[3], "CRs232: unknown flow control 7 for " + pty.SlavePath());

    // A port that is not open reads and writes nothing.
    unsigned char byte = 0;
    EXPECT_EQ(port.Read(&byte, 1, 10), -1);
    EXPECT_EQ(port.Write(&byte, 1), -1);
    EXPECT_FALSE(port.Flush());
    EXPECT_EQ(console.Take(), std::vector<std::string>{"CRs232: write on a port that is not open"});
}

TEST(Rs232Test, FarEndClosingIsReportedOnce) {
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    XP::CRs232 port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200, XP::CRs232::FLOW_CONTROL_NONE));
    pty.CloseMaster();
    KestrelTest::ConsoleCapture console;
    unsigned char buffer[4];
    EXPECT_EQ(port.Read(buffer, sizeof(buffer), 10), -1);
    EXPECT_EQ(port.Read(buffer, sizeof(buffer), 10), -1);
    const std::vector<std::string> lines = console.Take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("CRs232: " + pty.SlavePath() + " hung up: ", 0), 0u) << lines[0];
}

// A reader blocked in a long Read: Close from another thread ends it, and Cancel of the
// reading CThread ends it. Neither waits for the 15 s time-out.
class Reader {
public:
    explicit Reader(XP::CRs232& port) : m_Port(port) {}
    bool ReadLong() {
        unsigned char buffer[16];
        m_Started.Signal();
        m_Results.push_back(m_Port.Read(buffer, sizeof(buffer), 15000));
        if (m_Results.back() < 0 || m_Results.size() >= 100) {
            m_Finished.Signal();
            return false;
        }
        return true;
    }

    XP::CRs232& m_Port;
    XP::CSemaphore m_Started;
    XP::CSemaphore m_Finished;
    std::vector<int> m_Results;  // read by the test only after m_Finished or the join
};

TEST(Rs232Test, CloseAndCancelEndAReadInProgress) {
    Pty pty;
    ASSERT_TRUE(pty.IsOpen());
    XP::CRs232 port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200, XP::CRs232::FLOW_CONTROL_NONE));

    {
        Reader reader(port);
        XP::CThread thread(
            XP::INTERNAL::GetFunctorFactory(&Reader::ReadLong).Bind<&Reader::ReadLong>(&reader),
            "UART Rx", 0);
        ASSERT_TRUE(thread.Run());
        ASSERT_TRUE(reader.m_Started.Wait(10000));
        thread.Cancel();
        ASSERT_EQ(reader.m_Results.size(), 1u);
        EXPECT_EQ(reader.m_Results[0], 0);
    }
    {
        Reader reader(port);
        XP::CThread thread(
            XP::INTERNAL::GetFunctorFactory(&Reader::ReadLong).Bind<&Reader::ReadLong>(&reader),
            "UART Rx", 0);
        ASSERT_TRUE(thread.Run());
        ASSERT_TRUE(reader.m_Started.Wait(10000));
        // The read in progress returns 0 (port closing) and the next one -1 (closed), or the
        // first one already -1: the body then returns false and the thread ends by itself,
        // long before the 15 s time-out.
        port.Close();
        ASSERT_TRUE(reader.m_Finished.Wait(10000));
        ASSERT_LE(reader.m_Results.size(), 2u);
        EXPECT_EQ(reader.m_Results.back(), -1);
        EXPECT_EQ(reader.m_Results.front(), reader.m_Results.size() == 2 ? 0 : -1);
    }
}

}  // namespace
