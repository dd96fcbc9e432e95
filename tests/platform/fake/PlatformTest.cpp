#include "platform/fake/Platform.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "stb/stb_module.h"

namespace {

using Kestrel::Fake::Call;
using Kestrel::Fake::Platform;

// Every operation, called once with harmless arguments.
struct Operation {
    const char* name;
    std::function<int64_t()> call;
};

std::vector<Operation> AllOperations() {
    static AV_INIT_S avInit;
    static AV_CREATE_S avCreate;
    static AV_PREPARE_S prepare;
    static AV_SETTING_S setting;
    static AV_SYNC_ATTR_S sync;
    static AV_EVENT_CONFIG_PARAMS_S events;
    static AV_STATUS_S status;
    static AV_STREAM_INFO_S streamInfo;
    static AV_BUFFER_STAT_S bufferStat;
    static VOUT_INIT_S voutInit;
    static VOUT_OPEN_S voutOpen;
    static VOUT_DISPSETTING_S display;
    static AOUT_INIT_S aoutInit;
    static AOUT_OPEN_S aoutOpen;
    static CAPTION_INIT_S ccInit;
    static CAPTION_CC_S cc;
    static CAPTION_CC_ATTR_S ccAttr;
    static SUBTITLE_CREATE_PARAM_S subCreate;
    static SUBTITLE_PARAM_S subParam;
    static HANDLE handle;
    static int64_t pts;
    static bool flag;
    static uint8_t buffer[AV_TS_CHUNK_SIZE];
    static uint8_t* pcm = buffer;
    static uint32_t length;
    static uint32_t pcmPts;
    static char value[SYSTEM_PROPERTY_VALUE_MAX];
    return {
        {"system_init", [] { return system_init(); }},
        {"system_deinit", [] { return system_deinit(); }},
        {"system_get_property", [] { return system_get_property("k", value, "d"); }},
        {"system_set_static_network",
         [] { return system_set_static_network("10.0.0.2", "255.0.0.0", "10.0.0.1"); }},
        {"system_upgrade", [] { return system_upgrade("/x.zip"); }},
        {"av_init", [] { return av_init(&avInit); }},
        {"av_create", [] { return av_create(&handle, &avCreate); }},
        {"av_prepare", [] { return av_prepare(&prepare); }},
        {"av_destory", [] { return av_destory(1); }},
        {"av_deinit", [] { return av_deinit(); }},
        {"av_set_config", [] { return av_set_config(1, &setting); }},
        {"av_get_config", [] { return av_get_config(1, &setting); }},
        {"av_start", [] { return av_start(1); }},
        {"av_stop", [] { return av_stop(1); }},
        {"av_stop_audio", [] { return av_stop_audio(1); }},
        {"av_stop_video", [] { return av_stop_video(1); }},
        {"av_reset", [] { return av_reset(1, 1); }},
        {"av_get_sync", [] { return av_get_sync(1, &sync); }},
        {"av_set_sync", [] { return av_set_sync(1, &sync); }},
        {"av_set_inject_packet_num", [] { return av_set_inject_packet_num(3); }},
        {"av_set_event_config", [] { return av_set_event_config(1, &events); }},
        {"av_get_status_info", [] { return av_get_status_info(1, &status); }},
        {"av_get_current_pts", [] { return av_get_current_pts(1, AV_SYNC_PTS_CHAN_PCR, &pts); }},
        {"av_get_stream_info", [] { return av_get_stream_info(1, &streamInfo); }},
        {"av_get_buffer_stat", [] { return av_get_buffer_stat(1, &bufferStat, &flag, &flag); }},
        {"av_set_pause_time", [] { return av_set_pause_time(1, 500000); }},
        {"av_get_ts_buffer", [] { return av_get_ts_buffer(1, buffer, sizeof(buffer)); }},
        {"vout_init", [] { return vout_init(&voutInit); }},
        {"vout_open_channel", [] { return vout_open_channel(&handle, &voutOpen); }},
        {"vout_display_get", [] { return vout_display_get(2, &display); }},
        {"vout_display_set", [] { return vout_display_set(2, &display); }},
        {"vout_window_create", [] { return vout_window_create(2, &handle, 0); }},
        {"vout_window_attach_input", [] { return vout_window_attach_input(3, 0, 1); }},
        {"vout_window_detach_input", [] { return vout_window_detach_input(3, 0, 1); }},
        {"vout_window_open", [] { return vout_window_open(3); }},
        {"vout_window_close", [] { return vout_window_close(3); }},
        {"vout_window_destroy", [] { return vout_window_destroy(2, 3, 0); }},
        {"vout_close_channel", [] { return vout_close_channel(2, 0); }},
        {"vout_deinit", [] { return vout_deinit(); }},
        {"aout_init", [] { return aout_init(&aoutInit); }},
        {"aout_open", [] { return aout_open(&handle, &aoutOpen); }},
        {"aout_track_create", [] { return aout_track_create(4, &handle, 0); }},
        {"aout_track_attach_input", [] { return aout_track_attach_input(5, 0, 1); }},
        {"aout_track_detach_input", [] { return aout_track_detach_input(5, 0, 1); }},
        {"aout_track_destroy", [] { return aout_track_destroy(5); }},
        {"aout_close", [] { return aout_close(4, 0); }},
        {"aout_deinit", [] { return aout_deinit(0); }},
        {"aout_set_volume", [] { return aout_set_volume(4, AOUT_DEVICE_ALL, TRUE, 50); }},
        {"aout_set_mute", [] { return aout_set_mute(4, AOUT_DEVICE_RCA, TRUE); }},
        {"aout_set_digital_mode",
         [] { return aout_set_digital_mode(4, AOUT_DEVICE_HDMI, AOUT_DIGITAL_OUTPUT_MODE_RAW); }},
        {"aout_set_channel_mode",
         [] { return aout_set_channel_mode(4, AOUT_DEVICE_ALL, AOUT_CHANNEL_STER); }},
        {"cc_init", [] { return cc_init(&ccInit); }},
        {"cc_creat", [] { return cc_creat(&cc); }},
        {"cc_set_window", [] { return cc_set_window(0, 0, 1280, 720); }},
        {"cc_start", [] { return cc_start(); }},
        {"cc_getAttr", [] { return cc_getAttr(&ccAttr); }},
        {"cc_setAttr", [] { return cc_setAttr(&ccAttr); }},
        {"cc_stop", [] { return cc_stop(); }},
        {"cc_destroy", [] { return cc_destroy(); }},
        {"cc_deinit", [] { return cc_deinit(); }},
        {"cc_show_subtitle_enable", [] { return cc_show_subtitle_enable(TRUE); }},
        {"cc_send_VBI_enable", [] { return cc_send_VBI_enable(FALSE); }},
        {"subtitle_init", [] { return subtitle_init(); }},
        {"subtitle_create", [] { return subtitle_create(&subCreate, &handle); }},
        {"subtitle_set_params", [] { return subtitle_set_params(6, &subParam); }},
        {"subtitle_start_decoding", [] { return subtitle_start_decoding(6, 0x30); }},
        {"subtitle_show", [] { return subtitle_show(6); }},
        {"subtitle_hide", [] { return subtitle_hide(6); }},
        {"subtitle_stop_decoding", [] { return subtitle_stop_decoding(6); }},
        {"subtitle_destory", [] { return subtitle_destory(6); }},
        {"subtitle_deinit", [] { return subtitle_deinit(); }},
        {"second_audio_decoder_init", [] { return second_audio_decoder_init(); }},
        {"second_audio_decoder_service_init", [] { return second_audio_decoder_service_init(); }},
        {"second_audio_decoder_service",
         [] { return second_audio_decoder_service(&pcm, &length, &pcmPts); }},
        {"second_audio_decoder_check_avail", [] { return second_audio_decoder_check_avail(); }},
        {"second_audio_decoder_free", [] { return second_audio_decoder_free(); }},
        {"second_audio_decoder_set_audio_pid",
         [] { return second_audio_decoder_set_audio_pid(0x44); }},
        {"second_audio_decoder_set_audio_volume",
         [] { return second_audio_decoder_set_audio_volume(80); }},
        {"second_audio_decoder_set_audio_output_state",
         [] { return second_audio_decoder_set_audio_output_state(1); }},
        {"second_audio_decoder_set_video_type",
         [] { return second_audio_decoder_set_video_type(AV_VID_STREAM_TYPE_HEVC); }},
        {"second_audio_decoder_set_avail", [] { return second_audio_decoder_set_avail(1); }},
    };
}

// Every operation journals under its own name and answers the result programmed for that name:
// a call that journalled under another's name, or ignored its programming, shows here.
TEST(FakePlatformTest, EveryOperationJournalsUnderItsNameAndTakesItsProgrammedResult) {
    Platform fake;
    const std::vector<Operation> operations = AllOperations();
    for (const Operation& op : operations) {
        fake.SetResult(op.name, 0x5A);
    }
    for (const Operation& op : operations) {
        EXPECT_EQ(op.call(), 0x5A) << op.name;
        EXPECT_EQ(fake.Count(op.name), 1u) << op.name;
        EXPECT_EQ(fake.Last(op.name).result, 0x5A) << op.name;
    }
    EXPECT_EQ(fake.Journal().size(), operations.size());
    EXPECT_THROW(fake.SetResult("av_strat", 1), std::invalid_argument);
    EXPECT_THROW({ Platform second; }, std::logic_error);
}

TEST(FakePlatformTest, JournalKeepsArgumentsRecordsAndTextsInCallOrder) {
    Platform fake;
    AV_CREATE_S create = {{4}, AV_STREAM_TYPE_TS};
    HANDLE av = 0;
    ASSERT_EQ(av_create(&av, &create), 0u);
    EXPECT_EQ(av, 0x100u);
    ASSERT_EQ(aout_set_volume(0x400, AOUT_DEVICE_RCA, FALSE, -70), 0u);
    ASSERT_EQ(system_set_static_network("192.168.37.99", "255.255.255.0", "192.168.37.254"), 0u);
    ASSERT_EQ(av_reset(av, 1), 0u);

    std::vector<Call> journal = fake.Journal();
    ASSERT_EQ(fake.Functions(),
              (std::vector<std::string>{"av_create", "aout_set_volume", "system_set_static_network",
                                        "av_reset"}));
    EXPECT_EQ(journal[0].Record<AV_CREATE_S>().stSourceParams.enDemuxId, 4);
    EXPECT_EQ(journal[0].Record<AV_CREATE_S>().enStreamType, AV_STREAM_TYPE_TS);
    EXPECT_THROW(journal[0].Record<AV_SETTING_S>(), std::logic_error);
    EXPECT_EQ(journal[1].args, (std::vector<int64_t>{0x400, AOUT_DEVICE_RCA, FALSE, -70}));
    EXPECT_EQ(journal[2].texts,
              (std::vector<std::string>{"192.168.37.99", "255.255.255.0", "192.168.37.254"}));
    EXPECT_EQ(journal[3].args, (std::vector<int64_t>{0x100, 1}));
    for (std::size_t i = 0; i < journal.size(); ++i) {
        EXPECT_EQ(journal[i].seq, i + 1);
        EXPECT_EQ(journal[i].thread, std::this_thread::get_id());
    }
    // Device AOUT_DEVICE_ALL travels as the 32-bit pattern of -1.
    aout_set_mute(0x400, AOUT_DEVICE_ALL, TRUE);
    EXPECT_EQ(static_cast<uint32_t>(fake.Last("aout_set_mute").Arg(1)), 0xFFFFFFFFu);
}

TEST(FakePlatformTest, ProgrammedFailureOnTheNthCallOnly) {
    Platform fake;
    fake.SetResultOnCall("av_prepare", 3, 0x80001);
    AV_PREPARE_S prepare = {};
    std::vector<uint32_t> results;
    for (int i = 0; i < 4; ++i) {
        results.push_back(av_prepare(&prepare));
    }
    EXPECT_EQ(results, (std::vector<uint32_t>{0, 0, 0x80001, 0}));

    // Fail always except the second call; a programmed 0 lets the call do its work.
    AV_STATUS_S programmed = {};
    programmed.stVidStatus.u32DispPicCount = 77;
    fake.SetStatus(programmed);
    fake.SetResult("av_get_status_info", 0xBAD);
    fake.SetResultOnCall("av_get_status_info", 2, 0);
    AV_STATUS_S out = {};
    out.stVidStatus.u32DispPicCount = 1;
    EXPECT_EQ(av_get_status_info(1, &out), 0xBADu);
    EXPECT_EQ(out.stVidStatus.u32DispPicCount, 1u) << "a failed call wrote its out-record";
    EXPECT_EQ(av_get_status_info(1, &out), 0u);
    EXPECT_EQ(out.stVidStatus.u32DispPicCount, 77u);
    EXPECT_EQ(av_get_status_info(1, &out), 0xBADu);

    // A failing call consumes nothing queued; Reset forgets the programming.
    fake.SetResult("av_get_ts_buffer", -1);
    ASSERT_TRUE(fake.PushTsChunk(std::vector<uint8_t>(AV_TS_CHUNK_SIZE, 0x47)));
    uint8_t chunk[AV_TS_CHUNK_SIZE];
    EXPECT_EQ(av_get_ts_buffer(1, chunk, sizeof(chunk)), -1);
    EXPECT_EQ(fake.PendingTsChunks(), 1u);
    fake.Reset();
    EXPECT_EQ(av_get_status_info(1, &out), 0u);
    EXPECT_EQ(av_get_ts_buffer(1, chunk, sizeof(chunk)), 0) << "Reset kept the queued chunk";
    EXPECT_EQ(fake.Journal().front().seq, 1u);
}

TEST(FakePlatformTest, HandsOutWhatTheTestScriptedAndKeepsWhatTheDaemonSet) {
    Platform fake;
    fake.SetHandle("vout_window_create", 0xABC);
    HANDLE window = 0;
    vout_window_create(0x200, &window, 0);
    EXPECT_EQ(window, 0xABCu);
    EXPECT_THROW(fake.SetHandle("av_start", 1), std::invalid_argument);

    // A display get after a set reads back the set; so does the program configuration.
    VOUT_DISPSETTING_S display = {};
    display.enDispFmt = VOUT_FORMAT_HD_1080I;
    display.enFrameRate = VOUT_VID_FRAME_RATE_50;
    vout_display_set(0x200, &display);
    VOUT_DISPSETTING_S readBack = {};
    vout_display_get(0x200, &readBack);
    EXPECT_EQ(std::memcmp(&readBack, &display, sizeof(display)), 0);
    AV_SETTING_S config = {};
    std::memcpy(config.s8ServiceName, "BBC ONE HD", 10);
    av_set_config(1, &config);
    AV_SETTING_S configBack = {};
    av_get_config(1, &configBack);
    EXPECT_STREQ(configBack.s8ServiceName, "BBC ONE HD");

    fake.SetPts(AV_SYNC_PTS_CHAN_PCR, 0x1FFFFFFFFll);
    int64_t pts = 0;
    EXPECT_EQ(av_get_current_pts(1, AV_SYNC_PTS_CHAN_PCR, &pts), 0u);
    EXPECT_EQ(pts, 0x1FFFFFFFFll);
    EXPECT_EQ(av_get_current_pts(1, AV_SYNC_PTS_CHAN_VID, &pts), 0u);
    EXPECT_EQ(pts, 0);
    KestrelTest::ConsoleCapture console;
    EXPECT_EQ(av_get_current_pts(1, AV_SYNC_PTS_CHAN_BUTT, &pts), Platform::ERR_INVALID_ARGUMENT);
    EXPECT_EQ(console.Lines(),
              (std::vector<std::string>{"fake platform: av_get_current_pts: no PTS channel 3"}));

    // Transport stream: one chunk per call, cut to the caller's room.
    ASSERT_TRUE(fake.PushTsChunk(std::vector<uint8_t>(AV_TS_CHUNK_SIZE, 0x47)));
    ASSERT_TRUE(fake.PushTsChunk(std::vector<uint8_t>(500, 0x11)));
    uint8_t chunk[AV_TS_CHUNK_SIZE] = {};
    EXPECT_EQ(av_get_ts_buffer(1, chunk, 100), 100);
    EXPECT_EQ(chunk[99], 0x47);
    EXPECT_EQ(chunk[100], 0);
    EXPECT_EQ(av_get_ts_buffer(1, chunk, sizeof(chunk)), 500);
    EXPECT_EQ(chunk[499], 0x11);
    EXPECT_EQ(av_get_ts_buffer(1, chunk, sizeof(chunk)), 0);

    // Second audio: each queued block is one decode, then -1 while nothing decodes.
    std::vector<uint8_t> block(2500);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i);
    }
    ASSERT_TRUE(fake.PushPcm(block, 90000));
    EXPECT_FALSE(fake.PushPcm(std::vector<uint8_t>(SECOND_AUDIO_PCM_MAX_BYTES + 1), 0));
    std::vector<uint8_t> decodeBuffer(SECOND_AUDIO_PCM_MAX_BYTES);
    uint8_t* pcm = decodeBuffer.data();
    uint32_t length = 0;
    uint32_t pcmPts = 0;
    ASSERT_EQ(second_audio_decoder_service(&pcm, &length, &pcmPts), 0);
    EXPECT_EQ(length, 2500u);
    EXPECT_EQ(pcmPts, 90000u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), decodeBuffer.begin()));
    EXPECT_EQ(second_audio_decoder_service(&pcm, &length, &pcmPts), -1);

    // Properties: the value, or the caller's default, always terminated within the room.
    fake.SetProperty("sys.boot_completed", "1");
    fake.SetProperty("long", std::string(200, 'x'));
    char value[SYSTEM_PROPERTY_VALUE_MAX + 8];
    std::memset(value, '#', sizeof(value));
    system_get_property("sys.boot_completed", value, "0");
    EXPECT_STREQ(value, "1");
    system_get_property("vendor.unset", value, "0");
    EXPECT_STREQ(value, "0");
    system_get_property("long", value, "");
    EXPECT_EQ(std::strlen(value), SYSTEM_PROPERTY_VALUE_MAX - 1u);
    EXPECT_EQ(value[SYSTEM_PROPERTY_VALUE_MAX], '#');
}

