#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "MediaTestStreams.h"
#include "TempDir.h"
#include "platform/host/HostStreamInfo.h"
#include "platform/host/HostStreamProber.h"
#include "xptools/Clock.h"

using Kestrel::Host::StreamProber;
using namespace KestrelTest;

namespace {

// MPEG-2 interlaced (top field first) with MPEG-1 layer II and AC-3, in service 7 with a name
// and a provider from the SDT.
const char* const MPEG2_SERVICE =
    "-f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
    "-t 2 -map 0:v -map 1:a -map 1:a -c:v mpeg2video -flags +ilme+ildct -top 1 -b:v 2M "
    "-c:a:0 mp2 -ac 2 -b:a:0 192k -c:a:1 ac3 -b:a:1 128k -metadata service_name='Kestrel One' "
    "-metadata service_provider='Kestrel Test' -mpegts_service_id 7 -f mpegts ";
// AVC progressive with a 4:3 sample aspect ratio, with mono AAC at 44.1 kHz.
const char* const AVC_SERVICE =
    "-f lavfi -i testsrc=size=320x240:rate=30 -f lavfi -i sine=frequency=440:sample_rate=44100 "
    "-t 2 -c:v libx264 -pix_fmt yuv420p -profile:v main -level 3.0 -vf setsar=4/3 "
    "-c:a aac -ac 1 -metadata service_name=Two -f mpegts ";

constexpr size_t CHUNK = 1316;

void Feed(StreamProber& prober, const std::vector<uint8_t>& ts, size_t chunk = CHUNK) {
    for (size_t offset = 0; offset < ts.size(); offset += chunk) {
        const size_t n = std::min(chunk, ts.size() - offset);
        prober.OnTs(ts.data() + offset, n - n % 188);
    }
}

// Only the packets whose PID is not `dropPid`.
std::vector<uint8_t> WithoutPid(const std::vector<uint8_t>& ts, unsigned dropPid) {
    std::vector<uint8_t> out;
    for (size_t offset = 0; offset + 188 <= ts.size(); offset += 188) {
        const unsigned pid = ((ts[offset + 1] & 0x1F) << 8) | ts[offset + 2];
        if (pid != dropPid) {
            out.insert(out.end(), ts.begin() + offset, ts.begin() + offset + 188);
        }
    }
    return out;
}

std::string Rational(int num, int den) {
    return std::to_string(num) + "/" + std::to_string(den);
}
std::string Ratio(int num, int den) {
    return std::to_string(num) + ":" + std::to_string(den);
}

unsigned PidOf(const std::string& ffprobeId) {
    return static_cast<unsigned>(std::strtoul(ffprobeId.c_str(), nullptr, 0));
}

int FieldOrderFromName(const std::string& name) {
    if (name == "progressive")
        return AV_VIDEO_FIELD_PROGRESSIVE;
    if (name == "tt")
        return AV_VIDEO_FIELD_TT;
    if (name == "bb")
        return AV_VIDEO_FIELD_BB;
    if (name == "tb")
        return AV_VIDEO_FIELD_TB;
    if (name == "bt")
        return AV_VIDEO_FIELD_BT;
    return AV_VIDEO_FIELD_UNKNOWN;
}

class StreamInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveFfmpegTools()) {
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        }
    }
    std::string Make(const char* arguments, const char* name) {
        const std::string path = m_Dir.Path() + "/" + name;
        EXPECT_TRUE(RunFfmpeg(std::string(arguments) + "'" + path + "'")) << name;
        return path;
    }
    TempDir m_Dir;
};

struct Expected {
    const char* name;
    const char* arguments;
    AV_VID_STREAM_TYPE_E videoType;
    int profile;  // the standard's profile number, as FFmpeg numbers it
    std::vector<AV_AUD_STREAM_TYPE_E> audioTypes;
};

}  // namespace

