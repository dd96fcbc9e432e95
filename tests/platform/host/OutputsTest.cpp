#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "LogCapture.h"
#include "TempDir.h"
#include "platform/host/HostOutputs.h"
#include "shared/system/RootPrefix.h"
#include "stb/stb_module.h"

using namespace Kestrel::Host;
using KestrelTest::LogCapture;
using KestrelTest::TempDir;

namespace {

// The outputs write their state file under a private root for each test.
class OutputsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_OldRoot = Kestrel::Sys::RootDirectory();
        ASSERT_TRUE(Kestrel::Sys::SetRootDirectory(m_Root.Path()));
    }
    void TearDown() override { Kestrel::Sys::SetRootDirectory(m_OldRoot); }

    // The state file as key -> value.
    std::map<std::string, std::string> State() const {
        std::map<std::string, std::string> kv;
        std::istringstream in(m_Root.ReadFile("host/outputs.state"));
        std::string line;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (!line.empty() && line[0] != '#' && eq != std::string::npos) {
                kv[line.substr(0, eq)] = line.substr(eq + 1);
            }
        }
        return kv;
    }
    std::string Value(const std::string& key) const {
        const auto kv = State();
        const auto it = kv.find(key);
        return it == kv.end() ? "<absent>" : it->second;
    }

    TempDir m_Root;
    std::string m_OldRoot;
};

constexpr HANDLE AV = 0x00A10001;

}  // namespace

TEST_F(OutputsTest, VideoOutputFollowsTheDisplaySettings) {
    VOUT_INIT_S init;
    std::memset(&init, 0, sizeof(init));
    init.bDispEnable = TRUE;
    init.astDispSettings[0].enDispFmt = VOUT_FORMAT_HD_720P;
    init.astDispSettings[0].enFrameRate = VOUT_VID_FRAME_RATE_50;
    init.astDispSettings[0].u8Hue = 50;
    init.astDispSettings[0].stOSDVirtualRect = {0, 0, 1280, 720};
    ASSERT_EQ(0u, vout_init(&init));
    EXPECT_EQ("1", Value("vout.initialized"));

    HANDLE out = 0, window = 0;
    const VOUT_OPEN_S open = {VOUT_DISPLAY_HD0, VOUT_OUTPUT_TYPE_HDMI, AV};
    ASSERT_EQ(0u, vout_open_channel(&out, &open));
    ASSERT_NE(0u, out);
    ASSERT_EQ(0u, vout_window_create(out, &window, 0));
    ASSERT_NE(0u, window);
    ASSERT_NE(out, window);
    ASSERT_EQ(0u, vout_window_attach_input(window, 0, AV));
    ASSERT_EQ(0u, vout_window_open(window));
    EXPECT_EQ("HD_720P", Value("vout.HD0.format"));
    EXPECT_EQ("8", Value("vout.HD0.output_type"));
    const std::string w = "vout.window." + std::to_string(window & 0xFFFFFF) + ".";
    EXPECT_EQ("0xa10001", Value(w + "input"));
    EXPECT_EQ("1", Value(w + "open"));
    EXPECT_EQ("HD0", Value(w + "channel"));

    // Get, change two fields, set: only those two change.
    VOUT_DISPSETTING_S settings;
    ASSERT_EQ(0u, vout_display_get(out, &settings));
    settings.enDispFmt = VOUT_FORMAT_HD_1080I;
    settings.enFrameRate = VOUT_VID_FRAME_RATE_59_94;
    ASSERT_EQ(0u, vout_display_set(out, &settings));
    EXPECT_EQ("HD_1080I", Value("vout.HD0.format"));
    EXPECT_EQ("59_94", Value("vout.HD0.frame_rate"));
    EXPECT_EQ("50", Value("vout.HD0.hue"));
    EXPECT_EQ("0,0,1280,720", Value("vout.HD0.osd_rect"));
    VOUT_DISPSETTING_S back;
    ASSERT_EQ(0u, vout_display_get(out, &back));
    EXPECT_EQ(0, std::memcmp(&settings, &back, sizeof(back)));

    // Refused: a frame rate that is two bits, a format past the end, an unknown handle. The
    // state stays as it was.
    {
        LogCapture log;
        VOUT_DISPSETTING_S bad = settings;
        bad.enFrameRate =
            static_cast<VOUT_VID_FRAME_RATE_E>(VOUT_VID_FRAME_RATE_25 | VOUT_VID_FRAME_RATE_50);
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT, vout_display_set(out, &bad));
        bad = settings;
        bad.enDispFmt = VOUT_FORMAT_BUTT;
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT, vout_display_set(out, &bad));
        EXPECT_EQ(OUTPUT_ERR_HANDLE, vout_display_set(window, &settings));
        EXPECT_EQ(OUTPUT_ERR_NULL, vout_display_get(out, nullptr));
        EXPECT_EQ("HD_1080I", Value("vout.HD0.format"));
        EXPECT_EQ("59_94", Value("vout.HD0.frame_rate"));
        EXPECT_TRUE(log.Contains("WARN host.outputs: vout_display_set refused: 0x80420004"));
    }

    // Tear-down in the device layer's order.
    EXPECT_EQ(OUTPUT_ERR_STATE, vout_window_detach_input(window, 0, AV + 1));
    EXPECT_EQ(0u, vout_window_close(window));
    EXPECT_EQ("0", Value(w + "open"));
    EXPECT_EQ(0u, vout_window_detach_input(window, 0, AV));
    EXPECT_EQ("0", Value(w + "input"));
    EXPECT_EQ(0u, vout_window_destroy(out, window, 0));
    EXPECT_EQ("<absent>", Value(w + "open"));
    EXPECT_EQ(0u, vout_close_channel(out, 0));
    EXPECT_EQ("<absent>", Value("vout.HD0.format"));
    EXPECT_EQ(0u, vout_deinit());
    EXPECT_EQ("0", Value("vout.initialized"));
    EXPECT_EQ(OUTPUT_ERR_NOT_INIT, vout_open_channel(&out, &open));
}