// Two threads take turns; the journal must hold their calls in the order they took effect.
TEST(FakePlatformTest, JournalOrderFollowsTheCallsAcrossThreads) {
    Platform fake;
    std::mutex mutex;
    std::condition_variable turnChanged;
    int turn = 0;  // even: thread A calls, odd: thread B
    const int rounds = 50;
    auto player = [&](int parity, HANDLE handle) {
        for (int i = 0; i < rounds; ++i) {
            std::unique_lock<std::mutex> lock(mutex);
            turnChanged.wait(lock, [&] { return turn % 2 == parity; });
            av_start(handle);
            ++turn;
            turnChanged.notify_all();
        }
    };
    std::thread a(player, 0, 0xA);
    std::thread b(player, 1, 0xB);
    a.join();
    b.join();

    std::vector<Call> journal = fake.Journal();
    ASSERT_EQ(journal.size(), 2u * rounds);
    for (std::size_t i = 0; i < journal.size(); ++i) {
        EXPECT_EQ(journal[i].Arg(0), i % 2 == 0 ? 0xA : 0xB) << "call " << i;
        EXPECT_EQ(journal[i].seq, i + 1);
    }
    EXPECT_NE(journal[0].thread, journal[1].thread);

    // Free-running: every thread's own calls keep their order, and none is lost.
    fake.Reset();
    const int threads = 4;
    const int calls = 200;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < calls; ++i) {
                av_set_inject_packet_num(static_cast<uint32_t>(t * 1000 + i));
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    journal = fake.Journal();
    ASSERT_EQ(journal.size(), static_cast<std::size_t>(threads * calls));
    std::vector<int64_t> next(threads, 0);
    for (const Call& call : journal) {
        int64_t t = call.Arg(0) / 1000;
        EXPECT_EQ(call.Arg(0) % 1000, next[t]) << "thread " << t;
        ++next[t];
    }
}