// Every field ffprobe reports for the same file, plus the platform enumerations it maps onto.
TEST_F(StreamInfoTest, MatchesFfprobeForRealStreams) {
    const Expected cases[] = {
        {"mpeg2.ts",
         MPEG2_SERVICE,
         AV_VID_STREAM_TYPE_MPEG2,
         4 /* Main */,
         {AV_AUD_STREAM_TYPE_MPGE1, AV_AUD_STREAM_TYPE_AC3}},
        {"avc.ts",
         AVC_SERVICE,
         AV_VID_STREAM_TYPE_H264,
         77 /* Main */,
         {AV_AUD_STREAM_TYPE_MPEG2_AAC}},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make(c.arguments, c.name);
        const ProbeReport report = RunFfprobe(path);
        ASSERT_FALSE(report.streams.empty());
        ASSERT_EQ(1u, report.programs.size());

        StreamProber prober;
        Feed(prober, ReadBytes(path));
        prober.Probe();
        AV_STREAM_INFO_S info;
        prober.Fill(&info);

        uint32_t videos = 0, audios = 0;
        for (const auto& st : report.streams) {
            const unsigned pid = PidOf(st.at("id"));
            if (st.at("codec_type") == "video") {
                ASSERT_LT(videos, info.u32VideoNum);
                const VIDEO_STREAM_INFO_S& v = info.stVideoStreamInfo[videos++];
                EXPECT_EQ(pid, v.u32Pid);
                EXPECT_EQ(c.videoType, v.enStreamType);
                EXPECT_EQ(st.at("width"), std::to_string(v.u32Width));
                EXPECT_EQ(st.at("height"), std::to_string(v.u32Height));
                EXPECT_EQ(st.at("sample_aspect_ratio"),
                          Ratio(v.stSampleAspectRatio.s32Num, v.stSampleAspectRatio.s32Den));
                EXPECT_EQ(st.at("avg_frame_rate"),
                          Rational(v.stAvgFrameRate.s32Num, v.stAvgFrameRate.s32Den));
                EXPECT_EQ(FieldOrderFromName(st.at("field_order")), v.eVideoFieldOrder);
                EXPECT_EQ(st.at("level"), std::to_string(v.s32Level));
                EXPECT_EQ(c.profile, v.s32Profile);
                ASSERT_EQ("yuv420p", st.at("pix_fmt"));
                EXPECT_EQ(AV_VID_FORMAT_YUV_SEMIPLANAR_420, v.enFormat);
                EXPECT_EQ(AV_PIXEL_BITWIDTH_8BIT, v.enBitWidth);
            } else if (st.at("codec_type") == "audio") {
                ASSERT_LT(audios, info.u32AudioNum);
                const AUDIO_STREAM_INFO_S& a = info.stAudioStreamInfo[audios];
                EXPECT_EQ(pid, a.u32Pid);
                EXPECT_EQ(c.audioTypes.at(audios), a.enStreamType);
                EXPECT_EQ(st.at("channels"), std::to_string(a.s32Channels));
                EXPECT_EQ(st.at("sample_rate"), std::to_string(a.u32SampleRate));
                if (st.at("codec_name") == "aac") {
                    // Variable rate: ffprobe averages over what it read of the file, the board
                    // over its window; the two agree only roughly.
                    EXPECT_NEAR(std::stod(st.at("bit_rate")), double(a.s64BitRate),
                                0.05 * std::stod(st.at("bit_rate")));
                } else {
                    EXPECT_EQ(st.at("bit_rate"), std::to_string(a.s64BitRate));
                }
                ASSERT_EQ("fltp", st.at("sample_fmt"));
                EXPECT_EQ(8 /* FFmpeg's and the platform's planar float */, a.enFormat);
                ++audios;
            }
        }
        EXPECT_EQ(videos, info.u32VideoNum);
        EXPECT_EQ(audios, info.u32AudioNum);
        EXPECT_EQ(c.audioTypes.size(), audios);

        ASSERT_EQ(1u, info.u32ProgramNum);
        const auto& program = report.programs[0];
        EXPECT_EQ(program.at("program_id"), std::to_string(info.stProgramInfo[0].u16ServiceID));
        EXPECT_EQ(program.at("tag:service_name"), std::string(info.stProgramInfo[0].s8ServiceName));
        EXPECT_EQ(program.at("tag:service_provider"),
                  std::string(info.stProgramInfo[0].s8serviceProvider));
    }
}

