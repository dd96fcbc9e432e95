#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "MediaTestStreams.h"
#include "TempDir.h"
#include "platform/host/HostSecondAudio.h"
#include "platform/host/HostTsTapRegistry.h"
#include "stb/stb_second_audio.h"
#include "xptools/Clock.h"

using Kestrel::Host::SecondAudioDecoder;
using namespace KestrelTest;

namespace {

// Five seconds of a service with two audio PIDs: MPEG-1 layer II 48 kHz stereo on 0x101 and
// AAC 44.1 kHz mono on 0x102 (decoded as planar float, so it goes through the converter).
const char* const SERVICE =
    "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
    "-f lavfi -i sine=frequency=1000:sample_rate=44100 -t 5 -map 0:v -map 1:a -map 2:a "
    "-c:v mpeg2video -c:a:0 mp2 -ac:a:0 2 -b:a:0 192k -c:a:1 aac -ac:a:1 1 -f mpegts ";

struct Block {
    std::vector<uint8_t> pcm;
    uint32_t pts;
};

void Feed(SecondAudioDecoder& decoder, const std::vector<uint8_t>& ts) {
    for (size_t offset = 0; offset < ts.size(); offset += 1316) {
        decoder.OnTs(ts.data() + offset, std::min<size_t>(1316, ts.size() - offset));
    }
}

// Everything the decoder hands out until it has nothing more.
std::vector<Block> Drain(SecondAudioDecoder& decoder) {
    std::vector<Block> blocks;
    std::vector<uint8_t> buffer(SECOND_AUDIO_PCM_MAX_BYTES + 16, 0xEE);
    for (;;) {
        uint32_t length = 0, pts = 0;
        if (decoder.Service(buffer.data(), &length, &pts) != 0) {
            return blocks;
        }
        EXPECT_EQ(0xEE, buffer[SECOND_AUDIO_PCM_MAX_BYTES]) << "wrote past the limit";
        blocks.push_back({std::vector<uint8_t>(buffer.begin(), buffer.begin() + length), pts});
    }
}

// ffprobe's packet count and first PTS of the audio stream with this PID.
struct AudioFacts {
    long packets = 0;
    long startPts = 0;
};

AudioFacts Facts(const std::string& path, unsigned pid) {
    AudioFacts facts;
    for (const auto& st : RunFfprobeCounts(path)) {
        if (std::strtoul(st.at("id").c_str(), nullptr, 0) == pid) {
            facts.packets = std::strtol(st.at("nb_read_packets").c_str(), nullptr, 10);
            facts.startPts = std::strtol(st.at("start_pts").c_str(), nullptr, 10);
        }
    }
    return facts;
}

class SecondAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveFfmpegTools()) {
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
        }
        m_Path = m_Dir.Path() + "/service.ts";
        ASSERT_TRUE(RunFfmpeg(std::string(SERVICE) + "'" + m_Path + "'"));
        m_Ts = ReadBytes(m_Path);
        ASSERT_FALSE(m_Ts.empty());
    }
    TempDir m_Dir;
    std::string m_Path;
    std::vector<uint8_t> m_Ts;
};

}  // namespace

// The PCM delivered covers exactly the decoded duration of every frame in the stream, in
// buffers of at most 384000 bytes whose PTS follow on from each other.
TEST_F(SecondAudioTest, PcmMatchesTheDecodedDuration) {
    struct Case {
        unsigned pid;
        int rate, channels, samplesPerFrame;
    };
    for (const Case c : {Case{0x101, 48000, 2, 1152}, Case{0x102, 44100, 1, 1024}}) {
        SCOPED_TRACE(c.pid);
        const AudioFacts facts = Facts(m_Path, c.pid);
        ASSERT_GT(facts.packets, 100);

        SecondAudioDecoder decoder;
        ASSERT_EQ(0, decoder.SetPid(c.pid));
        Feed(decoder, m_Ts);
        ASSERT_EQ(0, decoder.ServiceInit());
        const std::vector<Block> blocks = Drain(decoder);
        EXPECT_EQ(c.rate, decoder.SampleRate());
        EXPECT_EQ(c.channels, decoder.Channels());

        const size_t bytesPerSample = 2u * c.channels;
        size_t total = 0;
        ASSERT_FALSE(blocks.empty());
        EXPECT_EQ(static_cast<uint32_t>(facts.startPts), blocks[0].pts);
        for (size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_LE(blocks[i].pcm.size(), size_t(SECOND_AUDIO_PCM_MAX_BYTES));
            EXPECT_EQ(0u, blocks[i].pcm.size() % bytesPerSample);
            if (i > 0) {
                const double samples = double(blocks[i - 1].pcm.size()) / bytesPerSample;
                EXPECT_NEAR(blocks[i - 1].pts + samples * 90000 / c.rate, blocks[i].pts, 1.0);
            }
            total += blocks[i].pcm.size();
        }
        EXPECT_EQ(size_t(facts.packets) * c.samplesPerFrame * bytesPerSample, total);
        // Queued data comes out in full buffers first.
        EXPECT_EQ(size_t(SECOND_AUDIO_PCM_MAX_BYTES), blocks[0].pcm.size());
        if (c.rate == 48000) {
            // 48 kHz stereo: 192000 bytes a second of stream.
            EXPECT_NEAR(192000.0 * 5, double(total), 192000.0 * 0.05);
        }
    }
}