TEST_F(OutputsTest, AudioOutputKeepsPerDeviceSettings) {
    const AOUT_INIT_S init = {0};
    ASSERT_EQ(0u, aout_init(&init));
    HANDLE out = 0, track = 0;
    const AOUT_OPEN_S open = {AOUT_ID_0, {AOUT_DEVICE_RCA_HDMI, AV}};
    ASSERT_EQ(0u, aout_open(&out, &open));
    ASSERT_EQ(0u, aout_track_create(out, &track, 0));
    ASSERT_EQ(0u, aout_track_attach_input(track, 0, AV));
    EXPECT_EQ("5", Value("aout.ID_0.device"));
    EXPECT_EQ("0xa10001", Value("aout.track." + std::to_string(track & 0xFFFFFF) + ".input"));

    const char* const devices[] = {"RCA", "SPDIF", "HDMI", "SPEAKER", "ARC"};
    // Device -1 addresses every output.
    ASSERT_EQ(0u, aout_set_volume(out, AOUT_DEVICE_ALL, TRUE, 80));
    for (const char* d : devices) {
        EXPECT_EQ("80%", Value(std::string("aout.ID_0.") + d + ".volume")) << d;
    }
    // A combined device addresses its parts only.
    ASSERT_EQ(0u, aout_set_volume(out, AOUT_DEVICE_RCA_SPDIF, FALSE, -20));
    ASSERT_EQ(0u, aout_set_mute(out, AOUT_DEVICE_RCA, TRUE));
    ASSERT_EQ(0u, aout_set_digital_mode(out, AOUT_DEVICE_HDMI, AOUT_DIGITAL_OUTPUT_MODE_RAW));
    ASSERT_EQ(0u, aout_set_channel_mode(out, AOUT_DEVICE_ALL, AOUT_CHANNEL_LEFT));
    const std::map<std::string, std::string> expected = {
        {"aout.ID_0.RCA.volume", "-20dB"},
        {"aout.ID_0.SPDIF.volume", "-20dB"},
        {"aout.ID_0.HDMI.volume", "80%"},
        {"aout.ID_0.ARC.volume", "80%"},
        {"aout.ID_0.RCA.mute", "1"},
        {"aout.ID_0.SPDIF.mute", "0"},
        {"aout.ID_0.HDMI.mute", "0"},
        {"aout.ID_0.HDMI.digital_mode", "RAW"},
        {"aout.ID_0.SPDIF.digital_mode", "PCM"},
        {"aout.ID_0.RCA.channel_mode", "LEFT"},
        {"aout.ID_0.SPEAKER.channel_mode", "LEFT"},
    };
    const auto state = State();
    for (const auto& e : expected) {
        EXPECT_EQ(e.second, state.at(e.first)) << e.first;
    }

    // Out-of-range values and devices are refused with a log line and change nothing.
    {
        LogCapture log;
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT, aout_set_volume(out, AOUT_DEVICE_HDMI, TRUE, 101));
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT, aout_set_volume(out, AOUT_DEVICE_HDMI, FALSE, 5));
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT, aout_set_mute(out, AOUT_DEVICE_NONE, TRUE));
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT,
                  aout_set_mute(out, static_cast<AOUT_DEVICE_TYPE_E>(-2), TRUE));
        EXPECT_EQ(OUTPUT_ERR_ARGUMENT,
                  aout_set_channel_mode(out, AOUT_DEVICE_RCA, AOUT_CHANNEL_BUTT));
        EXPECT_EQ(OUTPUT_ERR_HANDLE, aout_set_mute(track, AOUT_DEVICE_RCA, TRUE));
        EXPECT_EQ(State(), state);
        EXPECT_TRUE(log.Contains("aout_set_volume: 101 % out of range"));
    }

    EXPECT_EQ(0u, aout_track_detach_input(track, 0, AV));
    EXPECT_EQ(0u, aout_track_destroy(track));
    EXPECT_EQ(OUTPUT_ERR_HANDLE, aout_track_destroy(track));
    EXPECT_EQ(0u, aout_close(out, 0));
    EXPECT_EQ("<absent>", Value("aout.ID_0.RCA.volume"));
    EXPECT_EQ(0u, aout_deinit(0));
    EXPECT_EQ("0", Value("aout.initialized"));
}