// Damaged input: packets that only look like a transport stream give nothing, and a real stream
// with every 40th packet garbled still gives its streams.
TEST_F(StreamInfoTest, BadInputGivesZeroCountsAndALogLine) {
    std::vector<uint8_t> noise(188 * 2000);
    uint32_t seed = 12345;
    for (size_t i = 0; i < noise.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        noise[i] = (i % 188 == 0) ? 0x47 : static_cast<uint8_t>(seed >> 16);
    }
    {
        LogCapture log;
        StreamProber prober;
        Feed(prober, noise);
        prober.Probe();
        AV_STREAM_INFO_S info;
        std::memset(&info, 0xAB, sizeof(info));
        prober.Fill(&info);
        EXPECT_EQ(0u, info.u32VideoNum);
        EXPECT_EQ(0u, info.u32AudioNum);
        EXPECT_EQ(0u, info.u32ProgramNum);
        EXPECT_EQ(0, info.stVideoStreamInfo[0].s32Profile);  // zeroed, not left as it was
        EXPECT_TRUE(log.Contains("WARN host.streaminfo: stream probe:")) << "no log line";
    }

    std::vector<uint8_t> ts = ReadBytes(Make(MPEG2_SERVICE, "corrupt.ts"));
    for (size_t packet = 7; packet * 188 < ts.size(); packet += 40) {
        for (size_t i = 1; i < 188; ++i) {
            ts[packet * 188 + i] = static_cast<uint8_t>(i * 31);
        }
    }
    StreamProber prober;
    Feed(prober, ts);
    prober.Probe();
    AV_STREAM_INFO_S info;
    prober.Fill(&info);
    ASSERT_EQ(1u, info.u32VideoNum);
    EXPECT_EQ(720u, info.stVideoStreamInfo[0].u32Width);
    EXPECT_EQ(576u, info.stVideoStreamInfo[0].u32Height);

    EXPECT_NE(0u, Kestrel::Host::FillStreamInfo(nullptr));
}

// The live behaviour on the platform's clock: probes run only after the stream changed, a PID
// that stops arriving drops out of the answer, and a discontinuity brings the new stream's
// information.
TEST_F(StreamInfoTest, FollowsTheStreamAsItChanges) {
    const std::vector<uint8_t> mpeg2 = ReadBytes(Make(MPEG2_SERVICE, "mpeg2.ts"));
    const std::vector<uint8_t> avc = ReadBytes(Make(AVC_SERVICE, "avc.ts"));
    XP::ManualClock clock;
    LogCapture log;
    StreamProber prober;
    AV_STREAM_INFO_S info;

    // A small live stream: nothing is probed before it has run for a while.
    Feed(prober, mpeg2);
    prober.Fill(&info);
    EXPECT_EQ(0u, prober.ProbeCount());
    EXPECT_EQ(0u, info.u32VideoNum);
    clock.Advance(StreamProber::MIN_PROBE_WAIT_MS);
    prober.Fill(&info);
    EXPECT_EQ(1u, prober.ProbeCount());
    EXPECT_EQ(1u, info.u32VideoNum);
    EXPECT_EQ(2u, info.u32AudioNum);

    // Unchanged stream: the answer is cached.
    Feed(prober, mpeg2);
    clock.Advance(StreamProber::RETRY_MS * 2);
    prober.Fill(&info);
    EXPECT_EQ(1u, prober.ProbeCount());
    EXPECT_EQ(2u, info.u32AudioNum);

    // The AC-3 PID stops; the rest goes on.
    clock.Advance(StreamProber::PID_TIMEOUT_MS / 2);
    Feed(prober, WithoutPid(mpeg2, 0x102));
    clock.Advance(StreamProber::PID_TIMEOUT_MS / 2 + 1);
    Feed(prober, WithoutPid(mpeg2, 0x102));
    prober.Fill(&info);
    ASSERT_EQ(1u, info.u32AudioNum);
    EXPECT_EQ(0x101u, info.stAudioStreamInfo[0].u32Pid);
    EXPECT_EQ(1u, info.u32VideoNum);
    EXPECT_EQ(1u, info.u32ProgramNum);
    EXPECT_TRUE(log.Contains("no longer received"));

    // A new stream after a discontinuity.
    prober.OnDiscontinuity();
    Feed(prober, avc);
    clock.Advance(StreamProber::MIN_PROBE_WAIT_MS);
    prober.Fill(&info);
    EXPECT_EQ(2u, prober.ProbeCount());
    ASSERT_EQ(1u, info.u32VideoNum);
    EXPECT_EQ(AV_VID_STREAM_TYPE_H264, info.stVideoStreamInfo[0].enStreamType);
    EXPECT_EQ(320u, info.stVideoStreamInfo[0].u32Width);
    ASSERT_EQ(1u, info.u32ProgramNum);
    EXPECT_STREQ("Two", info.stProgramInfo[0].s8ServiceName);

    // The input stops altogether: zero values.
    clock.Advance(StreamProber::PID_TIMEOUT_MS + 1);
    prober.Fill(&info);
    EXPECT_EQ(0u, info.u32VideoNum);
    EXPECT_EQ(0u, info.u32AudioNum);
    EXPECT_EQ(0u, info.u32ProgramNum);
}

