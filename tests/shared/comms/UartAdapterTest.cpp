#include "shared/comms/UartAdapter.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "ConsoleCapture.h"
#include "LinkTestSupport.h"
#include "TempDir.h"
#include "shared/comms/UartFraming.h"
#include "shared/system/RootPrefix.h"

namespace {

using LinkTest::Bytes;
using Lines = std::vector<std::string>;

// Records the port writes instead of making them; write number `m_Failing` comes up short.
class RecordingUart : public CUartAdapter {
public:
    explicit RecordingUart(size_t failing = 0)
        : CUartAdapter("/nonexistent/tty"), m_Failing(failing) {}
    std::vector<Bytes> writes;
    int flushes = 0;

protected:
    int WritePort(const unsigned char* data, size_t size) override {
        writes.emplace_back(data, data + size);
        return static_cast<int>(writes.size() == m_Failing ? size - 1 : size);
    }
    bool FlushPort() override {
        ++flushes;
        return true;
    }

private:
    size_t m_Failing;
};

SsOp MakeOp(OpType_e type, uint32_t id, const Bytes& indexes, const Bytes& data) {
    SsOp op(type, id);
    op.SetIndexList(indexes);
    op.SetDataU8(data.data(), data.size());
    return op;
}

size_t CountThreads(const std::string& name) {
    size_t count = 0;
    DIR* dir = opendir("/proc/self/task");
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        std::string comm;
        std::getline(std::ifstream(std::string("/proc/self/task/") + entry->d_name + "/comm"),
                     comm);
        count += comm == name ? 1 : 0;
    }
    if (dir) {
        closedir(dir);
    }
    return count;
}

TEST(UartAdapterWrite, StartEndAndEscapesAreSingleWritesAndPlainRunsOneWrite) {
    KestrelTest::ConsoleCapture console;
    RecordingUart uart;
    SsOp example = MakeOp(OP_TYPE_SET, 0x0010, {}, {});  // payload 00 10 00 00 00
    EXPECT_TRUE(uart.SendOperation(example));
    EXPECT_EQ(uart.writes,
              (std::vector<Bytes>{{0x0F}, {0x00}, {0x12}, {0x30}, {0x00, 0x00, 0x00}, {0x10}}));

    // Escapes first, back to back and last: no empty runs are written.
    const Bytes payload = {0x11, 0x41, 0x42, 0x0F, 0x10, 0x43, 0x13};
    uart.writes.clear();
    EXPECT_TRUE(uart.WriteData(XP::CSlice<const unsigned char>(payload.data(), payload.size())));
    EXPECT_EQ(uart.writes, (std::vector<Bytes>{{0x0F},
                                               {0x12},
                                               {0x31},
                                               {0x41, 0x42},
                                               {0x12},
                                               {0x2F},
                                               {0x12},
                                               {0x30},
                                               {0x43},
                                               {0x12},
                                               {0x33},
                                               {0x10}}));
    EXPECT_EQ(LinkTest::Concat(uart.writes), UartFraming::EncodeFrame(payload));
    EXPECT_EQ(uart.flushes, 2);

    // A short write fails the frame; the port is flushed all the same.
    RecordingUart failing(2);
    EXPECT_FALSE(failing.SendOperation(example));
    EXPECT_EQ(failing.writes, (std::vector<Bytes>{{0x0F}, {0x00}}));
    EXPECT_EQ(failing.flushes, 1);
}

TEST(UartAdapterPorts, BoardDevicesAreOpenedUnderTheRoot) {
    LinkTest::PtyController controller;
    KestrelTest::TempDir root;
    ASSERT_EQ(mkdir((root.Path() + "/dev").c_str(), 0755), 0);
    ASSERT_EQ(symlink(controller.SlavePath().c_str(), (root.Path() + "/dev/ttyS2").c_str()), 0);
    const std::string previousRoot = Kestrel::Sys::RootDirectory();
    ASSERT_TRUE(Kestrel::Sys::SetRootDirectory(root.Path()));
    KestrelTest::ConsoleCapture console;

    {
        CUartAdapter uart(CUartAdapter::UART_PORT_TTYS2, CUartAdapter::BAUD_RATE_57600);
        EXPECT_EQ(uart.GetPortString(), "/dev/ttyS2");
        EXPECT_EQ(console.Take(), Lines{});
        termios tty{};
        ASSERT_EQ(tcgetattr(controller.Master(), &tty), 0);
        EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
        EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B57600));
        SsOp op = MakeOp(OP_TYPE_SET, 0x0013, {}, {});
        EXPECT_TRUE(uart.SendOperation(op));
        const Bytes wire = {0x0F, 0x00, 0x12, 0x33, 0x00, 0x00, 0x00, 0x10};
        EXPECT_EQ(controller.WaitForReceived(wire.size()), wire);
    }

    // A value that names no device: a message each time the path is needed, no port, no threads.
    std::ostringstream errors;
    std::streambuf* previousErrors = std::cerr.rdbuf(errors.rdbuf());
    for (int value : {0, 18, 0x2A}) {  // UART_PORT_UNKNOWN, UART_PORT_END, out of range
        CUartAdapter uart(static_cast<CUartAdapter::UartPort_e>(value),
                          CUartAdapter::BAUD_RATE_115200);
        EXPECT_FALSE(uart.StartReceiveOps());
        EXPECT_EQ(CountThreads("UART Rx") + CountThreads("UART Px"), 0u);
        SsOp op = MakeOp(OP_TYPE_SET, 1, {1}, {1});
        EXPECT_FALSE(uart.SendOperation(op));
    }
    std::cerr.rdbuf(previousErrors);
    const std::string line =
        "CUartAdapter::GetPortString() No matching value for UartPort_e enum: ";
    EXPECT_EQ(errors.str(), line + "0\n" + line + "0\n" + line + "12\n" + line + "12\n" + line +
                                "2a\n" + line + "2a\n");
    Kestrel::Sys::SetRootDirectory(previousRoot);
}