TEST_F(OutputsTest, CaptionAndSubtitleRenderers) {
    // The caption renderer's bring-up, as the device layer runs it.
    const CAPTION_INIT_S init = {CAPTION_TYPE_CC};
    ASSERT_EQ(0u, cc_init(&init));
    const CAPTION_CC_S cc708 = {CAPTION_CC_DATA_708, nullptr};
    ASSERT_EQ(0u, cc_creat(&cc708));
    ASSERT_EQ(0u, cc_set_window(0, 0, 1280, 720));
    ASSERT_EQ(0u, cc_start());
    CAPTION_CC_ATTR_S attr;
    ASSERT_EQ(0u, cc_getAttr(&attr));
    EXPECT_EQ(CAPTION_CC_DATA_708, attr.enCCDataType);
    attr.unCCConfig.stCC708.enCC708ServiceNum = CAPTION_CC_708_SERVICE1;
    attr.unCCConfig.stCC708.enCC708DispFormat = CAPTION_CC_DF_1280X720;
    ASSERT_EQ(0u, cc_setAttr(&attr));
    ASSERT_EQ(0u, cc_show_subtitle_enable(TRUE));
    EXPECT_EQ("CC", Value("cc.type"));
    EXPECT_EQ("708", Value("cc.data"));
    EXPECT_EQ("0,0,1280,720", Value("cc.window"));
    EXPECT_EQ("1", Value("cc.started"));
    EXPECT_EQ("1", Value("cc.708.service"));
    EXPECT_EQ("1280X720", Value("cc.708.display_format"));
    EXPECT_EQ("1", Value("cc.overlay"));
    EXPECT_EQ("0", Value("cc.vbi"));

    // A change to 608 channel 3, and an attribute the renderer cannot take.
    ASSERT_EQ(0u, cc_stop());
    ASSERT_EQ(0u, cc_destroy());
    EXPECT_EQ(OUTPUT_ERR_STATE, cc_start());
    const CAPTION_CC_S cc608 = {CAPTION_CC_DATA_608, nullptr};
    ASSERT_EQ(0u, cc_creat(&cc608));
    ASSERT_EQ(0u, cc_start());
    ASSERT_EQ(0u, cc_getAttr(&attr));
    attr.unCCConfig.stCC608.enCC608DataType = CAPTION_CC_608_DATATYPE_CC3;
    attr.unCCConfig.stCC608.enCC608DispFormat = CAPTION_CC_DF_1280X720;
    ASSERT_EQ(0u, cc_setAttr(&attr));
    EXPECT_EQ("CC3", Value("cc.608.channel"));
    EXPECT_EQ("<absent>", Value("cc.708.service"));
    attr.unCCConfig.stCC608.enCC608DataType = CAPTION_CC_608_DATATYPE_BUTT;
    EXPECT_EQ(OUTPUT_ERR_ARGUMENT, cc_setAttr(&attr));
    EXPECT_EQ("CC3", Value("cc.608.channel"));
    ASSERT_EQ(0u, cc_send_VBI_enable(TRUE));
    EXPECT_EQ("1", Value("cc.vbi"));
    // The device layer de-initialises before stopping and destroying; all three succeed.
    EXPECT_EQ(0u, cc_deinit());
    EXPECT_EQ(0u, cc_stop());
    EXPECT_EQ(0u, cc_destroy());
    EXPECT_EQ("0", Value("cc.initialized"));
    EXPECT_EQ("0", Value("cc.created"));

    // DVB subtitles of the AV player's stream.
    ASSERT_EQ(0u, subtitle_init());
    const SUBTITLE_CREATE_PARAM_S create = {AV, nullptr};
    HANDLE sub = 0;
    ASSERT_EQ(0u, subtitle_create(&create, &sub));
    SUBTITLE_PARAM_S params;
    std::memset(&params, 0, sizeof(params));
    params.enSubtileType = SUBTITLE_TYPE_DVB;
    params.stSubtParam = {0x55, 2, 3};
    params.stCCParam.enCCServiceCh = SUBTITLE_CC_NONE;
    ASSERT_EQ(0u, subtitle_set_params(sub, &params));
    ASSERT_EQ(0u, subtitle_start_decoding(sub, 0x55));
    ASSERT_EQ(0u, subtitle_show(sub));
    const std::string k = "subtitle." + std::to_string(sub & 0xFFFFFF) + ".";
    EXPECT_EQ("0xa10001", Value(k + "source"));
    EXPECT_EQ("DVB", Value(k + "type"));
    EXPECT_EQ("85", Value(k + "pid"));
    EXPECT_EQ("2", Value(k + "page"));
    EXPECT_EQ("3", Value(k + "ancillary"));
    EXPECT_EQ("-1", Value(k + "cc_service"));
    EXPECT_EQ("1", Value(k + "decoding"));
    EXPECT_EQ("1", Value(k + "visible"));
    EXPECT_EQ(OUTPUT_ERR_ARGUMENT, subtitle_start_decoding(sub, 0x2000));
    ASSERT_EQ(0u, subtitle_hide(sub));
    ASSERT_EQ(0u, subtitle_stop_decoding(sub));
    EXPECT_EQ("0", Value(k + "visible"));
    EXPECT_EQ("0", Value(k + "decoding"));
    ASSERT_EQ(0u, subtitle_destory(sub));
    EXPECT_EQ(OUTPUT_ERR_HANDLE, subtitle_show(sub));
    ASSERT_EQ(0u, subtitle_deinit());
    EXPECT_EQ("0", Value("subtitle.initialized"));
    EXPECT_EQ(OUTPUT_ERR_NOT_INIT, subtitle_create(&create, &sub));
}
