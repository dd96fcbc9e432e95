#ifndef KESTREL_STB_LAYOUT_H
#define KESTREL_STB_LAYOUT_H

/*
 * Compile-time checks that the records of the platform interface have the board's layout.
 *
 * Building for the board (32-bit ARM) every record size and field offset is checked. On
 * 64-bit hosts (x86-64, AArch64: 4-byte enumerations, 8-byte aligned long long) the records
 * without pointers or size_t have that same layout and are checked the same way; the others
 * (AV_EVENT_CONFIG_PARAMS_S, AV_STATUS_S, CAPTION_CC_S, SUBTITLE_CREATE_PARAM_S) necessarily
 * differ, and are checked field by field: every field follows the previous one in order, with
 * no more padding than alignment needs.
 */

#include <stddef.h>

#include "stb/stb_aout.h"
#include "stb/stb_av.h"
#include "stb/stb_caption.h"
#include "stb/stb_subtitle.h"
#include "stb/stb_types.h"
#include "stb/stb_vout.h"

#ifdef __cplusplus
#define STB_STATIC_ASSERT(cond, what) static_assert(cond, what)
#else
#define STB_STATIC_ASSERT(cond, what) _Static_assert(cond, what)
#endif

#if defined(__arm__) && !defined(__aarch64__)
#define STB_BOARD_ABI 1
#else
#define STB_BOARD_ABI 0
#endif

#if STB_BOARD_ABI || defined(__x86_64__) || defined(__aarch64__)
#define STB_FIXED_LAYOUT_ABI 1
#else
#define STB_FIXED_LAYOUT_ABI 0
#endif

#define STB_MEMBER_SIZE(T, f) sizeof(((T*)0)->f)
#define STB_MEMBER_END(T, f) (offsetof(T, f) + STB_MEMBER_SIZE(T, f))
/* Largest alignment any field of these records needs. */
#define STB_MAX_ALIGN 8