class UartAdapterLink : public ::testing::Test {
protected:
    void SetUp() override { m_Uart.RegisterOpHandler(&m_Handler); }

    KestrelTest::ConsoleCapture m_Console;
    LinkTest::PtyController m_Controller;
    LinkTest::CollectingHandler m_Handler;
    CUartAdapter m_Uart{m_Controller.SlavePath()};
};

// Valid frames among a megabyte of line noise, written in uneven pieces. The noise has no byte
// of 0x0F..0x13: frame and escape bytes would make frames of their own, and the terminal runs
// XON/XOFF, so it consumes 0x11 and 0x13 before the adapter could see them.
TEST_F(UartAdapterLink, EveryFrameAmongNoiseArrivesOnceAndInOrder) {
    constexpr size_t kFrames = 10000;
    std::mt19937 random(1234);
    auto byte = [&random] { return static_cast<uint8_t>(random()); };
    Bytes stream;
    std::vector<Bytes> payloads;
    std::vector<size_t> frameEnds;
    for (size_t noiseLeft = 1000000; payloads.size() < kFrames;) {
        for (size_t n = payloads.size() + 1 == kFrames
                            ? noiseLeft
                            : std::min<size_t>(noiseLeft, random() % 200);
             n > 0; --n, --noiseLeft) {
            uint8_t b;
            while ((b = byte()) >= 0x0F && b <= 0x13) {
            }
            stream.push_back(b);
        }
        Bytes indexes(random() % 4), data(random() % 13);
        std::generate(indexes.begin(), indexes.end(), byte);
        std::generate(data.begin(), data.end(), byte);
        payloads.push_back(LinkTest::Parsed(
            MakeOp(static_cast<OpType_e>(byte()), random() & 0xFFFF, indexes, data)));
        const Bytes frame = UartFraming::EncodeFrame(payloads.back());
        stream.insert(stream.end(), frame.begin(), frame.end());
        frameEnds.push_back(stream.size());
    }

    ASSERT_TRUE(m_Uart.StartReceiveOps());
    // At most a few hundred frames in flight keeps well inside the receive queue.
    for (size_t written = 0, framesWritten = 0; written < stream.size();) {
        const size_t piece = std::min<size_t>(1 + random() % 4096, stream.size() - written);
        ASSERT_TRUE(m_Controller.Write(stream.data() + written, piece));
        written += piece;
        framesWritten =
            std::upper_bound(frameEnds.begin(), frameEnds.end(), written) - frameEnds.begin();
        if (framesWritten > 200) {
            ASSERT_GE(m_Handler.WaitForCount(framesWritten - 200).size(), framesWritten - 200);
        }
    }
    EXPECT_EQ(m_Handler.WaitForCount(kFrames), payloads);
    EXPECT_EQ(m_Uart.GetDroppedByteCount(), 0u);
    EXPECT_TRUE(m_Uart.StartReceiveOps());  // already running: no second pair of threads
    EXPECT_EQ(CountThreads("UART Rx") * CountThreads("UART Px"), 1u);
    m_Uart.TerminateReceiveOps();
    EXPECT_EQ(CountThreads("UART Rx") + CountThreads("UART Px"), 0u);
    Lines lines = m_Console.Take();
    std::sort(lines.begin(), lines.end());  // printed by the two threads, in either order
    EXPECT_EQ(lines, (Lines{"Uart processing thread running", "Uart receive thread running"}));
}

// While a handler holds the processing thread, received bytes fill the queue to its ceiling;
// the rest is dropped and counted with one line, and the link then carries on.
TEST_F(UartAdapterLink, FullReceiveQueueDropsCountsAndRecovers) {
    LinkTest::CollectingHandler held(true);
    m_Uart.UnregisterOpHandler(&m_Handler);
    m_Uart.RegisterOpHandler(&held);
    m_Uart.SetReceiveQueueLimit(1000);
    ASSERT_TRUE(m_Uart.StartReceiveOps());
    ASSERT_TRUE(m_Controller.Write({0x0F, 0x04, 0x00, 0x01, 0x00, 0x00, 0x10}));
    held.WaitForCount(1);  // "UART Px" is now held in the handler
    ASSERT_TRUE(m_Controller.Write(Bytes(5000, 0x55)));
    for (auto giveUp = std::chrono::steady_clock::now() + LinkTest::kHangGuard;
         m_Uart.GetDroppedByteCount() < 4000 && std::chrono::steady_clock::now() < giveUp;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    held.Release();
    // The next frame must find room: wait until the processing thread has drained the queue.
    for (auto giveUp = std::chrono::steady_clock::now() + LinkTest::kHangGuard;
         m_Uart.GetQueuedByteCount() > 0 && std::chrono::steady_clock::now() < giveUp;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(m_Uart.GetQueuedByteCount(), 0u);
    ASSERT_TRUE(m_Controller.Write({0x0F, 0x04, 0x00, 0x02, 0x00, 0x00, 0x10}));
    EXPECT_EQ(held.WaitForCount(2).back(), (Bytes{0x04, 0x00, 0x02, 0x00, 0x00}));
    m_Uart.TerminateReceiveOps();
    EXPECT_EQ(m_Uart.GetDroppedByteCount(), 4000u);
    const Lines lines = m_Console.Take();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "UartRecv: receive queue full (1000 bytes), dropping received bytes"),
              1);
}

}  // namespace
