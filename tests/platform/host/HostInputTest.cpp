#include "platform/host/HostInput.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "HostTsTestUtil.h"
#include "LogCapture.h"
#include "TempDir.h"
#include "xptools/Clock.h"

using Kestrel::Host::CHostInput;
using KestrelTest::PayloadPacket;
using KestrelTest::PcrPacket;
using KestrelTest::RecordingTap;

namespace {

void Append(std::string& out, const std::vector<uint8_t>& packet) {
    out.append(reinterpret_cast<const char*>(packet.data()), packet.size());
}

// Waits (real time, bounded) for a condition the input thread makes true.
template <typename F>
bool Eventually(F condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class TapGuard {
public:
    explicit TapGuard(Kestrel::Host::ITsTap* tap) : m_Tap(tap) { Kestrel::Host::AddTsTap(tap); }
    ~TapGuard() { Kestrel::Host::RemoveTsTap(m_Tap); }

private:
    Kestrel::Host::ITsTap* m_Tap;
};

}  // namespace

// Packets are released when the clock reaches the PCR that follows them: nothing early.
TEST(HostInput, FileIsReleasedAtItsPcrTimesAndLoopsWithADiscontinuity) {
    KestrelTest::TempDir dir;
    std::string ts;
    Append(ts, PcrPacket(0x100, 1000));  // t = 0
    Append(ts, PayloadPacket(0x101, 0xA1));
    Append(ts, PcrPacket(0x100, 1000 + 9000));  // t = 100 ms
    Append(ts, PayloadPacket(0x101, 0xA2));
    Append(ts, PayloadPacket(0x101, 0xA3));
    Append(ts, PcrPacket(0x100, 1000 + 27000));  // t = 300 ms
    std::string path = dir.WriteFile("paced.ts", ts);

    XP::ManualClock clock;
    RecordingTap tap;
    TapGuard guard(&tap);
    CHostInput input;
    ASSERT_TRUE(input.Start("file:" + path, true));

    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(tap.Size(), 188u);  // the first PCR at once
    clock.Advance(99);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(tap.Size(), 188u);
    clock.Advance(1);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(tap.Size(), 3u * 188);
    clock.Advance(199);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(tap.Size(), 3u * 188);
    clock.Advance(1);
    // End of file: the loop starts again with a discontinuity, its first PCR at once.
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(tap.Size(), 7u * 188);
    ASSERT_EQ(tap.BytesAtDiscontinuity().size(), 1u);
    EXPECT_EQ(tap.BytesAtDiscontinuity()[0], 6u * 188);
    input.Stop();
    std::vector<uint8_t> bytes = tap.Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6 * 188), ts);
}

TEST(HostInput, FileSyncIsRecoveredAndAFileWithoutPacketsIsRefused) {
    KestrelTest::TempDir dir;
    std::string expected;
    for (uint8_t i = 0; i < 5; ++i)
        Append(expected, PayloadPacket(0x101, i, i));
    // Junk (with a stray sync byte) before the packets and between two of them.
    std::string ts = std::string("\x47junk-junk-junk", 15) + expected.substr(0, 376) + "garbage" +
                     expected.substr(376);
    std::string good = dir.WriteFile("resync.ts", ts);
    std::string bad = dir.WriteFile("text.ts", std::string(4000, 'x'));

    KestrelTest::LogCapture log;
    RecordingTap tap;
    TapGuard guard(&tap);
    CHostInput input;
    ASSERT_TRUE(input.Start("file:" + good, false));
    ASSERT_TRUE(Eventually([&] { return !input.IsRunning(); }));
    std::vector<uint8_t> bytes = tap.Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_TRUE(log.Contains("lost transport stream sync"));

    ASSERT_TRUE(input.Start("file:" + bad, false));
    ASSERT_TRUE(Eventually([&] { return !input.IsRunning(); }));
    EXPECT_TRUE(log.Contains("is not a transport stream"));
    EXPECT_EQ(tap.Size(), expected.size());

    EXPECT_FALSE(input.Start("file:" + dir.Path() + "/missing.ts", false));
    EXPECT_FALSE(input.Start("udp://192.168.1.1:1234", false));
    EXPECT_FALSE(input.Start("udp://127.0.0.1:99999", false));
}

TEST(HostInput, UdpDatagramsOfWholePacketsArriveInOrderOthersAreDropped) {
    // A free loopback port.
    int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    socklen_t length = sizeof(address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);

    KestrelTest::LogCapture log;
    RecordingTap tap;
    TapGuard guard(&tap);
    CHostInput input;
    ASSERT_TRUE(input.Start("udp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)), false));

    std::string expected;
    int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
    auto send = [&](const std::string& datagram) {
        ::sendto(sender, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address),
                 sizeof(address));
    };
    uint8_t label = 0;
    for (int datagram = 0; datagram < 20; ++datagram) {
        std::string chunk;
        int packets = datagram % 3 == 0 ? 7 : 1 + datagram % 5;  // 1316 typical, others too
        for (int i = 0; i < packets; ++i)
            Append(chunk, PayloadPacket(0x101, label++));
        send(chunk);
        expected += chunk;
        if (datagram == 5)
            send(chunk.substr(0, 100));  // not whole packets
        if (datagram == 9)
            send(std::string(188, 'x'));  // no sync byte
    }
    ::close(sender);
    ASSERT_TRUE(Eventually([&] { return tap.Size() >= expected.size(); }));
    input.Stop();
    std::vector<uint8_t> bytes = tap.Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_TRUE(log.Contains("dropping a datagram of 100 bytes"));
}
