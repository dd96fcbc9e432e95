// The AV player of the host platform driven through the C calls the device layer makes, in its
// order, over streams encoded at test time.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "MediaTestStreams.h"
#include "TempDir.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostPlatform.h"
#include "stb/stb_module.h"

using Kestrel::Host::PtsDelta;

namespace {

constexpr uint16_t VIDEO_PID = 0x100;
constexpr uint16_t AUDIO_PID = 0x101;

uint64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ULL + uint64_t(ts.tv_nsec);
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// What the new-picture callback saw.
struct Pictures {
    std::mutex mutex;
    std::vector<AV_VID_FRAMEINFO_S> frames;
    std::vector<AV_EVENT_E> otherEvents;
    std::thread::id thread;
};
Pictures g_Pictures;

int32_t OnEvent(HANDLE, AV_EVENT_E event, const void* data) {
    std::lock_guard<std::mutex> lock(g_Pictures.mutex);
    g_Pictures.thread = std::this_thread::get_id();
    if (event == AV_VID_EVT_NEW_PICTURE_DECODED && data != nullptr) {
        g_Pictures.frames.push_back(*static_cast<const AV_VID_FRAMEINFO_S*>(data));
    } else {
        g_Pictures.otherEvents.push_back(event);
    }
    return 0;
}

class HostAvPlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!KestrelTest::HaveFfmpegTools())
            return;
        s_Dir = new KestrelTest::TempDir();
        // 25 fps AVC with MPEG-1 layer II audio: 14 s for the 10 s measurement, 3 s otherwise.
        const std::string inputs =
            "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
            "sine=frequency=440:sample_rate=48000 ";
        const std::string codecs =
            " -pix_fmt yuv420p -c:v libx264 -preset ultrafast -g 25 -c:a mp2 -b:a 128k -ac 2 "
            "-streamid 0:256 "
            "-streamid 1:257 -f mpegts ";
        s_Long = s_Dir->Path() + "/long.ts";
        s_Short = s_Dir->Path() + "/short.ts";
        bool ok = KestrelTest::RunFfmpeg(inputs + "-t 14" + codecs + s_Long + " </dev/null") &&
                  KestrelTest::RunFfmpeg(inputs + "-t 3" + codecs + s_Short + " </dev/null");
        if (!ok)
            s_Long.clear();
    }
    static void TearDownTestSuite() {
        delete s_Dir;
        s_Dir = nullptr;
    }

    void SetUp() override {
        if (s_Long.empty())
            GTEST_SKIP() << "ffmpeg with libx264 is needed for the playback tests";
        std::lock_guard<std::mutex> lock(g_Pictures.mutex);
        g_Pictures.frames.clear();
        g_Pictures.otherEvents.clear();
    }

    // The device layer's bring-up: library, player, callback, input, program, start.
    HANDLE Open(const std::string& input, bool start = true) {
        Kestrel::Host::SetHostInput(input, false);
        EXPECT_EQ(system_init(), 0u);
        AV_INIT_S init{};
        EXPECT_EQ(av_init(&init), 0u);
        AV_CREATE_S create{};
        create.enStreamType = AV_STREAM_TYPE_TS;
        HANDLE av = 0;
        EXPECT_EQ(av_create(&av, &create), 0u);
        AV_EVENT_CONFIG_PARAMS_S events{};
        events.enEvt = AM_EVT_DTV_SUBTITLE;
        events.pfnCallback = &OnEvent;
        events.bEnableCallback = TRUE;
        EXPECT_EQ(av_set_event_config(av, &events), 0u);
        AV_PREPARE_S prepare{};
        std::strcpy(prepare.multiAddr, "127.0.0.1");
        prepare.u16Port = 1234;
        m_PrepareResult = av_prepare(&prepare);
        AV_SETTING_S setting{};
        setting.enAvSyncMode = AV_SYNC_MODE_PCR;
        setting.enVidStreamType = AV_VID_STREAM_TYPE_H264;
        setting.enAudStreamType = AV_AUD_STREAM_TYPE_MPGE1;
        setting.u16PcrPid = VIDEO_PID;
        setting.u16VidPid = VIDEO_PID;
        setting.u16AudPid = AUDIO_PID;
        setting.u16AudADPid = 0x1FFF;
        EXPECT_EQ(av_set_config(av, &setting), 0u);
        if (start) {
            EXPECT_EQ(av_start(av), 0u);
        }
        return av;
    }

    void Close(HANDLE av) {
        EXPECT_EQ(av_stop(av), 0u);
        EXPECT_EQ(av_destory(av), 0u);
        EXPECT_EQ(av_deinit(), 0u);
        EXPECT_EQ(system_deinit(), 0u);
    }

    static AV_STATUS_S Status(HANDLE av) {
        AV_STATUS_S status{};
        EXPECT_EQ(av_get_status_info(av, &status), 0u);
        return status;
    }

    static int64_t Pts(HANDLE av, AV_SYNC_PTS_CHAN_E channel) {
        int64_t pts = -1;
        EXPECT_EQ(av_get_current_pts(av, channel, &pts), 0u) << "channel " << channel;
        return pts;
    }

    // Waits (bounded) until pictures are shown; false when none come.
    static bool WaitForPictures(HANDLE av, uint32_t count) {
        for (int i = 0; i < 500 && Status(av).stVidStatus.u32DispPicCount < count; ++i)
            SleepMs(10);
        return Status(av).stVidStatus.u32DispPicCount >= count;
    }

    static KestrelTest::TempDir* s_Dir;
    static std::string s_Long;
    static std::string s_Short;
    STB_STATUS m_PrepareResult = 0;
};

