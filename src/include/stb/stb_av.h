#ifndef KESTREL_STB_AV_H
#define KESTREL_STB_AV_H

/*
 * AV player of the platform library: creation and stream input, program settings and
 * playback, synchronisation, status, stream analysis, buffer state, the raw transport stream
 * of the playing service, and the event callback.
 *
 * One AV handle (from av_create) is shared by every device object. Records that the library
 * fills are valid only after a 0 result. The event callback arrives on a thread of the
 * library's own.
 */

#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

/* ---- Enumerations ------------------------------------------------------------------------ */

typedef enum {
    AV_STREAM_TYPE_TS = 0,
    AV_STREAM_TYPE_ES = 1,
    AV_STREAM_TYPE_BUTT = 2
} AV_STREAM_TYPE_E;

typedef enum {
    AV_SYNC_MODE_DISABLE = 0,
    AV_SYNC_MODE_AUTO = 1,
    AV_SYNC_MODE_PCR = 2,
    AV_SYNC_MODE_VID = 3,
    AV_SYNC_MODE_AUD = 4,
    AV_SYNC_MODE_SCR = 5,
    AV_SYNC_MODE_BUTT = 6
} AV_SYNC_MODE_E;

typedef enum {
    AV_VID_STOP_MODE_FREEZE = 0,
    AV_VID_STOP_MODE_BLACK = 1,
    AV_VID_STOP_MODE_BUTT = 2
} AV_VID_STOP_MODE_E;

typedef enum {
    AV_DECODER_STATE_RUNNING = 0,
    AV_DECODER_STATE_PAUSING = 1,
    AV_DECODER_STATE_FREEZING = 2,
    AV_DECODER_STATE_STOPPED = 3,
    AV_DECODER_STATE_UNKNOWN = 4,
    AV_DECODER_STATE_BUTT = 5
} AV_DECODER_STATE_E;

typedef enum {
    AV_PLAY_STATUS_STOP = 0,
    AV_PLAY_STATUS_PREPLAY = 1,
    AV_PLAY_STATUS_PLAY = 2,
    AV_PLAY_STATUS_TPLAY = 3,
    AV_PLAY_STATUS_PAUSE = 4,
    AV_PLAY_STATUS_EOS = 5,
    AV_PLAY_STATUS_SEEK = 6,
    AV_PLAY_STATUS_BUTT = 7
} AV_PLAYER_STATUS_E;

/* Which clock av_get_current_pts reads. */
typedef enum {
    AV_SYNC_PTS_CHAN_VID = 0,
    AV_SYNC_PTS_CHAN_AUD = 1,
    AV_SYNC_PTS_CHAN_PCR = 2,
    AV_SYNC_PTS_CHAN_BUTT = 3
} AV_SYNC_PTS_CHAN_E;

typedef enum {
    AV_PIXEL_BITWIDTH_8BIT = 0,
    AV_PIXEL_BITWIDTH_10BIT = 1,
    AV_PIXEL_BITWIDTH_12BIT = 2,
    AV_PIXEL_BITWIDTH_BUTT = 3
} AV_PIXEL_BITWIDTH_E;

typedef enum {
    AV_VIDEO_FIELD_UNKNOWN = 0,
    AV_VIDEO_FIELD_PROGRESSIVE = 1,
    AV_VIDEO_FIELD_TT = 2,
    AV_VIDEO_FIELD_BB = 3,
    AV_VIDEO_FIELD_TB = 4,
    AV_VIDEO_FIELD_BT = 5
} AV_VIDEO_FIELD_ORDER_E;

typedef enum {
    AV_3D_FORMAT_OFF = 0,
    AV_3D_FORMAT_SIDE_BY_SIDE = 1,
    AV_3D_FORMAT_TOP_AND_BOTTOM = 2,
    AV_3D_FORMAT_SIDE_BY_SIDE_FULL = 3,
    AV_3D_FORMAT_FRAME_PACKING = 4,
    AV_3D_FORMAT_FIELD_ALTERNATIVE = 5,
    AV_3D_FORMAT_LINE_ALTERNATIVE = 6,
    AV_3D_FORMAT_AUTO = 7,
    AV_3D_FORMAT_BUTT = 8
} AV_3D_FORMAT_E;

