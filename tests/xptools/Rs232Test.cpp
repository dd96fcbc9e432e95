#include "xptools/Rs232.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "TempDir.h"
#include "xptools/Semaphore.h"
#include "xptools/Thread.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The test plays the far end on the master side of a pseudo-terminal; each test starts with
// the port open on its slave side at 115200 baud.
class Rs232Test : public ::testing::Test {
protected:
    void SetUp() override {
        m_Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_TRUE(m_Master >= 0 && grantpt(m_Master) == 0 && unlockpt(m_Master) == 0);
        m_Slave = ptsname(m_Master);
        ASSERT_TRUE(m_Port.Open(m_Slave, 115200, XP::CRs232::FLOW_CONTROL_NONE));
    }

    void TearDown() override {
        m_Port.Close();
        if (m_Master >= 0) {
            close(m_Master);
        }
    }

    void Send(const Bytes& bytes) const {
        ASSERT_EQ(write(m_Master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads from the master until `count` bytes came (or 5 s without any).
    Bytes Receive(size_t count) const {
        Bytes received;
        unsigned char chunk[256];
        pollfd fd = {m_Master, POLLIN, 0};
        for (ssize_t n = 0; received.size() < count && poll(&fd, 1, 5000) > 0 &&
                            (n = read(m_Master, chunk, sizeof(chunk))) > 0;) {
            received.insert(received.end(), chunk, chunk + n);
        }
        return received;
    }

    int m_Master = -1;
    std::string m_Slave;
    XP::CRs232 m_Port;
};

// Frame and flow-control bytes, a carriage return and a line feed: raw mode must pass all of
// them unchanged.
const Bytes SAMPLE = {0x0F, 0x00, 0x11, 0x13, 0x12, 0x10, 0xFF, '\r', '\n', 0x03, 0x7F, 'k'};

TEST_F(Rs232Test, BytesCrossBothWaysUnchangedAndReadTimesOutWithZero) {
    Bytes storage(16, 0xAA);
    XP::CBuffer buffer(storage.data(), storage.size());
    EXPECT_EQ(m_Port.Read(buffer, 20), 0);  // nothing sent yet

    Send(SAMPLE);
    for (size_t got = 0; got < SAMPLE.size();) {
        const int n = m_Port.Read(buffer.Subslice(got, buffer.GetSize() - got), 5000);
        ASSERT_GT(n, 0);
        got += static_cast<size_t>(n);
    }
    Bytes expected = SAMPLE;  // filled at the front only
    expected.resize(storage.size(), 0xAA);
    EXPECT_EQ(storage, expected);
    EXPECT_EQ(m_Port.Read(buffer, 20), 0);

    EXPECT_EQ(m_Port.Write(SAMPLE.data(), SAMPLE.size()), static_cast<int>(SAMPLE.size()));
    EXPECT_EQ(Receive(SAMPLE.size()), SAMPLE);
}

TEST_F(Rs232Test, PortIsRawEightNoneOneWithTheChosenFlowControl) {
    termios tty{};
    ASSERT_TRUE(m_Port.Open(m_Slave, 115200, XP::CRs232::FLOW_CONTROL_SW_XONXOFF));
    ASSERT_EQ(tcgetattr(m_Master, &tty), 0);
    EXPECT_EQ(tty.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tty.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tty.c_iflag & (ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(tty.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tty.c_oflag & OPOST, 0u);
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B115200));

    ASSERT_TRUE(m_Port.Open(m_Slave, 9600, XP::CRs232::FLOW_CONTROL_NONE));
    ASSERT_EQ(tcgetattr(m_Master, &tty), 0);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B9600));
}

TEST_F(Rs232Test, BadDevicesAndRatesAreRefused) {
    KestrelTest::TempDir dir;
    const std::string plainFile = dir.WriteFile("not-a-tty", "x");
    KestrelTest::ConsoleCapture console;
    EXPECT_FALSE(m_Port.Open(dir.Path() + "/missing", 115200, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(m_Port.Open(plainFile, 115200, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(m_Port.Open(m_Slave, 12345, XP::CRs232::FLOW_CONTROL_NONE));
    EXPECT_FALSE(m_Port.Open(m_Slave, 115200, static_cast<XP::CRs232::FlowControl_e>(7)));
    EXPECT_FALSE(m_Port.IsValid());
    const std::vector<std::string> lines = console.Take();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              "CRs232: cannot open " + dir.Path() + "/missing: No such file or directory");
    EXPECT_EQ(lines[1].rfind("CRs232: " + plainFile + " is not a serial port: ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2], "CRs232: unsupported baud rate 12345 for " + m_Slave);
    EXPECT_EQ(lines[3], "CRs232: unknown flow control 7 for " + m_Slave);

    // A port that is not open reads and writes nothing.
    unsigned char byte = 0;
    EXPECT_EQ(m_Port.Read(&byte, 1, 10), -1);
    EXPECT_EQ(m_Port.Write(&byte, 1), -1);
    EXPECT_FALSE(m_Port.Flush());
    EXPECT_EQ(console.Take(), std::vector<std::string>{"CRs232: write on a port that is not open"});
}

TEST_F(Rs232Test, FarEndClosingIsReportedOnce) {
    close(m_Master);  // the far end hangs up
    m_Master = -1;
    KestrelTest::ConsoleCapture console;
    unsigned char buffer[4];
    EXPECT_EQ(m_Port.Read(buffer, sizeof(buffer), 10), -1);
    EXPECT_EQ(m_Port.Read(buffer, sizeof(buffer), 10), -1);
    const std::vector<std::string> lines = console.Take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("CRs232: " + m_Slave + " hung up: ", 0), 0u) << lines[0];
}

// A CThread blocked in a 15 s Read, until a negative result or the test ends it.
class Reader {
public:
    explicit Reader(XP::CRs232& port)
        : m_Port(port), m_Thread(XP::MakeFunctor<&Reader::ReadLong>(this), "UART Rx", 0) {}

    bool Start() { return m_Thread.Run() && m_Started.Wait(10000); }

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
    XP::CThread m_Thread;        // last: joined before the rest goes
};

// Cancel of the reading thread, and Close from another thread, end the read without waiting
// for its time-out.
TEST_F(Rs232Test, CloseAndCancelEndAReadInProgress) {
    {
        Reader reader(m_Port);
        ASSERT_TRUE(reader.Start());
        reader.m_Thread.Cancel();
        EXPECT_EQ(reader.m_Results, std::vector<int>{0});
    }
    Reader reader(m_Port);
    ASSERT_TRUE(reader.Start());
    // The read in progress returns 0 (port closing) and the next one -1 (closed), or the first
    // one already -1: the body then returns false and the thread ends by itself.
    m_Port.Close();
    ASSERT_TRUE(reader.m_Finished.Wait(10000));
    ASSERT_LE(reader.m_Results.size(), 2u);
    EXPECT_EQ(reader.m_Results.back(), -1);
    EXPECT_EQ(reader.m_Results.front(), reader.m_Results.size() == 2 ? 0 : -1);
}

}  // namespace