// The window keeps the newest packets in arrival order, whatever the block sizes, also when it
// wraps and when one block is larger than the whole window.
TEST(StreamProberWindowTest, KeepsTheFirstPacketsInOrderUntilProbed) {
    constexpr size_t WINDOW_PACKETS = StreamProber::WINDOW_BYTES / 188;
    auto packets = [](size_t first, size_t count) {
        std::vector<uint8_t> ts(count * 188, 0xFF);
        for (size_t i = 0; i < count; ++i) {
            uint8_t* p = &ts[i * 188];
            const uint32_t index = static_cast<uint32_t>(first + i);
            p[0] = 0x47;
            p[1] = 0x1F;  // null packets: no PID of interest
            p[2] = 0xFF;
            p[3] = 0x10;
            std::memcpy(p + 4, &index, sizeof(index));
        }
        return ts;
    };
    auto firstIndexAndCheck = [](const std::vector<uint8_t>& window, size_t expectedFirst) {
        for (size_t i = 0; i * 188 < window.size(); ++i) {
            uint32_t index;
            std::memcpy(&index, &window[i * 188 + 4], sizeof(index));
            if (index != expectedFirst + i) {
                return false;
            }
        }
        return true;
    };

    StreamProber prober;
    size_t sent = 0;
    for (size_t block : {7u, 1u, 3000u, 7u}) {
        const std::vector<uint8_t> ts = packets(sent, block);
        prober.OnTs(ts.data(), ts.size());
        sent += block;
    }
    EXPECT_EQ(sent * 188, prober.Snapshot().size());
    EXPECT_TRUE(firstIndexAndCheck(prober.Snapshot(), 0));

    // Until a probe has found everything, the window keeps the first bytes since the change
    // (where the stream's parameter sets are), whatever follows; blocks of 7 packets (1316 bytes)
    // are not a divisor of its size.
    while (sent < WINDOW_PACKETS + 5000) {
        const std::vector<uint8_t> ts = packets(sent, 7);
        prober.OnTs(ts.data(), ts.size());
        sent += 7;
    }
    std::vector<uint8_t> window = prober.Snapshot();
    EXPECT_GT(window.size(), StreamProber::WINDOW_BYTES - 7 * 188);
    EXPECT_TRUE(firstIndexAndCheck(window, 0));

    // Null packets leave the probe incomplete: the next window starts with what comes next.
    prober.Probe();
    EXPECT_TRUE(prober.Snapshot().empty());
    const size_t restart = sent;
    const std::vector<uint8_t> more = packets(sent, 30);
    prober.OnTs(more.data(), more.size());
    sent += 30;
    window = prober.Snapshot();
    ASSERT_EQ(30u * 188, window.size());
    EXPECT_TRUE(firstIndexAndCheck(window, restart));

    // A discontinuity starts the window afresh.
    prober.OnDiscontinuity();
    EXPECT_TRUE(prober.Snapshot().empty());
}