KestrelTest::TempDir* HostAvPlayback::s_Dir = nullptr;
std::string HostAvPlayback::s_Long;
std::string HostAvPlayback::s_Short;

}  // namespace

// Ten seconds of a 25 fps file: the clock's rate against CLOCK_MONOTONIC, no picture or audio
// frame shown before its PTS, the channels keeping up with the clock, the counts advancing one
// per frame. Only the rate is a measurement; the reads are paired so that a test thread
// preempted between them (a loaded machine, a sanitizer) does not show up as clock error.
TEST_F(HostAvPlayback, ClockRunsAtRealRateAndPicturesAreShownAtTheirPts) {
    HANDLE av = Open("file:" + s_Long);
    ASSERT_EQ(m_PrepareResult, 0u);
    ASSERT_TRUE(WaitForPictures(av, 3));

    // CLOCK_MONOTONIC and the clock read within a millisecond of each other.
    auto readClock = [av](uint64_t& ns, int64_t& pcr) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            const uint64_t before = MonotonicNs();
            pcr = Pts(av, AV_SYNC_PTS_CHAN_PCR);
            const uint64_t after = MonotonicNs();
            ns = before + (after - before) / 2;
            if (after - before < 1000000) {
                return true;
            }
        }
        return false;
    };
    // A status and the channels' PTS that belong together: no frame shown between the reads.
    struct Snapshot {
        AV_STATUS_S status;
        int64_t video, audio;
    };
    auto snapshot = [av] {
        Snapshot s{};
        for (int attempt = 0; attempt < 1000; ++attempt) {
            s.video = Pts(av, AV_SYNC_PTS_CHAN_VID);
            s.audio = Pts(av, AV_SYNC_PTS_CHAN_AUD);
            s.status = Status(av);
            if (s.video == Pts(av, AV_SYNC_PTS_CHAN_VID) &&
                s.audio == Pts(av, AV_SYNC_PTS_CHAN_AUD)) {
                break;
            }
        }
        return s;
    };

    uint64_t t0 = 0, t1 = 0;
    int64_t pcr0 = 0, pcr1 = 0;
    ASSERT_TRUE(readClock(t0, pcr0));
    const Snapshot s0 = snapshot();
    int64_t worstVideoLag = 0, worstAudioLag = 0;
    for (int i = 0; i < 100; ++i) {
        SleepMs(100);
        // The clock read before and after each channel brackets it.
        int64_t before = Pts(av, AV_SYNC_PTS_CHAN_PCR);
        int64_t video = Pts(av, AV_SYNC_PTS_CHAN_VID);
        int64_t audio = Pts(av, AV_SYNC_PTS_CHAN_AUD);
        int64_t after = Pts(av, AV_SYNC_PTS_CHAN_PCR);
        EXPECT_LE(PtsDelta(after, video), 0) << "a picture shown before its time";
        EXPECT_LE(PtsDelta(after, audio), 0) << "an audio frame played before its time";
        worstVideoLag = std::max(worstVideoLag, PtsDelta(video, before));
        worstAudioLag = std::max(worstAudioLag, PtsDelta(audio, before));
    }
    ASSERT_TRUE(readClock(t1, pcr1));
    const Snapshot s1 = snapshot();
    const double seconds = double(t1 - t0) / 1e9;

    double rate = double(PtsDelta(pcr0, pcr1)) / 90000.0 / seconds;
    std::printf("clock rate %.6f over %.3f s; video lag %lld, audio lag %lld (90 kHz)\n", rate,
                seconds, static_cast<long long>(worstVideoLag),
                static_cast<long long>(worstAudioLag));
    std::printf(
        "pictures shown %u, 25 fps x %.3f s = %.1f; audio frames %u, 48000/1152 x %.3f s = "
        "%.1f\n",
        s1.status.stVidStatus.u32DispPicCount - s0.status.stVidStatus.u32DispPicCount, seconds,
        25.0 * seconds, s1.status.stAudStatus.u32FrameCount - s0.status.stAudStatus.u32FrameCount,
        seconds, 48000.0 / 1152 * seconds);
    EXPECT_NEAR(rate, 1.0, 0.001);
    // Keeping up: a frame or two late on a busy machine is scheduling; half a second behind
    // would be a player that does not follow its clock.
    EXPECT_LT(worstVideoLag, 45000) << "the video channel falls behind the clock";
    EXPECT_LT(worstAudioLag, 45000) << "the audio channel falls behind the clock";
    // One count per frame shown: 3600 ticks a picture at 25 fps, 2160 an audio frame (1152
    // samples of layer II at 48 kHz).
    EXPECT_EQ(s1.status.stVidStatus.u32DispPicCount - s0.status.stVidStatus.u32DispPicCount,
              uint32_t(PtsDelta(s0.video, s1.video) / 3600));
    EXPECT_NEAR(double(s1.status.stAudStatus.u32FrameCount - s0.status.stAudStatus.u32FrameCount),
                double(PtsDelta(s0.audio, s1.audio)) / 2160, 1.0);
    EXPECT_GT(PtsDelta(s0.video, s1.video), 90000 * 9) << "ten seconds played";

    // Status as a board reports a 320x240 25p AVC service with 48 kHz stereo audio.
    EXPECT_EQ(s1.status.enRunStatus, AV_PLAY_STATUS_PLAY);
    EXPECT_TRUE(s1.status.bVidStart && s1.status.bAudStart);
    EXPECT_EQ(s1.status.stVidStatus.enDecodeState, AV_DECODER_STATE_RUNNING);
    EXPECT_EQ(s1.status.stVidStatus.enStreamType, AV_VID_STREAM_TYPE_H264);
    EXPECT_EQ(s1.status.stVidStatus.u32SourceWidth, 320u);
    EXPECT_EQ(s1.status.stVidStatus.u32SouceHeight, 240u);
    EXPECT_EQ(s1.status.stVidStatus.u16FpsInteger, 25u);
    EXPECT_EQ(s1.status.stVidStatus.u16FpsDecimal, 0u);
    EXPECT_FALSE(s1.status.stVidStatus.bInterlaced);
    EXPECT_EQ(s1.status.stVidStatus.u16Pid, VIDEO_PID);
    EXPECT_EQ(s1.status.stAudStatus.enDecodeState, AV_DECODER_STATE_RUNNING);
    EXPECT_EQ(s1.status.stAudStatus.u32SampleRate, 48000u);
    EXPECT_EQ(s1.status.stAudStatus.u32Chanel, 2u);
    EXPECT_EQ(s1.status.stAudStatus.u16Pid, AUDIO_PID);
    EXPECT_EQ(s1.status.u16PcrPid, VIDEO_PID);
    EXPECT_EQ(s1.status.u32TsPacketSize, 188u);

    AV_BUFFER_STAT_S buffer{};
    bool videoStarted = false, audioStarted = false;
    ASSERT_EQ(av_get_buffer_stat(av, &buffer, &videoStarted, &audioStarted), 0u);
    EXPECT_TRUE(videoStarted && audioStarted);
    // The muxer sends each unit some hundreds of milliseconds ahead of its time.
    EXPECT_GT(buffer.videoBuffer.bufferedMs, 0);
    EXPECT_LT(buffer.videoBuffer.bufferedMs, 2000);
    EXPECT_GT(buffer.videoBuffer.dataLen, 0);

    // Once video is stopped no picture is shown; the events of those shown may still be arriving.
    ASSERT_EQ(av_stop_video(av), 0u);
    const AV_STATUS_S stopped = Status(av);
    EXPECT_EQ(stopped.stVidStatus.enDecodeState, AV_DECODER_STATE_STOPPED);
    EXPECT_FALSE(stopped.bVidStart);
    Close(av);
    std::lock_guard<std::mutex> lock(g_Pictures.mutex);
    // One event per picture shown, on the library's thread, in PTS order a frame apart.
    EXPECT_EQ(g_Pictures.frames.size(), size_t(stopped.stVidStatus.u32DispPicCount));
    EXPECT_NE(g_Pictures.thread, std::this_thread::get_id());
    EXPECT_TRUE(g_Pictures.otherEvents.empty());
    for (size_t i = 0; i < g_Pictures.frames.size(); ++i) {
        const AV_VID_FRAMEINFO_S& f = g_Pictures.frames[i];
        SCOPED_TRACE(i);
        ASSERT_EQ(f.u32FrameIndex, i);
        EXPECT_EQ(f.u32Width, 320u);
        EXPECT_EQ(f.u32Height, 240u);
        EXPECT_EQ(f.u32AspectWidth, 4u);
        EXPECT_EQ(f.u32AspectHeight, 3u);
        EXPECT_EQ(f.u32fpsInteger, 25u);
        EXPECT_TRUE(f.bProgressive);
        EXPECT_EQ(f.enVideoFormat, AV_VID_FORMAT_YUV_SEMIPLANAR_420);
        if (i > 0) {
            ASSERT_EQ(PtsDelta(g_Pictures.frames[i - 1].s64Pts, f.s64Pts), 3600);
        }
    }
}