/*
 * The long enumerations below are declared by the members this system passes or reads; the
 * library's other members keep their places in its numbering (the gaps) and never travel
 * through this interface.
 */

/* Video codecs: 45 members, 0 to 44. */
typedef enum {
    AV_VID_STREAM_TYPE_MPEG2 = 0,
    AV_VID_STREAM_TYPE_MPEG4 = 1,
    AV_VID_STREAM_TYPE_AVS = 2,
    AV_VID_STREAM_TYPE_H264 = 5,
    AV_VID_STREAM_TYPE_HEVC = 38,
    AV_VID_STREAM_TYPE_AVS2 = 44,
    AV_VID_STREAM_TYPE_BUTT = 45
} AV_VID_STREAM_TYPE_E;

/* Audio codecs: 75 members numbered 0 to 75, 44 unused. */
typedef enum {
    AV_AUD_STREAM_TYPE_MPGE1 = 0,
    AV_AUD_STREAM_TYPE_MPGE2 = 1,
    AV_AUD_STREAM_TYPE_MPEG2_AAC = 2,
    AV_AUD_STREAM_TYPE_MPEG4_AAC = 3,
    AV_AUD_STREAM_TYPE_AC3 = 4,
    AV_AUD_STREAM_TYPE_EAC3 = 5,
    AV_AUD_STREAM_TYPE_DRA = 53,
    AV_AUD_STREAM_TYPE_BUTT = 76
} AV_AUD_STREAM_TYPE_E;

/*
 * Events, in groups: video 0-19, audio 20-34, injection 35-39, stream and platform 40-53.
 * The daemon registers its callback with AM_EVT_DTV_SUBTITLE and acts only on
 * AV_VID_EVT_NEW_PICTURE_DECODED, whose data is an AV_VID_FRAMEINFO_S.
 */
typedef enum {
    AV_VID_EVT_DECODE_START = 0,
    AV_VID_EVT_NEW_PICTURE_DECODED = 2,
    AV_STATUS_REPORT = 6,
    AV_VID_EVT_BUTT = 19,
    AV_AUD_EVT_BASE = 20,
    AV_AUD_EVT_BUTT = 34,
    AM_EVT_DTV_SUBTITLE = 41,
    AV_ALL = 54,
    AV_EVT_BUTT = 55
} AV_EVENT_E;

/*
 * Source colour space of the decoded video (read only): 23 members. Besides those named here
 * the library numbers the BT.601 group 16-19, NTSC 1953 32, BT.470 48-49, the BT.709 group
 * 64-67, the BT.2020 group 68-71, SMPTE 170M/240M 96-97, BT.878 112, xvYCC 128 and JPEG 144.
 */
typedef enum {
    AV_VID_COLOR_SPACE_UNKNOWN = 0,
    AV_VID_COLOR_SPACE_REC709 = 80,
    AV_VID_COLOR_SPACE_RGB = 160,
    AV_VID_COLOR_SPACE_BUTT = 161
} AV_VID_COLOR_SPACE_E;

/* Pixel layouts of decoded pictures: YUV layouts below AV_VID_FORMAT_YUV_BUTT, RGB ones up to
 * AV_VID_FORMAT_RGB_BUTT. */
typedef enum {
    AV_VID_FORMAT_YUV_SEMIPLANAR_422 = 0,
    AV_VID_FORMAT_YUV_SEMIPLANAR_420 = 1,
    AV_VID_FORMAT_YUV_SEMIPLANAR_444 = 5,
    AV_VID_FORMAT_YUV_BUTT = 19,
    AV_VID_FORMAT_RGB_BUTT = 23
} AV_VID_FORMAT_E;

/* Audio sample formats (read only, from stream analysis). */
typedef enum { AV_AUD_SAMPLE_FMT_NONE = -1, AV_AUD_SAMPLE_FMT_NB = 12 } AV_AUD_FORMAT_E;

