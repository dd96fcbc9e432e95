#include "hisi_av/application/cmf/ts/Demultiplexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "TsStreamBuilder.h"
#include "TsTestSupport.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

namespace {

using KestrelTest::ConsoleCapture;
using KestrelTest::Counting;
using KestrelTest::FragmentCollector;
using KestrelTest::PacketFeed;
using KestrelTest::PesOptions;
using KestrelTest::TsStreamBuilder;

// Records which subscriber saw which packet, in call order.
struct Recorder {
    struct Call {
        char who;
        uint16_t pid;
        const unsigned char* pData;
    };

    void A(const Cmf::TsPacket& packet) { Add('A', packet); }
    void B(const Cmf::TsPacket& packet) { Add('B', packet); }
    void Add(char who, const Cmf::TsPacket& packet) {
        calls.push_back({who, packet.GetPid(), packet.GetData().GetBegin()});
    }

    std::vector<Call> calls;
};

TEST(DemultiplexerTest, RoutesByPidInSubscriptionOrderAndForgetsEmptyPids) {
    TsStreamBuilder builder;
    builder.AddPacket(0x100, Counting(10));
    builder.AddPacket(0x101, Counting(10));
    builder.AddNull();
    builder.AddPacket(0x100, Counting(10));
    const PacketFeed feed(builder.Bytes());

    Cmf::Demultiplexer demux;
    Recorder recorder;
    const auto a = XP::MakeFunctor<&Recorder::A>(&recorder);
    const auto b = XP::MakeFunctor<&Recorder::B>(&recorder);
    demux.Subscribe(0x100, a);
    demux.Subscribe(0x100, b);
    demux.Subscribe(0x101, b);
    EXPECT_EQ(2u, demux.GetSubscribedPidCount());
    for (const Cmf::TsPacket& packet : feed.Packets()) {
        demux.PutTsPacket(packet);
    }
    std::string order;
    for (const Recorder::Call& call : recorder.calls) {
        order += call.who + std::to_string(call.pid) + " ";
    }
    EXPECT_EQ("A256 B256 B257 A256 B256 ", order);
    // The subscribers see the packet itself, not a copy.
    EXPECT_EQ(feed.Packets()[1].GetData().GetBegin(), recorder.calls[2].pData);

    demux.Unsubscribe(0x101, b);
    demux.Unsubscribe(0x100, b);
    demux.Unsubscribe(0x100, b);  // not subscribed any more: nothing changes
    demux.Unsubscribe(0x200, a);
    EXPECT_EQ(1u, demux.GetSubscribedPidCount());
    recorder.calls.clear();
    for (const Cmf::TsPacket& packet : feed.Packets()) {
        demux.PutTsPacket(packet);
    }
    ASSERT_EQ(2u, recorder.calls.size());
    EXPECT_EQ('A', recorder.calls[0].who);
    demux.Unsubscribe(0x100, a);
    EXPECT_EQ(0u, demux.GetSubscribedPidCount());
}

// Two PIDs interleaved packet by packet reach their own converters intact.
TEST(DemultiplexerTest, InterleavedPidsReachTheirConverters) {
    const std::vector<uint8_t> video = Counting(2000, 1);
    const std::vector<uint8_t> audio = Counting(700, 9);
    TsStreamBuilder videoStream;
    videoStream.AddPes(0x100, video, PesOptions().Pts(1000).Unbounded());
    videoStream.AddPes(0x100, {0x01}, PesOptions().Pts(4000));
    TsStreamBuilder audioStream;
    audioStream.AddPes(0x101, audio, PesOptions().Pts(2000).StreamId(0xC0));
    TsStreamBuilder psi;
    psi.AddPatPmt(1, 0x1000, {{0x1B, 0x100}, {0x0F, 0x101}}, 0x100);
    psi.AddNull(3);
    const PacketFeed feed(
        TsStreamBuilder::Interleave({videoStream.Bytes(), audioStream.Bytes(), psi.Bytes()}));

    Cmf::Demultiplexer demux;
    Cmf::TsToEsConverter videoConverter;
    Cmf::TsToEsConverter audioConverter;
    FragmentCollector videoFragments;
    FragmentCollector audioFragments;
    videoConverter.Subscribe(XP::MakeFunctor<&FragmentCollector::OnFragment>(&videoFragments));
    audioConverter.Subscribe(XP::MakeFunctor<&FragmentCollector::OnFragment>(&audioFragments));
    demux.Subscribe(0x100, XP::MakeFunctor<&Cmf::TsToEsConverter::PutTsPacket>(&videoConverter));
    demux.Subscribe(0x101, XP::MakeFunctor<&Cmf::TsToEsConverter::PutTsPacket>(&audioConverter));
    for (const Cmf::TsPacket& packet : feed.Packets()) {
        demux.PutTsPacket(packet);
    }

    std::vector<uint8_t> expectedVideo = video;
    expectedVideo.push_back(0x01);
    EXPECT_EQ(expectedVideo, videoFragments.Concatenated());
    EXPECT_EQ(audio, audioFragments.Concatenated());
    EXPECT_EQ(1000u, videoFragments.Fragments().front().pts.GetBase());
    EXPECT_EQ(4000u, videoFragments.Fragments().back().pts.GetBase());
    EXPECT_EQ(2000u, audioFragments.Fragments().front().pts.GetBase());
}

// A subscriber may leave (and so erase its PID) while it is being called.
class LeavingSubscriber {
public:
    explicit LeavingSubscriber(Cmf::Demultiplexer& demux) : m_Demux(demux) {}
    void OnPacket(const Cmf::TsPacket& packet) {
        ++m_Calls;
        m_Demux.Unsubscribe(packet.GetPid(), XP::MakeFunctor<&LeavingSubscriber::OnPacket>(this));
    }
    int m_Calls = 0;

private:
    Cmf::Demultiplexer& m_Demux;
};

TEST(DemultiplexerTest, SubscriberLeavingDuringItsCall) {
    Cmf::Demultiplexer demux;
    LeavingSubscriber first(demux);
    LeavingSubscriber second(demux);
    demux.Subscribe(0x30, XP::MakeFunctor<&LeavingSubscriber::OnPacket>(&first));
    demux.Subscribe(0x30, XP::MakeFunctor<&LeavingSubscriber::OnPacket>(&second));
    TsStreamBuilder builder;
    builder.AddPacket(0x30, {1});
    builder.AddPacket(0x30, {2});
    const PacketFeed feed(builder.Bytes());
    demux.PutTsPacket(feed.Packets()[0]);
    demux.PutTsPacket(feed.Packets()[1]);
    EXPECT_EQ(1, first.m_Calls);
    EXPECT_EQ(1, second.m_Calls);
    EXPECT_EQ(0u, demux.GetSubscribedPidCount());
}

// Buffers that are not packets are dropped before their PID is looked at, with one line when the
// trouble starts and one when good packets return.
TEST(DemultiplexerTest, PacketsWithoutSyncAreDroppedWithTwoLines) {
    TsStreamBuilder builder;
    builder.AddPacket(0x100, {1});
    builder.AddPacket(0x100, {2});
    builder.AddPacket(0x100, {3});
    builder.AddPacket(0x100, {4});
    builder.PacketData(1)[0] = 0x46;
    builder.PacketData(2)[0] = 0x00;
    const PacketFeed feed(builder.Bytes());

    Cmf::Demultiplexer demux;
    Recorder recorder;
    demux.Subscribe(0x100, XP::MakeFunctor<&Recorder::A>(&recorder));
    ConsoleCapture console;
    for (const Cmf::TsPacket& packet : feed.Packets()) {
        demux.PutTsPacket(packet);
    }
    XP::CBuffer shortBuffer(100);
    shortBuffer[0] = 0x47;
    demux.PutTsPacket(Cmf::TsPacket(shortBuffer));
    demux.PutTsPacket(Cmf::TsPacket(XP::CBuffer()));

    ASSERT_EQ(2u, recorder.calls.size());
    EXPECT_EQ(feed.Packets()[0].GetData().GetBegin(), recorder.calls[0].pData);
    EXPECT_EQ(feed.Packets()[3].GetData().GetBegin(), recorder.calls[1].pData);
    EXPECT_EQ(4u, demux.GetDroppedPacketCount());
    EXPECT_EQ((std::vector<std::string>{
                  "Demultiplexer: dropping a packet without sync byte (size 188, first byte "
                  "0x46), and any that follow until sync returns",
                  "Demultiplexer: sync back after 2 dropped packets",
                  "Demultiplexer: dropping a packet without sync byte (size 100, first byte "
                  "0x47), and any that follow until sync returns"}),
              console.Lines());
}

}  // namespace