// Volume scales the samples, output state 2 silences them without changing the amount.
TEST_F(SecondAudioTest, VolumeAndOutputStateApplyToThePcm) {
    auto decode = [&](uint32_t volume, uint32_t state) {
        SecondAudioDecoder decoder;
        decoder.SetPid(0x101);
        decoder.SetVolume(volume);
        decoder.SetOutputState(state);
        Feed(decoder, m_Ts);
        EXPECT_EQ(0, decoder.ServiceInit());
        std::vector<int16_t> samples;
        for (const Block& b : Drain(decoder)) {
            const size_t at = samples.size();
            samples.resize(at + b.pcm.size() / 2);
            std::memcpy(&samples[at], b.pcm.data(), b.pcm.size());
        }
        return samples;
    };
    const std::vector<int16_t> full = decode(100, 1);
    const std::vector<int16_t> half = decode(50, 1);
    const std::vector<int16_t> off = decode(100, SecondAudioDecoder::STATE_OFF);
    ASSERT_EQ(full.size(), half.size());
    ASSERT_EQ(full.size(), off.size());
    int peak = 0;
    for (size_t i = 0; i < full.size(); ++i) {
        ASSERT_EQ(full[i] * 50 / 100, half[i]) << "sample " << i;
        ASSERT_EQ(0, off[i]) << "sample " << i;
        peak = std::max(peak, std::abs(int(full[i])));
    }
    EXPECT_GT(peak, 1000) << "the tone should be audible at full volume";
}