typedef enum {
    AV_VID_FIELD_MODE_ALL = 0,
    AV_VID_FIELD_MODE_TOP = 1,
    AV_VID_FIELD_MODE_BOTTOM = 2,
    AV_VID_FIELD_MODE_BUTT = 3
} AV_VID_FIELD_MODE_E;

/* ---- Records ----------------------------------------------------------------------------- */

typedef struct {
    int32_t enDemuxId;
} AV_SOURCE_PARAMS_S;

typedef struct {
    AV_SOURCE_PARAMS_S stSourceParams;
    AV_STREAM_TYPE_E enStreamType;
} AV_CREATE_S;

typedef struct {
    uint32_t Resvered;
} AV_INIT_S;

/* Stream input: the multicast group as dotted text and its port. */
typedef struct {
    char multiAddr[256];
    uint16_t u16Port;
} AV_PREPARE_S;

/* Called on a library thread with the AV handle, the event and its data (an
 * AV_VID_FRAMEINFO_S for AV_VID_EVT_NEW_PICTURE_DECODED), valid during the call only. */
typedef int32_t (*AV_CALLBACK_PFN_T)(HANDLE hAv, AV_EVENT_E enEvt, const void* pData);

typedef struct {
    AV_EVENT_E enEvt;
    AV_CALLBACK_PFN_T pfnCallback;
    BOOL bEnableCallback;
    uint16_t u32NotificationToSkip;
} AV_EVENT_CONFIG_PARAMS_S;

/* Program settings of the player. */
typedef struct {
    AV_SYNC_MODE_E enAvSyncMode;
    AV_VID_STOP_MODE_E enVidStopMode;
    AV_VID_STREAM_TYPE_E enVidStreamType;
    AV_AUD_STREAM_TYPE_E enAudStreamType;
    AV_3D_FORMAT_E en3dFormat;
    int32_t s32Speed;
    uint16_t u16PcrPid;
    uint16_t u16AudPid;
    uint16_t u16AudADPid;
    uint16_t u16VidPid;
    uint16_t u16ServiceID;
    char s8ServiceName[32]; /* text within 32 bytes, not necessarily terminated */
} AV_SETTING_S;

typedef struct {
    int32_t s32VidPlusTime;
    int32_t s32VidNegativeTime;
    BOOL bSmoothPlay;
} AV_SYNC_REGION_S;

typedef struct {
    AV_SYNC_MODE_E enSyncRef;
    AV_SYNC_REGION_S stSyncStartRegion;
    AV_SYNC_REGION_S stSyncNovelRegion;
    int32_t s32VidPtsAdjust;
    int32_t s32AudPtsAdjust;
    uint32_t u32PreSyncTimeoutMs;
    BOOL bQuickOutput;
} AV_SYNC_ATTR_S;

typedef struct {
    uint32_t u32PacketCount;
    uint32_t u32FrameCount;
    AV_DECODER_STATE_E enDecodeState;
    AV_AUD_STREAM_TYPE_E enStreamType;
    uint32_t u32SampleRate;
    uint32_t u32BitWidth;
    uint32_t u32PesBufferSize;
    uint32_t u32PesBufferFreeSize;
    uint32_t u32EsBufferSize;
    uint32_t u32EsBufferFreeSize;
    int64_t s64Pts;
    int64_t s64FirstPts;
    uint32_t u32Stc;
    uint16_t u16Pid;
    uint16_t u16ADPid;
    uint32_t u32FrameBufTime;
    uint32_t u32Bps;
    uint32_t u32Chanel;
} AV_AUD_STATUS_S;

