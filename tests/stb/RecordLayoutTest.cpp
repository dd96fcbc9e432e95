// The platform records as the board's library lays them out. The header's static assertions
// already refuse a wrong layout at compile time; these tests show the numbers on the machine
// that runs them (under qemu-arm for the board), and decode byte images written by hand from
// the board's offsets, little-endian, as its library would fill them.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "stb/stb_module.h"

namespace {

struct SizeRow {
    const char* name;
    std::size_t actual;
    std::size_t board;
    bool boardOnly;  // holds pointers or size_t, so only the board has these numbers
};

#define ROW(T, n) \
    { #T, sizeof(T), n, false }
#define BOARD_ROW(T, n) \
    { #T, sizeof(T), n, true }

TEST(RecordLayoutTest, RecordSizesAreTheBoards) {
    const SizeRow rows[] = {
        ROW(AV_CREATE_S, 8),
        ROW(AV_SOURCE_PARAMS_S, 4),
        ROW(AV_INIT_S, 4),
        ROW(AV_PREPARE_S, 258),
        BOARD_ROW(AV_EVENT_CONFIG_PARAMS_S, 16),
        ROW(AV_SETTING_S, 68),
        ROW(AV_SYNC_ATTR_S, 44),
        ROW(AV_SYNC_REGION_S, 12),
        BOARD_ROW(AV_STATUS_S, 264),
        ROW(AV_AUD_STATUS_S, 80),
        ROW(AV_VID_STATUS_S, 120),
        ROW(AV_VID_FRAMEINFO_S, 400),
        ROW(AV_VID_FRAMEADDR_S, 24),
        ROW(AV_STREAM_INFO_S, 2616),
        ROW(VIDEO_STREAM_INFO_S, 64),
        ROW(AUDIO_STREAM_INFO_S, 32),
        ROW(PROGRAM_INFO_S, 66),
        ROW(AVRATIONAL_S, 8),
        ROW(AV_BUFFER_STAT_S, 36),
        ROW(BUFFER_ITEM_S, 12),
        ROW(VOUT_INIT_S, 464),
        ROW(VOUT_OPEN_S, 12),
        ROW(VOUT_DISPSETTING_S, 76),
        ROW(VOUT_RECT_S, 16),
        ROW(VOUT_REGION_S, 16),
        ROW(AOUT_INIT_S, 4),
        ROW(AOUT_OPEN_S, 12),
        ROW(AOUT_SETTINGS_S, 8),
        ROW(CAPTION_INIT_S, 4),
        BOARD_ROW(CAPTION_CC_S, 8),
        ROW(CAPTION_CC_ATTR_S, 56),
        ROW(CAPTION_CC608_ATTR_S, 32),
        ROW(CAPTION_CC708_ATTR_S, 52),
        ROW(CAPTION_ARIBCC_ATTR_S, 4),
        BOARD_ROW(SUBTITLE_CREATE_PARAM_S, 8),
        ROW(SUBTITLE_PARAM_S, 24),
        ROW(SUBTITLE_SUBT_PARAM_S, 8),
        ROW(SUBTITLE_CC_PARAM_S, 12),
    };
    for (const SizeRow& row : rows) {
        if (STB_BOARD_ABI || (STB_FIXED_LAYOUT_ABI && !row.boardOnly)) {
            EXPECT_EQ(row.actual, row.board) << row.name;
        }
    }
}

#undef ROW
#undef BOARD_ROW

// A record image as the board's library writes it: bytes at the board's offsets,
// little-endian.
template <typename T, std::size_t Size = sizeof(T)>
class BoardImage {
public:
    BoardImage() { std::memset(m_Bytes, 0, sizeof(m_Bytes)); }
    void Put16(std::size_t offset, uint16_t value) { PutLe(offset, value, 2); }
    void Put32(std::size_t offset, uint32_t value) { PutLe(offset, value, 4); }
    void Put64(std::size_t offset, uint64_t value) { PutLe(offset, value, 8); }
    void PutText(std::size_t offset, const char* text) {
        std::memcpy(m_Bytes + offset, text, std::strlen(text));
    }
    T Decode() const {
        static_assert(sizeof(T) == Size, "image of another size than the record");
        T record;
        std::memcpy(&record, m_Bytes, sizeof(T));
        return record;
    }

private:
    void PutLe(std::size_t offset, uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            m_Bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    unsigned char m_Bytes[Size];
};

TEST(RecordLayoutTest, ProgramSettingsDecodeFromBoardBytes) {
    BoardImage<AV_SETTING_S, 68> image;
    image.Put32(0, AV_SYNC_MODE_PCR);
    image.Put32(8, AV_VID_STREAM_TYPE_HEVC);
    image.Put32(12, AV_AUD_STREAM_TYPE_DRA);
    image.Put16(24, 0x0101);
    image.Put16(26, 0x0102);
    image.Put16(30, 0x1FFE);
    image.Put16(32, 0xBEEF);
    image.PutText(34, "Channel 5 News");
    image.PutText(64, "!!");  // the last two bytes of the 32-byte name (34 + 30)

    AV_SETTING_S settings = image.Decode();
    EXPECT_EQ(settings.enAvSyncMode, AV_SYNC_MODE_PCR);
    EXPECT_EQ(settings.enVidStreamType, AV_VID_STREAM_TYPE_HEVC);
    EXPECT_EQ(settings.enAudStreamType, AV_AUD_STREAM_TYPE_DRA);
    EXPECT_EQ(settings.u16PcrPid, 0x0101);
    EXPECT_EQ(settings.u16AudPid, 0x0102);
    EXPECT_EQ(settings.u16VidPid, 0x1FFE);
    EXPECT_EQ(settings.u16ServiceID, 0xBEEF);
    EXPECT_EQ(std::string(settings.s8ServiceName, 14), "Channel 5 News");
    EXPECT_EQ(settings.s8ServiceName[30], '!');
    EXPECT_EQ(settings.s8ServiceName[31], '!');
}

TEST(RecordLayoutTest, DecoderStatusDecodesFromBoardBytes) {
    BoardImage<AV_VID_STATUS_S, 120> video;
    video.Put32(0, 4711);
    video.Put32(8, AV_VID_STREAM_TYPE_H264);
    video.Put64(48, 0x00000001ABCDEF01ull);
    video.Put32(72, 1920);
    video.Put32(76, 1080);
    video.Put16(92, 0x0100);
    video.Put32(112, AV_VID_COLOR_SPACE_REC709);
    AV_VID_STATUS_S vid = video.Decode();
    EXPECT_EQ(vid.u32DispPicCount, 4711u);
    EXPECT_EQ(vid.enStreamType, AV_VID_STREAM_TYPE_H264);
    EXPECT_EQ(vid.s64Pts, 0x00000001ABCDEF01ll);
    EXPECT_EQ(vid.u32SourceWidth, 1920u);
    EXPECT_EQ(vid.u32SouceHeight, 1080u);
    EXPECT_EQ(vid.u16Pid, 0x0100);
    EXPECT_EQ(vid.enSrcColorSpace, AV_VID_COLOR_SPACE_REC709);

    BoardImage<AV_AUD_STATUS_S, 80> audio;
    audio.Put32(4, 99);
    audio.Put32(12, AV_AUD_STREAM_TYPE_EAC3);
    audio.Put32(20, 24);
    audio.Put64(40, 0x0000000087654321ull);
    audio.Put16(60, 0x0102);
    AV_AUD_STATUS_S aud = audio.Decode();
    EXPECT_EQ(aud.u32FrameCount, 99u);
    EXPECT_EQ(aud.enStreamType, AV_AUD_STREAM_TYPE_EAC3);
    EXPECT_EQ(aud.u32BitWidth, 24u);
    EXPECT_EQ(aud.s64Pts, 0x0000000087654321ll);
    EXPECT_EQ(aud.u16Pid, 0x0102);
}

#if STB_BOARD_ABI
// The whole status record, with its size_t fields, exists only on the board.
TEST(RecordLayoutTest, PlayerStatusDecodesFromBoardBytes) {
    BoardImage<AV_STATUS_S, 264> image;
    image.Put32(4, 1);                          // bVidStart
    image.Put32(32 + 16, 48000);                // audio u32SampleRate
    image.Put16(32 + 60, 0x0102);               // audio u16Pid
    image.Put64(112 + 48, 0x0000000123456789);  // video s64Pts
    image.Put16(112 + 92, 0x0100);              // video u16Pid
    image.Put32(244 + 8, 0xCAFE);               // ahInjecter[2]
    image.Put16(256, 0x01FF);
    AV_STATUS_S status = image.Decode();
    EXPECT_EQ(status.bVidStart, 1);
    EXPECT_EQ(status.stAudStatus.u32SampleRate, 48000u);
    EXPECT_EQ(status.stAudStatus.u16Pid, 0x0102);
    EXPECT_EQ(status.stVidStatus.s64Pts, 0x0000000123456789ll);
    EXPECT_EQ(status.stVidStatus.u16Pid, 0x0100);
    EXPECT_EQ(status.ahInjecter[2], 0xCAFEu);
    EXPECT_EQ(status.u16PcrPid, 0x01FF);
}
#endif

TEST(RecordLayoutTest, ArraysOfRecordsDecodeFromBoardBytes) {
    BoardImage<AV_STREAM_INFO_S, 2616> info;
    info.Put32(0, 2);
    info.Put32(8 + 64 + 0, 0x0200);         // stVideoStreamInfo[1].u32Pid
    info.Put32(8 + 64 + 24, 30000);         // .stAvgFrameRate.s32Num
    info.Put32(8 + 64 + 28, 1001);          // .stAvgFrameRate.s32Den
    info.Put64(8 + 64 + 56, 25000000);      // .s64BitRate
    info.Put32(1032, 1);                    // u32AudioNum
    info.Put32(1040 + 16, 44100);           // stAudioStreamInfo[0].u32SampleRate
    info.Put32(1552, 2);                    // u32ProgramNum
    info.Put16(1556 + 66, 0x0042);          // stProgramInfo[1].u16ServiceID
    info.PutText(1556 + 66 + 2, "Sports");  // .s8ServiceName
    info.PutText(1556 + 66 + 34, "Telco");  // .s8serviceProvider
    AV_STREAM_INFO_S decoded = info.Decode();
    EXPECT_EQ(decoded.u32VideoNum, 2u);
    EXPECT_EQ(decoded.stVideoStreamInfo[1].u32Pid, 0x0200u);
    EXPECT_EQ(decoded.stVideoStreamInfo[1].stAvgFrameRate.s32Num, 30000);
    EXPECT_EQ(decoded.stVideoStreamInfo[1].stAvgFrameRate.s32Den, 1001);
    EXPECT_EQ(decoded.stVideoStreamInfo[1].s64BitRate, 25000000);
    EXPECT_EQ(decoded.u32AudioNum, 1u);
    EXPECT_EQ(decoded.stAudioStreamInfo[0].u32SampleRate, 44100u);
    EXPECT_EQ(decoded.u32ProgramNum, 2u);
    EXPECT_EQ(decoded.stProgramInfo[1].u16ServiceID, 0x0042);
    EXPECT_STREQ(decoded.stProgramInfo[1].s8ServiceName, "Sports");
    EXPECT_STREQ(decoded.stProgramInfo[1].s8serviceProvider, "Telco");

    BoardImage<VOUT_INIT_S, 464> init;
    init.Put32(4 + 5 * 76 + 0, VOUT_FORMAT_HD_1080I);  // astDispSettings[5].enDispFmt
    init.Put32(4 + 5 * 76 + 4, VOUT_VID_FRAME_RATE_50);
    init.Put32(4 + 5 * 76 + 44, 720);  // .stOSDVirtualRect.s32YOffset
    init.Put32(4 + 5 * 76 + 72, 1);    // .bClearLogo
    init.Put32(460, 0x1234);
    VOUT_INIT_S vout = init.Decode();
    EXPECT_EQ(vout.astDispSettings[5].enDispFmt, VOUT_FORMAT_HD_1080I);
    EXPECT_EQ(vout.astDispSettings[5].enFrameRate, VOUT_VID_FRAME_RATE_50);
    EXPECT_EQ(vout.astDispSettings[5].stOSDVirtualRect.s32YOffset, 720);
    EXPECT_EQ(vout.astDispSettings[5].bClearLogo, 1);
    EXPECT_EQ(vout.u32Dummy, 0x1234u);

    BoardImage<AV_VID_FRAMEINFO_S, 400> frame;
    frame.Put32(4, AV_VID_FORMAT_YUV_SEMIPLANAR_444);
    frame.Put32(8 + 24 + 12, 4096);  // stVideoFrameAddr[1].u32YStride
    frame.Put32(60, 2160);
    frame.Put32(80, 16);
    frame.Put32(84, 9);
    frame.Put32(144 + 63 * 4, 0x55AA);  // last u32Private word
    AV_VID_FRAMEINFO_S picture = frame.Decode();
    EXPECT_EQ(picture.enVideoFormat, AV_VID_FORMAT_YUV_SEMIPLANAR_444);
    EXPECT_EQ(picture.stVideoFrameAddr[1].u32YStride, 4096u);
    EXPECT_EQ(picture.u32Height, 2160u);
    EXPECT_EQ(picture.u32AspectWidth, 16u);
    EXPECT_EQ(picture.u32AspectHeight, 9u);
    EXPECT_EQ(picture.u32Private[63], 0x55AAu);

    BoardImage<CAPTION_CC_ATTR_S, 56> attr;
    attr.Put32(0, CAPTION_CC_DATA_708);
    attr.Put32(4, CAPTION_CC_708_SERVICE3);
    attr.Put32(4 + 48, CAPTION_CC_DF_1280X720);
    CAPTION_CC_ATTR_S cc = attr.Decode();
    EXPECT_EQ(cc.unCCConfig.stCC708.enCC708ServiceNum, CAPTION_CC_708_SERVICE3);
    EXPECT_EQ(cc.unCCConfig.stCC708.enCC708DispFormat, CAPTION_CC_DF_1280X720);
    EXPECT_EQ(static_cast<uint32_t>(cc.unCCConfig.stCC608.enCC608DataType), 3u);
}

struct Flag {
    const char* name;
    uint32_t actual;
    uint32_t board;
};

template <typename E>
Flag MakeFlag(const char* name, E value, uint32_t board) {
    return Flag{name, static_cast<uint32_t>(value), board};
}

// Bit-valued enumerations are flags, not counters; "all" sets every bit.
TEST(RecordLayoutTest, BitValuedEnumerationsAreFlags) {
#define FLAG(E, v) MakeFlag(#E, E, v)
    // clang-format off
    const Flag flags[] = {
        FLAG(VOUT_VID_FRAME_RATE_UNKNOWN, 0), FLAG(VOUT_VID_FRAME_RATE_AUTO, 1),
        FLAG(VOUT_VID_FRAME_RATE_23_976, 2), FLAG(VOUT_VID_FRAME_RATE_24, 4),
        FLAG(VOUT_VID_FRAME_RATE_25, 8), FLAG(VOUT_VID_FRAME_RATE_29_97, 16),
        FLAG(VOUT_VID_FRAME_RATE_30, 32), FLAG(VOUT_VID_FRAME_RATE_50, 64),
        FLAG(VOUT_VID_FRAME_RATE_59_94, 128), FLAG(VOUT_VID_FRAME_RATE_60, 256),
        FLAG(VOUT_DISPLAY_HD0, 1), FLAG(VOUT_DISPLAY_HD1, 2), FLAG(VOUT_DISPLAY_HD2, 4),
        FLAG(VOUT_DISPLAY_SD0, 8), FLAG(VOUT_DISPLAY_SD1, 16), FLAG(VOUT_DISPLAY_SD2, 32),
        FLAG(VOUT_OUTPUT_TYPE_NONE, 0), FLAG(VOUT_OUTPUT_TYPE_COMPOSITE, 1),
        FLAG(VOUT_OUTPUT_TYPE_YPBPR, 2), FLAG(VOUT_OUTPUT_TYPE_SVIDEO, 4),
        FLAG(VOUT_OUTPUT_TYPE_DVI, 8), FLAG(VOUT_OUTPUT_TYPE_HDMI, 8),
        FLAG(VOUT_OUTPUT_TYPE_SCART, 16), FLAG(VOUT_OUTPUT_TYPE_VGA, 32),
        FLAG(VOUT_OUTPUT_TYPE_RF, 64), FLAG(VOUT_OUTPUT_TYPE_YCBCR, 128),
        FLAG(VOUT_OUTPUT_TYPE_HD_YUV, 256), FLAG(VOUT_OUTPUT_TYPE_HDMI_RGB888, 512),
        FLAG(VOUT_OUTPUT_TYPE_HDMI_YCBCR444, 1024), FLAG(VOUT_OUTPUT_TYPE_HDMI_YCBCR422, 2048),
        FLAG(VOUT_OUTPUT_TYPE_RGB, 4096), FLAG(VOUT_OUTPUT_TYPE_HD_RGB, 8192),
        FLAG(VOUT_OUTPUT_TYPE_PANNEL, 16384), FLAG(VOUT_OUTPUT_TYPE_ALL, 0xFFFFFFFFu),
        FLAG(AOUT_ID_0, 1), FLAG(AOUT_ID_1, 2), FLAG(AOUT_ID_2, 4), FLAG(AOUT_ID_3, 8),
        FLAG(AOUT_DEVICE_NONE, 0), FLAG(AOUT_DEVICE_RCA, 1), FLAG(AOUT_DEVICE_SPDIF, 2),
        FLAG(AOUT_DEVICE_RCA_SPDIF, 3), FLAG(AOUT_DEVICE_HDMI, 4), FLAG(AOUT_DEVICE_RCA_HDMI, 5),
        FLAG(AOUT_DEVICE_SPDIF_HDMI, 6), FLAG(AOUT_DEVICE_SPEAKER, 8), FLAG(AOUT_DEVICE_ARC, 16),
        FLAG(AOUT_DEVICE_ALL, 0xFFFFFFFFu),
    };
    // clang-format on
#undef FLAG
    for (const Flag& flag : flags) {
        EXPECT_EQ(flag.actual, flag.board) << flag.name;
    }
}

}  // namespace