// No data, damaged data, a PID that goes away, a PID change: clear results and log lines.
TEST_F(SecondAudioTest, BadInputAndChanges) {
    LogCapture log;
    SecondAudioDecoder decoder;
    uint8_t buffer[4096];
    uint32_t length = 0, pts = 0;

    EXPECT_EQ(-1, decoder.ServiceInit());  // no PID yet
    EXPECT_EQ(-1, decoder.Service(buffer, &length, &pts));
    ASSERT_EQ(0, decoder.SetPid(0x101));
    EXPECT_EQ(-1, decoder.ServiceInit());  // nothing received yet
    EXPECT_TRUE(
        log.Contains("WARN host.secondaudio: second audio: no recognisable audio on PID 257"));
    EXPECT_EQ(-1, decoder.SetPid(0x2000));

    ASSERT_EQ(0, decoder.SetAvail(0));
    EXPECT_EQ(0, decoder.CheckAvail());
    Feed(decoder, m_Ts);
    EXPECT_EQ(-1, decoder.ServiceInit());
    ASSERT_EQ(0, decoder.SetAvail(1));
    EXPECT_EQ(1, decoder.CheckAvail());

    // Every 10th packet of the audio PID garbled after its header, and one lost: PES are
    // dropped or frames fail to decode, but PCM still comes out and nothing crashes.
    std::vector<uint8_t> damaged = m_Ts;
    unsigned seen = 0;
    std::vector<uint8_t> withLoss;
    for (size_t offset = 0; offset + 188 <= damaged.size(); offset += 188) {
        uint8_t* p = &damaged[offset];
        const unsigned pid = ((p[1] & 0x1F) << 8) | p[2];
        if (pid == 0x101 && ++seen % 10 == 0) {
            for (size_t i = 4; i < 188; ++i)
                p[i] = static_cast<uint8_t>(i * 7);
        }
        if (!(pid == 0x101 && seen == 25)) {
            withLoss.insert(withLoss.end(), p, p + 188);
        }
    }
    SecondAudioDecoder damagedDecoder;
    damagedDecoder.SetPid(0x101);
    Feed(damagedDecoder, withLoss);
    ASSERT_EQ(0, damagedDecoder.ServiceInit());
    const std::vector<Block> blocks = Drain(damagedDecoder);
    size_t total = 0;
    for (const Block& b : blocks)
        total += b.pcm.size();
    EXPECT_GT(total, 192000u * 3);
    EXPECT_GE(damagedDecoder.DroppedPes(), 1u);
    EXPECT_TRUE(log.Contains("continuity"));

    // The PID goes away: once the queue is empty, -1, and a log line once nothing has come
    // for a while.
    {
        XP::ManualClock clock;
        log.Take();
        std::thread waiter([&] { EXPECT_EQ(-1, damagedDecoder.Service(buffer, &length, &pts)); });
        ASSERT_TRUE(clock.WaitForWaiters(1));
        clock.Advance(SecondAudioDecoder::NO_DATA_REPORT_MS);
        waiter.join();
        EXPECT_TRUE(
            log.Contains("WARN host.secondaudio: second audio: no audio received on PID 257"));
    }

    // A PID change drops what was queued for the old one; the new codec is found after a free
    // and a fresh set-up, as the daemon does it.
    SecondAudioDecoder switching;
    switching.SetPid(0x101);
    Feed(switching, m_Ts);
    ASSERT_EQ(0, switching.ServiceInit());
    ASSERT_EQ(0, switching.SetPid(0x102));
    ASSERT_EQ(0, switching.Free());
    EXPECT_EQ(-1, switching.ServiceInit());  // nothing of 0x102 yet
    Feed(switching, m_Ts);
    ASSERT_EQ(0, switching.ServiceInit());
    const std::vector<Block> after = Drain(switching);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(44100, switching.SampleRate());
    EXPECT_EQ(1, switching.Channels());
}

// The C calls in the order the daemon makes them, with the stream arriving through the input's
// tap registry rather than fed to the decoder directly.
TEST_F(SecondAudioTest, CallsInTheDaemonsOrder) {
    ASSERT_EQ(0, second_audio_decoder_init());
    ASSERT_EQ(0, second_audio_decoder_set_video_type(AV_VID_STREAM_TYPE_MPEG2));
    ASSERT_EQ(0, second_audio_decoder_set_audio_pid(0x101));
    ASSERT_EQ(0, second_audio_decoder_set_audio_volume(100));
    ASSERT_EQ(0, second_audio_decoder_set_audio_output_state(1));
    EXPECT_EQ(1, second_audio_decoder_check_avail());
    EXPECT_EQ(-1, second_audio_decoder_service_init());  // nothing received yet
    EXPECT_EQ(0, second_audio_decoder_free());

    for (size_t offset = 0; offset < m_Ts.size(); offset += 1316) {
        Kestrel::Host::DeliverTs(m_Ts.data() + offset,
                                 std::min<size_t>(1316, m_Ts.size() - offset));
    }
    ASSERT_EQ(0, second_audio_decoder_service_init());
    std::vector<uint8_t> buffer(SECOND_AUDIO_PCM_MAX_BYTES);
    uint8_t* pcm = buffer.data();
    uint32_t length = 0, pts = 0, total = 0, lastPts = 0;
    while (second_audio_decoder_service(&pcm, &length, &pts) == 0) {
        EXPECT_GT(pts, lastPts);
        lastPts = pts;
        total += length;
    }
    const AudioFacts facts = Facts(m_Path, 0x101);
    EXPECT_EQ(uint32_t(facts.packets) * 1152 * 4, total);
    EXPECT_EQ(-1, second_audio_decoder_service(nullptr, &length, &pts));
    EXPECT_EQ(0, second_audio_decoder_free());
    EXPECT_EQ(-1, second_audio_decoder_service(&pcm, &length, &pts));
    // Stop collecting for the other tests of this process.
    EXPECT_EQ(0, second_audio_decoder_set_audio_pid(0));
}