typedef struct {
    uint32_t u32DispPicCount;
    AV_DECODER_STATE_E enDecodeState;
    AV_VID_STREAM_TYPE_E enStreamType;
    uint16_t u16FpsInteger;
    uint16_t u16FpsDecimal;
    uint32_t u32Profile;
    uint32_t u32Level;
    AV_3D_FORMAT_E en3dFormat;
    uint32_t u32PesBufferSize;
    uint32_t u32PesBufferFreeSize;
    uint32_t u32EsBufferSize;
    uint32_t u32EsBufferFreeSize;
    int64_t s64Pts;
    int64_t s64FirstPts;
    uint32_t u32Stc;
    BOOL bInterlaced;
    uint32_t u32SourceWidth;
    uint32_t u32SouceHeight;
    uint32_t u32DisplayWidth;
    uint32_t u32DisplayHeight;
    BOOL bByPass;
    uint16_t u16Pid;
    uint32_t u32FrameBufTime;
    uint32_t u32PicNotDecodeCount;
    uint32_t u32Bps;
    AV_PIXEL_BITWIDTH_E enBitWidth;
    AV_VID_COLOR_SPACE_E enSrcColorSpace;
} AV_VID_STATUS_S;

typedef struct {
    AV_PLAYER_STATUS_E enRunStatus;
    BOOL bVidStart;
    BOOL bAudStart;
    size_t sTsThresholdSize;
    size_t sTsUsageSize;
    uint32_t u32DmxBufSize;
    uint32_t u32DmxUsedSize;
    AV_AUD_STATUS_S stAudStatus;
    AV_VID_STATUS_S stVidStatus;
    uint32_t u32TsBufferSize;
    uint32_t u32TsBufferFreeSize;
    uint32_t u32TsPacketSize;
    HANDLE ahInjecter[3];
    uint16_t u16PcrPid;
    uint32_t s32AVDiffTime;
} AV_STATUS_S;

typedef struct {
    uint32_t u32YAddr;
    uint32_t u32CAddr;
    uint32_t u32CrAddr;
    uint32_t u32YStride;
    uint32_t u32CStride;
    uint32_t u32CrStride;
} AV_VID_FRAMEADDR_S;

/* Data of AV_VID_EVT_NEW_PICTURE_DECODED. */
typedef struct {
    uint32_t u32FrameIndex;
    AV_VID_FORMAT_E enVideoFormat;
    AV_VID_FRAMEADDR_S stVideoFrameAddr[2];
    uint32_t u32Width;
    uint32_t u32Height;
    int64_t s64SrcPts;
    int64_t s64Pts;
    uint32_t u32AspectWidth;
    uint32_t u32AspectHeight;
    uint32_t u32fpsInteger;
    uint32_t u32fpsDecimal;
    BOOL bProgressive;
    AV_VID_FIELD_MODE_E enFieldMode;
    BOOL bTopFieldFirst;
    AV_3D_FORMAT_E enFramePackingType;
    uint32_t u32Circumrotate;
    BOOL bVerticalMirror;
    BOOL bHorizontalMirror;
    uint32_t u32DisplayWidth;
    uint32_t u32DisplayHeight;
    uint32_t u32DisplayCenterX;
    uint32_t u32DisplayCenterY;
    uint32_t u32ErrorLevel;
    uint32_t u32Private[64];
} AV_VID_FRAMEINFO_S;

typedef struct {
    int32_t s32Num;
    int32_t s32Den;
} AVRATIONAL_S;

typedef struct {
    uint32_t u32Pid;
    AV_VID_STREAM_TYPE_E enStreamType;
    uint32_t u32Width;
    uint32_t u32Height;
    AVRATIONAL_S stSampleAspectRatio;
    AVRATIONAL_S stAvgFrameRate;
    AV_VIDEO_FIELD_ORDER_E eVideoFieldOrder;
    int32_t s32Profile;
    int32_t s32Level;
    AV_VID_FORMAT_E enFormat;
    AV_PIXEL_BITWIDTH_E enBitWidth;
    int64_t s64BitRate;
} VIDEO_STREAM_INFO_S;

typedef struct {
    uint32_t u32Pid;
    AV_AUD_STREAM_TYPE_E enStreamType;
    int32_t s32Channels;
    AV_AUD_FORMAT_E enFormat;
    uint32_t u32SampleRate;
    int64_t s64BitRate;
} AUDIO_STREAM_INFO_S;