namespace {

// Drains av_get_ts_buffer as the device layer does, in 1316-byte reads, until `done` holds and
// nothing is left. Every read is a whole number of packets within the room.
std::vector<uint8_t> Drain(HANDLE av, const std::function<bool()>& done) {
    std::vector<uint8_t> out;
    uint8_t chunk[AV_TS_CHUNK_SIZE];
    for (int idle = 0; idle < 1000;) {
        int32_t got = av_get_ts_buffer(av, chunk, sizeof(chunk));
        if (got > 0) {
            EXPECT_EQ(got % 188, 0);
            EXPECT_LE(got, AV_TS_CHUNK_SIZE);
            out.insert(out.end(), chunk, chunk + got);
            idle = 0;
            continue;
        }
        if (done())
            break;
        SleepMs(5);
        ++idle;
    }
    return out;
}

uint16_t FreeUdpPort() {
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t length = sizeof(a);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(s);
    return ntohs(a.sin_port);
}

}  // namespace

TEST_F(HostAvPlayback, TsBufferYieldsExactlyTheReceivedBytesFromAFileAndFromUdp) {
    const std::vector<uint8_t> file = KestrelTest::ReadBytes(s_Short);
    ASSERT_EQ(file.size() % 188, 0u);

    HANDLE av = Open("file:" + s_Short);
    ASSERT_EQ(m_PrepareResult, 0u);
    std::vector<uint8_t> drained = Drain(av, [] { return !Kestrel::Host::IsInputRunning(); });
    EXPECT_EQ(Kestrel::Host::TsBufferDroppedPackets(), 0u);
    EXPECT_TRUE(drained == file) << "drained " << drained.size() << " of " << file.size()
                                 << " bytes";
    Close(av);

    // The same stream over loopback UDP in 1316-byte datagrams, sent by another thread.
    uint16_t port = FreeUdpPort();
    av = Open("udp://127.0.0.1:" + std::to_string(port));
    ASSERT_EQ(m_PrepareResult, 0u);
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        int s = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (size_t offset = 0, n = 0; offset < file.size(); offset += AV_TS_CHUNK_SIZE, ++n) {
            size_t size = std::min<size_t>(AV_TS_CHUNK_SIZE, file.size() - offset);
            ::sendto(s, file.data() + offset, size, 0, reinterpret_cast<sockaddr*>(&a), sizeof(a));
            if (n % 8 == 7)
                SleepMs(1);  // well within the socket's buffer
        }
        ::close(s);
        sent = true;
    });
    size_t expected = file.size();
    drained = Drain(av, [&] { return sent.load(); });
    // The last datagrams may still be on their way when the sender finishes.
    for (int i = 0; i < 200 && drained.size() < expected; ++i) {
        std::vector<uint8_t> more = Drain(av, [] { return true; });
        drained.insert(drained.end(), more.begin(), more.end());
        SleepMs(5);
    }
    sender.join();
    EXPECT_TRUE(drained == file) << "drained " << drained.size() << " of " << file.size()
                                 << " bytes";
    Close(av);
}