// What the registered callback saw, shared with the C callback below.
struct Delivery {
    std::mutex mutex;
    std::vector<std::thread::id> threads;
    std::vector<AV_EVENT_E> events;
    std::vector<uint32_t> heights;
} g_Delivery;

int32_t RecordingCallback(HANDLE hAv, AV_EVENT_E event, const void* data) {
    const auto* frame = static_cast<const AV_VID_FRAMEINFO_S*>(data);
    {
        std::lock_guard<std::mutex> lock(g_Delivery.mutex);
        g_Delivery.threads.push_back(std::this_thread::get_id());
        g_Delivery.events.push_back(event);
        g_Delivery.heights.push_back(frame->u32Height);
    }
    // As the video decoder does on a height change: call the platform from the callback.
    vout_window_open(hAv + 1);
    return 0;
}

TEST(FakePlatformTest, CallbackRunsOnTheFakesOwnThread) {
    Platform fake;
    {
        std::lock_guard<std::mutex> lock(g_Delivery.mutex);
        g_Delivery.threads.clear();
        g_Delivery.events.clear();
        g_Delivery.heights.clear();
    }
    AV_VID_FRAMEINFO_S frame = {};
    frame.u32Height = 1080;
    KestrelTest::ConsoleCapture console;
    EXPECT_FALSE(fake.FireEvent(0x100, AV_VID_EVT_NEW_PICTURE_DECODED, frame))
        << "delivered without a registered callback";
    EXPECT_EQ(
        console.Lines(),
        (std::vector<std::string>{"fake platform: no event callback registered for handle 0x100"}));

    AV_EVENT_CONFIG_PARAMS_S config = {AM_EVT_DTV_SUBTITLE, RecordingCallback, TRUE, 0};
    ASSERT_EQ(av_set_event_config(0x100, &config), 0u);
    ASSERT_TRUE(fake.FireEvent(0x100, AV_VID_EVT_NEW_PICTURE_DECODED, frame));
    frame.u32Height = 576;
    fake.PostEvent(0x100, AV_VID_EVT_NEW_PICTURE_DECODED, frame);
    frame.u32Height = 2160;
    fake.PostEvent(0x100, AV_STATUS_REPORT, frame);
    fake.WaitForEvents();

    {
        std::lock_guard<std::mutex> lock(g_Delivery.mutex);
        EXPECT_EQ(g_Delivery.heights, (std::vector<uint32_t>{1080, 576, 2160}));
        EXPECT_EQ(g_Delivery.events,
                  (std::vector<AV_EVENT_E>{AV_VID_EVT_NEW_PICTURE_DECODED,
                                           AV_VID_EVT_NEW_PICTURE_DECODED, AV_STATUS_REPORT}));
        for (std::thread::id id : g_Delivery.threads) {
            EXPECT_EQ(id, fake.EventThreadId());
            EXPECT_NE(id, std::this_thread::get_id());
        }
    }
    std::vector<Call> opens = fake.Calls("vout_window_open");
    ASSERT_EQ(opens.size(), 3u);
    EXPECT_EQ(opens[0].Arg(0), 0x101);
    EXPECT_EQ(opens[0].thread, fake.EventThreadId());

    // Disabling the callback stops delivery.
    config.bEnableCallback = FALSE;
    av_set_event_config(0x100, &config);
    EXPECT_FALSE(fake.FireEvent(0x100, AV_VID_EVT_NEW_PICTURE_DECODED, frame));
    EXPECT_EQ(fake.Count("vout_window_open"), 3u);
}

}  // namespace