/* Records without pointers or size_t. */
#if STB_FIXED_LAYOUT_ABI
#define STB_SIZE(T, n) STB_STATIC_ASSERT(sizeof(T) == (n), #T " must be " #n " bytes")
#define STB_AT(T, f, off) \
    STB_STATIC_ASSERT(offsetof(T, f) == (off), #T "." #f " must be at offset " #off)
#else
#define STB_SIZE(T, n) STB_STATIC_ASSERT(1, "")
#define STB_AT(T, f, off) STB_STATIC_ASSERT(1, "")
#endif

/* Records with pointers or size_t: the board's numbers on the board only... */
#if STB_BOARD_ABI
#define STB_BOARD_SIZE(T, n) STB_SIZE(T, n)
#define STB_BOARD_AT(T, f, off) STB_AT(T, f, off)
#else
#define STB_BOARD_SIZE(T, n) STB_STATIC_ASSERT(1, "")
#define STB_BOARD_AT(T, f, off) STB_STATIC_ASSERT(1, "")
#endif
/* ...and their order everywhere. */
#define STB_FIRST(T, f) STB_STATIC_ASSERT(offsetof(T, f) == 0, #T "." #f " must come first")
#define STB_FOLLOWS(T, prev, next)                                                     \
    STB_STATIC_ASSERT(offsetof(T, next) >= STB_MEMBER_END(T, prev) &&                  \
                          offsetof(T, next) < STB_MEMBER_END(T, prev) + STB_MAX_ALIGN, \
                      #T "." #next " must directly follow " #prev)
#define STB_LAST(T, f)                                                                         \
    STB_STATIC_ASSERT(                                                                         \
        sizeof(T) >= STB_MEMBER_END(T, f) && sizeof(T) < STB_MEMBER_END(T, f) + STB_MAX_ALIGN, \
        #T "." #f " must end the record")

/* ---- Scalars: the same on every ABI ------------------------------------------------------ */

STB_STATIC_ASSERT(sizeof(BOOL) == 4, "BOOL is 4 bytes");
STB_STATIC_ASSERT(sizeof(HANDLE) == 4, "HANDLE is 4 bytes");
STB_STATIC_ASSERT(sizeof(U32) == 4, "U32 is 4 bytes");
STB_STATIC_ASSERT(sizeof(AV_STREAM_TYPE_E) == 4 && sizeof(AV_SYNC_MODE_E) == 4 &&
                      sizeof(AV_VID_STOP_MODE_E) == 4 && sizeof(AV_DECODER_STATE_E) == 4 &&
                      sizeof(AV_PLAYER_STATUS_E) == 4 && sizeof(AV_SYNC_PTS_CHAN_E) == 4 &&
                      sizeof(AV_PIXEL_BITWIDTH_E) == 4 && sizeof(AV_VIDEO_FIELD_ORDER_E) == 4 &&
                      sizeof(AV_3D_FORMAT_E) == 4 && sizeof(AV_VID_STREAM_TYPE_E) == 4 &&
                      sizeof(AV_AUD_STREAM_TYPE_E) == 4 && sizeof(AV_EVENT_E) == 4 &&
                      sizeof(AV_VID_COLOR_SPACE_E) == 4 && sizeof(AV_VID_FORMAT_E) == 4 &&
                      sizeof(AV_AUD_FORMAT_E) == 4 && sizeof(AV_VID_FIELD_MODE_E) == 4,
                  "AV enumerations are 4 bytes");
STB_STATIC_ASSERT(sizeof(VOUT_FORMAT_E) == 4 && sizeof(VOUT_VID_FRAME_RATE_E) == 4 &&
                      sizeof(VOUT_ASPECT_RATIO_E) == 4 && sizeof(VOUT_DISPLAY_CHANNEL_E) == 4 &&
                      sizeof(VOUT_OUTPUT_TYPE_E) == 4 && sizeof(VOUT_3D_FORMAT_E) == 4,
                  "video output enumerations are 4 bytes");
STB_STATIC_ASSERT(sizeof(AOUT_ID_E) == 4 && sizeof(AOUT_DEVICE_TYPE_E) == 4 &&
                      sizeof(AOUT_DIGITAL_OUTPUT_MODE_E) == 4 && sizeof(AOUT_CHANNEL_MODE_E) == 4,
                  "audio output enumerations are 4 bytes");
STB_STATIC_ASSERT(sizeof(CAPTION_TYPE_E) == 4 && sizeof(CAPTION_CC_DATA_E) == 4 &&
                      sizeof(CAPTION_CC608_DATATYPE_E) == 4 &&
                      sizeof(CAPTION_CC708_SERVICE_NUM_E) == 4 &&
                      sizeof(CAPTION_CC_OPACITY_E) == 4 && sizeof(CAPTION_CC_FONTSTYLE_E) == 4 &&
                      sizeof(CAPTION_CC_FONTNAME_E) == 4 && sizeof(CAPTION_CC_FONTSIZE_E) == 4 &&
                      sizeof(CAPTION_CC_EDGETYPE_E) == 4 && sizeof(CAPTION_CC_DF_E) == 4,
                  "caption enumerations are 4 bytes");
STB_STATIC_ASSERT(sizeof(SUBTITLE_TYPE_E) == 4 && sizeof(SUBTITLE_CC_INPUT_E) == 4 &&
                      sizeof(SUBTITLE_VIDEO_FORMAT_E) == 4 &&
                      sizeof(SUBTITLE_CC_SERVICE_CHANNEL_E) == 4,
                  "subtitle enumerations are 4 bytes");

/* ---- AV player --------------------------------------------------------------------------- */

STB_SIZE(AV_SOURCE_PARAMS_S, 4);
STB_AT(AV_SOURCE_PARAMS_S, enDemuxId, 0);

STB_SIZE(AV_CREATE_S, 8);
STB_AT(AV_CREATE_S, stSourceParams, 0);
STB_AT(AV_CREATE_S, enStreamType, 4);

STB_SIZE(AV_INIT_S, 4);
STB_AT(AV_INIT_S, Resvered, 0);

STB_SIZE(AV_PREPARE_S, 258);
STB_AT(AV_PREPARE_S, multiAddr, 0);
STB_AT(AV_PREPARE_S, u16Port, 256);

STB_BOARD_SIZE(AV_EVENT_CONFIG_PARAMS_S, 16);
STB_BOARD_AT(AV_EVENT_CONFIG_PARAMS_S, enEvt, 0);
STB_BOARD_AT(AV_EVENT_CONFIG_PARAMS_S, pfnCallback, 4);
STB_BOARD_AT(AV_EVENT_CONFIG_PARAMS_S, bEnableCallback, 8);
STB_BOARD_AT(AV_EVENT_CONFIG_PARAMS_S, u32NotificationToSkip, 12);
STB_FIRST(AV_EVENT_CONFIG_PARAMS_S, enEvt);
STB_FOLLOWS(AV_EVENT_CONFIG_PARAMS_S, enEvt, pfnCallback);
STB_FOLLOWS(AV_EVENT_CONFIG_PARAMS_S, pfnCallback, bEnableCallback);
STB_FOLLOWS(AV_EVENT_CONFIG_PARAMS_S, bEnableCallback, u32NotificationToSkip);
STB_LAST(AV_EVENT_CONFIG_PARAMS_S, u32NotificationToSkip);

STB_SIZE(AV_SETTING_S, 68);
STB_AT(AV_SETTING_S, enAvSyncMode, 0);
STB_AT(AV_SETTING_S, enVidStopMode, 4);
STB_AT(AV_SETTING_S, enVidStreamType, 8);
STB_AT(AV_SETTING_S, enAudStreamType, 12);
STB_AT(AV_SETTING_S, en3dFormat, 16);
STB_AT(AV_SETTING_S, s32Speed, 20);
STB_AT(AV_SETTING_S, u16PcrPid, 24);
STB_AT(AV_SETTING_S, u16AudPid, 26);
STB_AT(AV_SETTING_S, u16AudADPid, 28);
STB_AT(AV_SETTING_S, u16VidPid, 30);
STB_AT(AV_SETTING_S, u16ServiceID, 32);
STB_AT(AV_SETTING_S, s8ServiceName, 34);

STB_SIZE(AV_SYNC_REGION_S, 12);
STB_AT(AV_SYNC_REGION_S, s32VidPlusTime, 0);
STB_AT(AV_SYNC_REGION_S, s32VidNegativeTime, 4);
STB_AT(AV_SYNC_REGION_S, bSmoothPlay, 8);

STB_SIZE(AV_SYNC_ATTR_S, 44);
STB_AT(AV_SYNC_ATTR_S, enSyncRef, 0);
STB_AT(AV_SYNC_ATTR_S, stSyncStartRegion, 4);
STB_AT(AV_SYNC_ATTR_S, stSyncNovelRegion, 16);
STB_AT(AV_SYNC_ATTR_S, s32VidPtsAdjust, 28);
STB_AT(AV_SYNC_ATTR_S, s32AudPtsAdjust, 32);
STB_AT(AV_SYNC_ATTR_S, u32PreSyncTimeoutMs, 36);
STB_AT(AV_SYNC_ATTR_S, bQuickOutput, 40);

STB_SIZE(AV_AUD_STATUS_S, 80);
STB_AT(AV_AUD_STATUS_S, u32PacketCount, 0);
STB_AT(AV_AUD_STATUS_S, u32FrameCount, 4);
STB_AT(AV_AUD_STATUS_S, enDecodeState, 8);
STB_AT(AV_AUD_STATUS_S, enStreamType, 12);
STB_AT(AV_AUD_STATUS_S, u32SampleRate, 16);
STB_AT(AV_AUD_STATUS_S, u32BitWidth, 20);
STB_AT(AV_AUD_STATUS_S, u32PesBufferSize, 24);
STB_AT(AV_AUD_STATUS_S, u32PesBufferFreeSize, 28);
STB_AT(AV_AUD_STATUS_S, u32EsBufferSize, 32);
STB_AT(AV_AUD_STATUS_S, u32EsBufferFreeSize, 36);
STB_AT(AV_AUD_STATUS_S, s64Pts, 40);
STB_AT(AV_AUD_STATUS_S, s64FirstPts, 48);
STB_AT(AV_AUD_STATUS_S, u32Stc, 56);
STB_AT(AV_AUD_STATUS_S, u16Pid, 60);
STB_AT(AV_AUD_STATUS_S, u16ADPid, 62);
STB_AT(AV_AUD_STATUS_S, u32FrameBufTime, 64);
STB_AT(AV_AUD_STATUS_S, u32Bps, 68);
STB_AT(AV_AUD_STATUS_S, u32Chanel, 72);

STB_SIZE(AV_VID_STATUS_S, 120);
STB_AT(AV_VID_STATUS_S, u32DispPicCount, 0);
STB_AT(AV_VID_STATUS_S, enDecodeState, 4);
STB_AT(AV_VID_STATUS_S, enStreamType, 8);
STB_AT(AV_VID_STATUS_S, u16FpsInteger, 12);
STB_AT(AV_VID_STATUS_S, u16FpsDecimal, 14);
STB_AT(AV_VID_STATUS_S, u32Profile, 16);
STB_AT(AV_VID_STATUS_S, u32Level, 20);
STB_AT(AV_VID_STATUS_S, en3dFormat, 24);
STB_AT(AV_VID_STATUS_S, u32PesBufferSize, 28);
STB_AT(AV_VID_STATUS_S, u32PesBufferFreeSize, 32);
STB_AT(AV_VID_STATUS_S, u32EsBufferSize, 36);
STB_AT(AV_VID_STATUS_S, u32EsBufferFreeSize, 40);
STB_AT(AV_VID_STATUS_S, s64Pts, 48);
STB_AT(AV_VID_STATUS_S, s64FirstPts, 56);
STB_AT(AV_VID_STATUS_S, u32Stc, 64);
STB_AT(AV_VID_STATUS_S, bInterlaced, 68);
STB_AT(AV_VID_STATUS_S, u32SourceWidth, 72);
STB_AT(AV_VID_STATUS_S, u32SouceHeight, 76);
STB_AT(AV_VID_STATUS_S, u32DisplayWidth, 80);
STB_AT(AV_VID_STATUS_S, u32DisplayHeight, 84);
STB_AT(AV_VID_STATUS_S, bByPass, 88);
STB_AT(AV_VID_STATUS_S, u16Pid, 92);
STB_AT(AV_VID_STATUS_S, u32FrameBufTime, 96);
STB_AT(AV_VID_STATUS_S, u32PicNotDecodeCount, 100);
STB_AT(AV_VID_STATUS_S, u32Bps, 104);
STB_AT(AV_VID_STATUS_S, enBitWidth, 108);
STB_AT(AV_VID_STATUS_S, enSrcColorSpace, 112);

STB_BOARD_SIZE(AV_STATUS_S, 264);
STB_BOARD_AT(AV_STATUS_S, enRunStatus, 0);
STB_BOARD_AT(AV_STATUS_S, bVidStart, 4);
STB_BOARD_AT(AV_STATUS_S, bAudStart, 8);
STB_BOARD_AT(AV_STATUS_S, sTsThresholdSize, 12);
STB_BOARD_AT(AV_STATUS_S, sTsUsageSize, 16);
STB_BOARD_AT(AV_STATUS_S, u32DmxBufSize, 20);
STB_BOARD_AT(AV_STATUS_S, u32DmxUsedSize, 24);
STB_BOARD_AT(AV_STATUS_S, stAudStatus, 32);
STB_BOARD_AT(AV_STATUS_S, stVidStatus, 112);
STB_BOARD_AT(AV_STATUS_S, u32TsBufferSize, 232);
STB_BOARD_AT(AV_STATUS_S, u32TsBufferFreeSize, 236);
STB_BOARD_AT(AV_STATUS_S, u32TsPacketSize, 240);
STB_BOARD_AT(AV_STATUS_S, ahInjecter, 244);
STB_BOARD_AT(AV_STATUS_S, u16PcrPid, 256);
STB_BOARD_AT(AV_STATUS_S, s32AVDiffTime, 260);
STB_FIRST(AV_STATUS_S, enRunStatus);
STB_FOLLOWS(AV_STATUS_S, enRunStatus, bVidStart);
STB_FOLLOWS(AV_STATUS_S, bVidStart, bAudStart);
STB_FOLLOWS(AV_STATUS_S, bAudStart, sTsThresholdSize);
STB_FOLLOWS(AV_STATUS_S, sTsThresholdSize, sTsUsageSize);
STB_FOLLOWS(AV_STATUS_S, sTsUsageSize, u32DmxBufSize);
STB_FOLLOWS(AV_STATUS_S, u32DmxBufSize, u32DmxUsedSize);
STB_FOLLOWS(AV_STATUS_S, u32DmxUsedSize, stAudStatus);
STB_FOLLOWS(AV_STATUS_S, stAudStatus, stVidStatus);
STB_FOLLOWS(AV_STATUS_S, stVidStatus, u32TsBufferSize);
STB_FOLLOWS(AV_STATUS_S, u32TsBufferSize, u32TsBufferFreeSize);
STB_FOLLOWS(AV_STATUS_S, u32TsBufferFreeSize, u32TsPacketSize);
STB_FOLLOWS(AV_STATUS_S, u32TsPacketSize, ahInjecter);
STB_FOLLOWS(AV_STATUS_S, ahInjecter, u16PcrPid);
STB_FOLLOWS(AV_STATUS_S, u16PcrPid, s32AVDiffTime);
STB_LAST(AV_STATUS_S, s32AVDiffTime);

STB_SIZE(AV_VID_FRAMEADDR_S, 24);
STB_AT(AV_VID_FRAMEADDR_S, u32YAddr, 0);
STB_AT(AV_VID_FRAMEADDR_S, u32CAddr, 4);
STB_AT(AV_VID_FRAMEADDR_S, u32CrAddr, 8);
STB_AT(AV_VID_FRAMEADDR_S, u32YStride, 12);
STB_AT(AV_VID_FRAMEADDR_S, u32CStride, 16);
STB_AT(AV_VID_FRAMEADDR_S, u32CrStride, 20);

STB_SIZE(AV_VID_FRAMEINFO_S, 400);
STB_AT(AV_VID_FRAMEINFO_S, u32FrameIndex, 0);
STB_AT(AV_VID_FRAMEINFO_S, enVideoFormat, 4);
STB_AT(AV_VID_FRAMEINFO_S, stVideoFrameAddr, 8);
STB_AT(AV_VID_FRAMEINFO_S, u32Width, 56);
STB_AT(AV_VID_FRAMEINFO_S, u32Height, 60);
STB_AT(AV_VID_FRAMEINFO_S, s64SrcPts, 64);
STB_AT(AV_VID_FRAMEINFO_S, s64Pts, 72);
STB_AT(AV_VID_FRAMEINFO_S, u32AspectWidth, 80);
STB_AT(AV_VID_FRAMEINFO_S, u32AspectHeight, 84);
STB_AT(AV_VID_FRAMEINFO_S, u32fpsInteger, 88);
STB_AT(AV_VID_FRAMEINFO_S, u32fpsDecimal, 92);
STB_AT(AV_VID_FRAMEINFO_S, bProgressive, 96);
STB_AT(AV_VID_FRAMEINFO_S, enFieldMode, 100);
STB_AT(AV_VID_FRAMEINFO_S, bTopFieldFirst, 104);
STB_AT(AV_VID_FRAMEINFO_S, enFramePackingType, 108);
STB_AT(AV_VID_FRAMEINFO_S, u32Circumrotate, 112);
STB_AT(AV_VID_FRAMEINFO_S, bVerticalMirror, 116);
STB_AT(AV_VID_FRAMEINFO_S, bHorizontalMirror, 120);
STB_AT(AV_VID_FRAMEINFO_S, u32DisplayWidth, 124);
STB_AT(AV_VID_FRAMEINFO_S, u32DisplayHeight, 128);
STB_AT(AV_VID_FRAMEINFO_S, u32DisplayCenterX, 132);
STB_AT(AV_VID_FRAMEINFO_S, u32DisplayCenterY, 136);
STB_AT(AV_VID_FRAMEINFO_S, u32ErrorLevel, 140);
STB_AT(AV_VID_FRAMEINFO_S, u32Private, 144);

STB_SIZE(AVRATIONAL_S, 8);
STB_AT(AVRATIONAL_S, s32Num, 0);
STB_AT(AVRATIONAL_S, s32Den, 4);

STB_SIZE(VIDEO_STREAM_INFO_S, 64);
STB_AT(VIDEO_STREAM_INFO_S, u32Pid, 0);
STB_AT(VIDEO_STREAM_INFO_S, enStreamType, 4);
STB_AT(VIDEO_STREAM_INFO_S, u32Width, 8);
STB_AT(VIDEO_STREAM_INFO_S, u32Height, 12);
STB_AT(VIDEO_STREAM_INFO_S, stSampleAspectRatio, 16);
STB_AT(VIDEO_STREAM_INFO_S, stAvgFrameRate, 24);
STB_AT(VIDEO_STREAM_INFO_S, eVideoFieldOrder, 32);
STB_AT(VIDEO_STREAM_INFO_S, s32Profile, 36);
STB_AT(VIDEO_STREAM_INFO_S, s32Level, 40);
STB_AT(VIDEO_STREAM_INFO_S, enFormat, 44);
STB_AT(VIDEO_STREAM_INFO_S, enBitWidth, 48);
STB_AT(VIDEO_STREAM_INFO_S, s64BitRate, 56);

STB_SIZE(AUDIO_STREAM_INFO_S, 32);
STB_AT(AUDIO_STREAM_INFO_S, u32Pid, 0);
STB_AT(AUDIO_STREAM_INFO_S, enStreamType, 4);
STB_AT(AUDIO_STREAM_INFO_S, s32Channels, 8);
STB_AT(AUDIO_STREAM_INFO_S, enFormat, 12);
STB_AT(AUDIO_STREAM_INFO_S, u32SampleRate, 16);
STB_AT(AUDIO_STREAM_INFO_S, s64BitRate, 24);

STB_SIZE(PROGRAM_INFO_S, 66);
STB_AT(PROGRAM_INFO_S, u16ServiceID, 0);
STB_AT(PROGRAM_INFO_S, s8ServiceName, 2);
STB_AT(PROGRAM_INFO_S, s8serviceProvider, 34);

STB_SIZE(AV_STREAM_INFO_S, 2616);
STB_AT(AV_STREAM_INFO_S, u32VideoNum, 0);
STB_AT(AV_STREAM_INFO_S, stVideoStreamInfo, 8);
STB_AT(AV_STREAM_INFO_S, u32AudioNum, 1032);
STB_AT(AV_STREAM_INFO_S, stAudioStreamInfo, 1040);
STB_AT(AV_STREAM_INFO_S, u32ProgramNum, 1552);
STB_AT(AV_STREAM_INFO_S, stProgramInfo, 1556);

STB_SIZE(BUFFER_ITEM_S, 12);
STB_AT(BUFFER_ITEM_S, size, 0);
STB_AT(BUFFER_ITEM_S, dataLen, 4);
STB_AT(BUFFER_ITEM_S, bufferedMs, 8);

STB_SIZE(AV_BUFFER_STAT_S, 36);
STB_AT(AV_BUFFER_STAT_S, audioBuffer, 0);
STB_AT(AV_BUFFER_STAT_S, videoBuffer, 12);
STB_AT(AV_BUFFER_STAT_S, subtitleBuffer, 24);

/* ---- Video output ------------------------------------------------------------------------ */

STB_SIZE(VOUT_RECT_S, 16);
STB_AT(VOUT_RECT_S, s32XOffset, 0);
STB_AT(VOUT_RECT_S, s32YOffset, 4);
STB_AT(VOUT_RECT_S, u32Width, 8);
STB_AT(VOUT_RECT_S, u32Height, 12);

STB_SIZE(VOUT_REGION_S, 16);
STB_AT(VOUT_REGION_S, u32Left, 0);
STB_AT(VOUT_REGION_S, u32Top, 4);
STB_AT(VOUT_REGION_S, u32Right, 8);
STB_AT(VOUT_REGION_S, u32Bottom, 12);

STB_SIZE(VOUT_DISPSETTING_S, 76);
STB_AT(VOUT_DISPSETTING_S, enDispFmt, 0);
STB_AT(VOUT_DISPSETTING_S, enFrameRate, 4);
STB_AT(VOUT_DISPSETTING_S, enAutoDispFmt, 8);
STB_AT(VOUT_DISPSETTING_S, enAutoFrameRate, 12);
STB_AT(VOUT_DISPSETTING_S, enAspectRatio, 16);
STB_AT(VOUT_DISPSETTING_S, enOutputType, 20);
STB_AT(VOUT_DISPSETTING_S, bOutputEnable, 24);
STB_AT(VOUT_DISPSETTING_S, u8Hue, 28);
STB_AT(VOUT_DISPSETTING_S, u8Brightness, 29);
STB_AT(VOUT_DISPSETTING_S, u8Contrast, 30);
STB_AT(VOUT_DISPSETTING_S, u8Saturation, 31);
STB_AT(VOUT_DISPSETTING_S, u83dDof, 32);
STB_AT(VOUT_DISPSETTING_S, en3dFmt, 36);
STB_AT(VOUT_DISPSETTING_S, stOSDVirtualRect, 40);
STB_AT(VOUT_DISPSETTING_S, stDispOutRegion, 56);
STB_AT(VOUT_DISPSETTING_S, bClearLogo, 72);

STB_SIZE(VOUT_INIT_S, 464);
STB_AT(VOUT_INIT_S, bDispEnable, 0);
STB_AT(VOUT_INIT_S, astDispSettings, 4);
STB_AT(VOUT_INIT_S, u32Dummy, 460);

STB_SIZE(VOUT_OPEN_S, 12);
STB_AT(VOUT_OPEN_S, enDispChan, 0);
STB_AT(VOUT_OPEN_S, enOutputType, 4);
STB_AT(VOUT_OPEN_S, u32Dummy, 8);

/* ---- Audio output ------------------------------------------------------------------------ */

STB_SIZE(AOUT_INIT_S, 4);
STB_AT(AOUT_INIT_S, u32Dummy, 0);

STB_SIZE(AOUT_SETTINGS_S, 8);
STB_AT(AOUT_SETTINGS_S, enOutputDevice, 0);
STB_AT(AOUT_SETTINGS_S, u32Dummy, 4);

STB_SIZE(AOUT_OPEN_S, 12);
STB_AT(AOUT_OPEN_S, enId, 0);
STB_AT(AOUT_OPEN_S, stSettings, 4);

/* ---- Captions ---------------------------------------------------------------------------- */

STB_SIZE(CAPTION_INIT_S, 4);
STB_AT(CAPTION_INIT_S, enCaptionType, 0);

STB_BOARD_SIZE(CAPTION_CC_S, 8);
STB_BOARD_AT(CAPTION_CC_S, enCCDataType, 0);
STB_BOARD_AT(CAPTION_CC_S, pfnGetPts, 4);
STB_FIRST(CAPTION_CC_S, enCCDataType);
STB_FOLLOWS(CAPTION_CC_S, enCCDataType, pfnGetPts);
STB_LAST(CAPTION_CC_S, pfnGetPts);

STB_SIZE(CAPTION_CC608_ATTR_S, 32);
STB_AT(CAPTION_CC608_ATTR_S, enCC608DataType, 0);
STB_AT(CAPTION_CC608_ATTR_S, u32CC608TextColor, 4);
STB_AT(CAPTION_CC608_ATTR_S, enCC608TextOpac, 8);
STB_AT(CAPTION_CC608_ATTR_S, u32CC608BgColor, 12);
STB_AT(CAPTION_CC608_ATTR_S, enCC608BgOpac, 16);
STB_AT(CAPTION_CC608_ATTR_S, enCC608FontStyle, 20);
STB_AT(CAPTION_CC608_ATTR_S, enCC608DispFormat, 24);
STB_AT(CAPTION_CC608_ATTR_S, bLeadingTailingSpace, 28);

STB_SIZE(CAPTION_CC708_ATTR_S, 52);
STB_AT(CAPTION_CC708_ATTR_S, enCC708ServiceNum, 0);
STB_AT(CAPTION_CC708_ATTR_S, enCC708FontName, 4);
STB_AT(CAPTION_CC708_ATTR_S, enCC708FontStyle, 8);
STB_AT(CAPTION_CC708_ATTR_S, enCC708FontSize, 12);
STB_AT(CAPTION_CC708_ATTR_S, u32CC708TextColor, 16);
STB_AT(CAPTION_CC708_ATTR_S, enCC708TextOpac, 20);
STB_AT(CAPTION_CC708_ATTR_S, u32CC708BgColor, 24);
STB_AT(CAPTION_CC708_ATTR_S, enCC708BgOpac, 28);
STB_AT(CAPTION_CC708_ATTR_S, u32CC708WinColor, 32);
STB_AT(CAPTION_CC708_ATTR_S, enCC708WinOpac, 36);
STB_AT(CAPTION_CC708_ATTR_S, enCC708TextEdgeType, 40);
STB_AT(CAPTION_CC708_ATTR_S, u32CC708TextEdgeColor, 44);
STB_AT(CAPTION_CC708_ATTR_S, enCC708DispFormat, 48);

STB_SIZE(CAPTION_ARIBCC_ATTR_S, 4);
STB_AT(CAPTION_ARIBCC_ATTR_S, u32BufferSize, 0);

STB_SIZE(CAPTION_CC_ATTR_S, 56);
STB_AT(CAPTION_CC_ATTR_S, enCCDataType, 0);
STB_AT(CAPTION_CC_ATTR_S, unCCConfig, 4);
STB_AT(CAPTION_CC_ATTR_S, unCCConfig.stCC608, 4);
STB_AT(CAPTION_CC_ATTR_S, unCCConfig.stCC708, 4);
STB_AT(CAPTION_CC_ATTR_S, unCCConfig.stAribCC, 4);

/* ---- Subtitles --------------------------------------------------------------------------- */

STB_BOARD_SIZE(SUBTITLE_CREATE_PARAM_S, 8);
STB_BOARD_AT(SUBTITLE_CREATE_PARAM_S, hSource, 0);
STB_BOARD_AT(SUBTITLE_CREATE_PARAM_S, pUserData, 4);
STB_FIRST(SUBTITLE_CREATE_PARAM_S, hSource);
STB_FOLLOWS(SUBTITLE_CREATE_PARAM_S, hSource, pUserData);
STB_LAST(SUBTITLE_CREATE_PARAM_S, pUserData);

STB_SIZE(SUBTITLE_SUBT_PARAM_S, 8);
STB_AT(SUBTITLE_SUBT_PARAM_S, u32SubtPID, 0);
STB_AT(SUBTITLE_SUBT_PARAM_S, u16PageID, 4);
STB_AT(SUBTITLE_SUBT_PARAM_S, u16AncillaryID, 6);

STB_SIZE(SUBTITLE_CC_PARAM_S, 12);
STB_AT(SUBTITLE_CC_PARAM_S, enVideoFormat, 0);
STB_AT(SUBTITLE_CC_PARAM_S, enCCinputType, 4);
STB_AT(SUBTITLE_CC_PARAM_S, enCCServiceCh, 8);

STB_SIZE(SUBTITLE_PARAM_S, 24);
STB_AT(SUBTITLE_PARAM_S, enSubtileType, 0);
STB_AT(SUBTITLE_PARAM_S, stSubtParam, 4);
STB_AT(SUBTITLE_PARAM_S, stCCParam, 12);

#endif /* KESTREL_STB_LAYOUT_H */
