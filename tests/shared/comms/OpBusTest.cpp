#include <gtest/gtest.h>

#include <thread>

#include "ConsoleCapture.h"
#include "LinkTestSupport.h"
#include "LogCapture.h"
#include "shared/comms/FrameUnframer.h"
#include "shared/comms/RaduVaOpReceiver.h"
#include "shared/comms/RaduVaOpSender.h"
#include "shared/comms/UartAdapter.h"
#include "shared/comms/UartFraming.h"
#include "shared/comms/iConfigurationQueue.h"
#include "shared/data/ssData/OpSsDataMap.h"
#include "shared/types/StatusTypes.h"

namespace {

using LinkTest::Bytes;
using Lines = std::vector<std::string>;

XP::CSharedPtr<SsOp> NewOp(int type, uint32_t id) {
    return XP::CSharedPtr<SsOp>(new SsOp(static_cast<OpType_e>(type), id));
}

// Records what is sent through it, or refuses every send.
class RecordingBus : public CommBus {
public:
    bool SendOperation(SsOp& op) override {
        sent.push_back(op);
        return !refuse;
    }
    std::vector<Bytes> Sent() const {
        std::vector<Bytes> forms;
        for (const SsOp& op : sent) {
            forms.push_back(LinkTest::Parsed(op));
        }
        return forms;
    }
    std::vector<SsOp> sent;
    bool refuse = false;
};

// Records each call as "<name> <op id>".
class NamedHandler : public iCommOpHandler {
public:
    NamedHandler(const char* name, Lines& calls) : m_Name(name), m_Calls(calls) {}
    void HandleCommOp(XP::CSharedPtr<SsOp> op) override {
        m_Calls.push_back(m_Name + " " + std::to_string(op->GetOpId()));
    }

private:
    std::string m_Name;
    Lines& m_Calls;
};

TEST(CommBus, HandlersAreListedOnceAndCalledInRegistrationOrder) {
    RecordingBus bus;
    Lines calls;
    NamedHandler first("first", calls), second("second", calls);
    EXPECT_TRUE(bus.RegisterOpHandler(&first));
    EXPECT_TRUE(bus.RegisterOpHandler(&second));
    EXPECT_FALSE(bus.RegisterOpHandler(&first));
    EXPECT_TRUE(bus.SendOpToHandlers(NewOp(OP_TYPE_SET, 7)));
    EXPECT_TRUE(bus.UnregisterOpHandler(&first));
    EXPECT_FALSE(bus.UnregisterOpHandler(&first));
    bus.SendOpToHandlers(NewOp(OP_TYPE_SET, 8));
    EXPECT_EQ(calls, (Lines{"first 7", "second 7", "second 8"}));
}

// Stands in for the configuration manager.
class RecordingConfig : public iConfigurationQueue {
public:
    void QueueOperation(XP::CSharedPtr<SsOp> op) override {
        Add("queue " + std::to_string(op->GetOpId()));
    }
    void ScheduleConfiguration() override { Add("schedule"); }
    Lines WaitForCalls(size_t count) {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Cond.wait_for(lock, LinkTest::kHangGuard, [&] { return m_Calls.size() >= count; });
        return m_Calls;
    }

private:
    void Add(std::string call) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Calls.push_back(std::move(call));
        m_Cond.notify_all();
    }
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    Lines m_Calls;
};

TEST(RaduVaOpReceiver, DispatchesOnTheOperationType) {
    KestrelTest::ConsoleCapture console;
    CUartAdapter uart("/nonexistent/tty");
    RecordingConfig config;
    RaduVaOpReceiver receiver(uart, config);
    KestrelTest::LogCapture log;
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 0xC8}) {
        receiver.HandleCommOp(NewOp(type, 100 + type));
    }
    EXPECT_EQ(config.WaitForCalls(2), (Lines{"queue 100", "schedule"}));
    const std::string warning = "WARN raduva.opreceiver: HandleCommOp: Unhandled OpType=";
    const std::string unknown = "DEBUG raduva.opreceiver: HandleCommOp: ignoring unknown OpType=";
    EXPECT_EQ(log.Lines(), (Lines{warning + "1", warning + "2", warning + "3", warning + "4",
                                  warning + "5", warning + "7", unknown + "8", unknown + "200"}));
}