typedef struct {
    uint16_t u16ServiceID;
    char s8ServiceName[32];     /* text within 32 bytes */
    char s8serviceProvider[32]; /* text within 32 bytes */
} PROGRAM_INFO_S;

#define AV_STREAM_INFO_MAX_ENTRIES 16

/* What the library found in the received transport stream; the counts give how many entries
 * of each array are filled. */
typedef struct {
    uint32_t u32VideoNum;
    VIDEO_STREAM_INFO_S stVideoStreamInfo[AV_STREAM_INFO_MAX_ENTRIES];
    uint32_t u32AudioNum;
    AUDIO_STREAM_INFO_S stAudioStreamInfo[AV_STREAM_INFO_MAX_ENTRIES];
    uint32_t u32ProgramNum;
    PROGRAM_INFO_S stProgramInfo[AV_STREAM_INFO_MAX_ENTRIES];
} AV_STREAM_INFO_S;

typedef struct {
    int32_t size;
    int32_t dataLen;
    int32_t bufferedMs;
} BUFFER_ITEM_S;

typedef struct {
    BUFFER_ITEM_S audioBuffer;
    BUFFER_ITEM_S videoBuffer;
    BUFFER_ITEM_S subtitleBuffer;
} AV_BUFFER_STAT_S;

/* One chunk of the playing service's transport stream: 7 packets of 188 bytes. */
#define AV_TS_CHUNK_SIZE 1316

/* ---- Operations -------------------------------------------------------------------------- */

STB_STATUS av_init(const AV_INIT_S* pstInit);
STB_STATUS av_create(HANDLE* phAv, const AV_CREATE_S* pstCreate);
STB_STATUS av_prepare(const AV_PREPARE_S* pstPrepare);
STB_STATUS av_destory(HANDLE hAv);
STB_STATUS av_deinit(void);

STB_STATUS av_set_config(HANDLE hAv, const AV_SETTING_S* pstSetting);
STB_STATUS av_get_config(HANDLE hAv, AV_SETTING_S* pstSetting);
STB_STATUS av_start(HANDLE hAv);
STB_STATUS av_stop(HANDLE hAv);
STB_STATUS av_stop_audio(HANDLE hAv);
STB_STATUS av_stop_video(HANDLE hAv);
/* The daemon resets with u32ResetMode 1. */
STB_STATUS av_reset(HANDLE hAv, uint32_t u32ResetMode);
STB_STATUS av_get_sync(HANDLE hAv, AV_SYNC_ATTR_S* pstSyncAttr);
STB_STATUS av_set_sync(HANDLE hAv, const AV_SYNC_ATTR_S* pstSyncAttr);
STB_STATUS av_set_inject_packet_num(uint32_t u32PacketNum);
/* Registers (or, with bEnableCallback FALSE, disables) the event callback of the player. */
STB_STATUS av_set_event_config(HANDLE hAv, const AV_EVENT_CONFIG_PARAMS_S* pstEventConfig);

STB_STATUS av_get_status_info(HANDLE hAv, AV_STATUS_S* pstStatus);
/* The clock of the channel in 90 kHz units. */
STB_STATUS av_get_current_pts(HANDLE hAv, AV_SYNC_PTS_CHAN_E enChannel, int64_t* ps64Pts);
STB_STATUS av_get_stream_info(HANDLE hAv, AV_STREAM_INFO_S* pstStreamInfo);
STB_STATUS av_get_buffer_stat(HANDLE hAv, AV_BUFFER_STAT_S* pstBufferStat, bool* pbVideoStarted,
                              bool* pbAudioStarted);
/* Pauses decoding for u32PauseUs microseconds so that the buffers can refill. */
STB_STATUS av_set_pause_time(HANDLE hAv, uint32_t u32PauseUs);
/* Copies the next chunk of the playing service's transport stream into pu8Buffer (u32Size
 * bytes of room): the number of bytes copied, 0 or less when none is there. Not a status. */
int32_t av_get_ts_buffer(HANDLE hAv, uint8_t* pu8Buffer, uint32_t u32Size);

STB_EXTERN_C_END

#endif /* KESTREL_STB_AV_H */