TEST_F(HostAvPlayback, BadInputStopsTheDecodersAndGoodInputResumesPlaying) {
    KestrelTest::LogCapture log;
    // Corrupt copy: every 40th packet flagged in error, every 97th with a garbled payload, and
    // junk between packets twice.
    std::vector<uint8_t> corrupt = KestrelTest::ReadBytes(s_Short);
    for (size_t i = 0; i < corrupt.size() / 188; ++i) {
        uint8_t* p = &corrupt[i * 188];
        if (i % 40 == 39)
            p[1] |= 0x80;
        if (i % 97 == 96)
            std::memset(p + 20, 0xA5, 100);
    }
    const size_t packets = corrupt.size() / 188;
    ASSERT_GT(packets, 300u);
    corrupt.insert(corrupt.begin() + long(188 * (packets / 3)), 77, 0x55);
    corrupt.insert(corrupt.begin() + long(188 * (2 * packets / 3) + 77), 13, 0x47);
    std::string corruptPath =
        s_Dir->WriteFile("corrupt.ts", std::string(corrupt.begin(), corrupt.end()));
    std::string textPath = s_Dir->WriteFile("text.ts", std::string(300000, 'k'));

    // Not a transport stream: nothing plays, zero values, a clear line.
    HANDLE av = Open("file:" + textPath);
    for (int i = 0; i < 300 && Kestrel::Host::IsInputRunning(); ++i)
        SleepMs(10);
    AV_STATUS_S status = Status(av);
    EXPECT_EQ(status.stVidStatus.enDecodeState, AV_DECODER_STATE_STOPPED);
    EXPECT_EQ(status.stVidStatus.u32DispPicCount, 0u);
    EXPECT_EQ(status.stVidStatus.u32SourceWidth, 0u);
    EXPECT_EQ(status.stAudStatus.u32FrameCount, 0u);
    int64_t pts = 0;
    EXPECT_NE(av_get_current_pts(av, AV_SYNC_PTS_CHAN_PCR, &pts), 0u);
    EXPECT_TRUE(log.Contains("is not a transport stream"));
    Close(av);

    // Corrupt packets: still plays; at its end the decoders report stopped within a second or so.
    av = Open("file:" + corruptPath);
    ASSERT_TRUE(WaitForPictures(av, 10));
    for (int i = 0; i < 600 && Kestrel::Host::IsInputRunning(); ++i)
        SleepMs(10);
    for (int i = 0; i < 300 && Status(av).stVidStatus.enDecodeState != AV_DECODER_STATE_STOPPED;
         ++i)
        SleepMs(10);
    status = Status(av);
    EXPECT_EQ(status.stVidStatus.enDecodeState, AV_DECODER_STATE_STOPPED);
    EXPECT_EQ(status.stVidStatus.u16FpsInteger, 0u);
    EXPECT_EQ(status.stVidStatus.u32SourceWidth, 0u);
    EXPECT_GT(status.stVidStatus.u32DispPicCount, 40u);
    EXPECT_TRUE(log.Contains("nothing to play for a second"));
    const uint32_t shown = status.stVidStatus.u32DispPicCount;

    // The input comes back with the stream from its start: the PCR jumps back, the clock
    // re-locks and the same player shows pictures again.
    AV_PREPARE_S prepare{};
    std::strcpy(prepare.multiAddr, "127.0.0.1");
    Kestrel::Host::SetHostInput("file:" + s_Short, false);
    ASSERT_EQ(av_prepare(&prepare), 0u);
    ASSERT_TRUE(WaitForPictures(av, shown + 10));
    EXPECT_EQ(Status(av).stVidStatus.enDecodeState, AV_DECODER_STATE_RUNNING);
    EXPECT_TRUE(log.Contains("PCR jump"));

    // Calls a board refuses.
    EXPECT_NE(av_start(av + 1), 0u);
    EXPECT_NE(av_get_status_info(av, nullptr), 0u);
    EXPECT_LT(av_get_ts_buffer(av + 1, reinterpret_cast<uint8_t*>(&pts), sizeof(pts)), 1);
    Close(av);
}