// The daemon at work on the serial link: the controller sends a transaction while status
// reports go out from several threads. The transaction reaches the configuration in arrival
// order with one scheduling; every report reaches the controller whole, each thread's in order.
TEST(RaduVaOpReceiver, TransactionAndStatusReportsShareTheLink) {
    LinkTest::PtyController controller;
    KestrelTest::ConsoleCapture console;
    KestrelTest::LogCapture log;
    CUartAdapter uart(controller.SlavePath());
    RecordingConfig config;
    RaduVaOpReceiver receiver(uart, config);
    COpSsData entry("count", 0x0110, CIndex(1, VT_UINT8), VT_UINT32);
    COpSsData* const table[] = {&entry, nullptr};
    COpSsDataMap map;
    map.FillMap(table);
    RaduVaOpSender sender(uart, map);
    ASSERT_TRUE(receiver.StartHandlingOperations());

    static constexpr unsigned int kThreads = 4, kReports = 250;
    std::vector<std::thread> reporters;
    for (unsigned int t = 0; t < kThreads; ++t) {
        reporters.emplace_back([&sender, t] {
            for (unsigned int i = 0; i < kReports; ++i) {
                EXPECT_TRUE(sender.TransmitStatus(0x0110, t, 0x11121300u + i));  // escapes
            }
        });
    }
    const Bytes transaction = {
        0x0F, 0x00, 0x49, 0x00, 0x01, 0x01, 0x01, 0x02, 0x10,        // SET 73 [1] 02
        0x0F, 0x00, 0x3C, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xEC, 0x10,  // SET 316 [1] -20
        0x0F, 0x04, 0x0A, 0x00, 0x00, 0x00, 0x10,                    // REQUEST 10
        0x0F, 0x00, 0x12, 0x30, 0x00, 0x00, 0x00, 0x10,              // SET 16
        0x0F, 0x06, 0x00, 0x00, 0x00, 0x00, 0x10,                    // TRANSACTION_END
    };
    for (size_t repeat = 0; repeat < 20; ++repeat) {
        ASSERT_TRUE(controller.Write(transaction));
    }
    for (std::thread& reporter : reporters) {
        reporter.join();
    }
    // Each report is 16 bytes on the wire (10 payload bytes, the frame bytes, escapes for the
    // id's 0x10 and the value's 11 12 13); values ending in 0x0F..0x13 take one more.
    const Bytes received = controller.WaitForReceived(kThreads * (kReports * 16 + 5));
    const Lines calls = config.WaitForCalls(80);
    receiver.StopHandlingOperations();
    ASSERT_EQ(calls.size(), 80u);
    for (size_t i = 0; i < calls.size(); i += 4) {
        EXPECT_EQ(Lines(calls.begin() + i, calls.begin() + i + 4),
                  (Lines{"queue 73", "queue 316", "queue 16", "schedule"}));
    }
    EXPECT_TRUE(log.Contains("WARN raduva.opreceiver: HandleCommOp: Unhandled OpType=4"));

    std::vector<unsigned int> next(kThreads, 0);
    CFrameUnframer unframer([&next](XP::CSharedPtr<SsOp> op) {
        const unsigned int t = op->GetLastIndex();
        ASSERT_LT(t, kThreads);
        EXPECT_EQ(op->GetDataU32(), 0x11121300u + next[t]++);
    });
    unframer.Push(received.data(), received.size());
    EXPECT_EQ(next, std::vector<unsigned int>(kThreads, kReports));
}

// A catalogue of a few entries of its own.
class SenderTest : public ::testing::Test {
protected:
    SenderTest() {
        COpSsData* const table[] = {&m_Width, &m_Downmix, &m_Sync, &m_Big, &m_Name, nullptr};
        m_Map.FillMap(table);
    }

    COpSsData m_Width{"videoWidth", 277, CIndex(1, VT_UINT8), VT_UINT32};
    COpSsData m_Downmix{"downmix", 73, CIndex(1, VT_UINT8), VT_INT8};
    COpSsData m_Sync{"avSync", 316, CIndex(1, VT_UINT8), VT_INT16};
    COpSsData m_Big{"bigCount", 150, CIndex(1, VT_UINT8), VT_INT64};
    COpSsData m_Name{"serviceName", 201, CIndex(1, VT_UINT8), VT_STRING};
    COpSsDataMap m_Map;
    RecordingBus m_Bus;
    KestrelTest::ConsoleCapture m_Console;
    KestrelTest::LogCapture m_Log;
    RaduVaOpSender m_Sender{m_Bus, m_Map};
};

TEST_F(SenderTest, ValueTakesTheCatalogueTypeOfItsOperation) {
    EXPECT_TRUE(m_Sender.TransmitStatus(277, 1, 1920u));
    EXPECT_TRUE(m_Sender.TransmitStatus(73, 0x102, static_cast<signed char>(-3)));
    EXPECT_TRUE(m_Sender.TransmitStatus(316, 1, static_cast<short>(-20)));
    EXPECT_TRUE(m_Sender.TransmitStatus(150, 1, -2));
    EXPECT_TRUE(m_Sender.TransmitStatus(150, 1, 0xFFFFFFFFu));       // no sign extension
    EXPECT_TRUE(m_Sender.TransmitStatus(2, 1, std::string("1.2")));  // text needs no entry
    EXPECT_EQ(
        m_Bus.Sent(),
        (std::vector<Bytes>{
            {0x00, 0x15, 0x01, 0x01, 0x01, 0x04, 0x00, 0x00, 0x07, 0x80},
            {0x00, 0x49, 0x00, 0x01, 0x02, 0x01, 0xFD},
            {0x00, 0x3C, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xEC},
            {0x00, 0x96, 0x00, 0x01, 0x01, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE},
            {0x00, 0x96, 0x00, 0x01, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF},
            {0x00, 0x02, 0x00, 0x01, 0x01, 0x03, '1', '.', '2'},
        }));

    // Every value type the status processors send, as its integer value.
    m_Bus.sent.clear();
    auto sendAll = [this](auto... values) { (m_Sender.TransmitStatus(277, 1, values), ...); };
    sendAll(static_cast<unsigned short>(0xABCD), AUDIO_CHANNEL_NOT_APPLICABLE,
            AUDIO_TYPE_STATUS_DOLBY_DIGITAL_PLUS, STATUS_NOT_APPLICABLE, SYNC_STATUS_IN_SYNC,
            static_cast<unsigned char>(0xFE), VIDEO_STATUS_TYPE_NOTAPPLICABLE,
            VIDEO_ASPECT_RATIO_4X3, VIDEO_FRAME_RATE_2997, VIDEO_SCAN_TYPE_PSF,
            VIDEO_PROFILE_M4_HIGH444_INTRA, VIDEO_LEVEL_MH_6_2, VIDEO_CHROMA_FORMAT_4_2_2,
            CHROMA_BITDEPTH_10, VIDEO_RESOLUTION_TYPE_UHD);
    const uint32_t expected[] = {0xABCD, 255, 7, 3, 2, 0xFE, 255, 2, 4, 3, 20, 24, 2, 3, 3};
    ASSERT_EQ(m_Bus.sent.size(), std::size(expected));
    for (size_t i = 0; i < m_Bus.sent.size(); ++i) {
        EXPECT_EQ(m_Bus.sent[i].GetDataU32(), expected[i]) << "value " << i;
    }
    EXPECT_EQ(m_Log.Lines(), Lines{});
}

TEST_F(SenderTest, FailuresAreLoggedAndNothingIsSent) {
    EXPECT_FALSE(m_Sender.TransmitStatus(201, 1, 5u));  // the catalogue says VT_STRING
    EXPECT_FALSE(m_Sender.TransmitStatus(999, 1, 5u));  // not in the catalogue
    EXPECT_EQ(m_Bus.sent.size(), 0u);
    EXPECT_EQ(m_Console.Take(), (Lines{"Unexpected datatype received: 12"}));
    m_Bus.refuse = true;
    EXPECT_FALSE(m_Sender.TransmitStatus(277, 1, 5u));
    EXPECT_FALSE(m_Sender.TransmitStatus(2, 1, "1.2"));
    EXPECT_EQ(m_Log.Lines(),
              (Lines{"ERROR raduva.opsender: TransmitStatus::SetSsOpData failed, opId: 201, "
                     "dataType: 12",
                     "ERROR raduva.opsender: TransmitStatus: opId 999 is not in the catalogue, "
                     "nothing sent",
                     "ERROR raduva.opsender: TransmitStatus::SendOperation failed, opId: 277.",
                     "ERROR raduva.opsender: TransmitStatus::Adapter failed to send operation!"}));
}

}  // namespace
