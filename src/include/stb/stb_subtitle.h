#ifndef KESTREL_STB_SUBTITLE_H
#define KESTREL_STB_SUBTITLE_H

/*
 * Subtitle renderer of the platform library: DVB subtitles of the AV player's stream, or
 * captions through the subtitle path.
 */

#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

typedef enum {
    SUBTITLE_TYPE_DVB = 0,
    SUBTITLE_TYPE_SCTE27 = 1,
    SUBTITLE_TYPE_CC = 2,
    SUBTITLE_TYPE_TELETEXT = 3,
    SUBTITLE_TYPE_BUTT = 4
} SUBTITLE_TYPE_E;

typedef enum { SUBTITLE_CC_INPUT_USERDATA = 0, SUBTITLE_CC_INPUT_VBI = 1 } SUBTITLE_CC_INPUT_E;

typedef enum {
    SUBTITLE_VIDEO_CODEC_MPEG12 = 0,
    SUBTITLE_VIDEO_CODEC_MPEG4 = 1,
    SUBTITLE_VIDEO_CODEC_H264 = 2,
    SUBTITLE_VIDEO_CODEC_VC1 = 3,
    SUBTITLE_VIDEO_CODEC_AVS = 4,
    SUBTITLE_VIDEO_CODEC_HEVC = 5,
    SUBTITLE_VIDEO_CODEC_VP9 = 6,
    SUBTITLE_VIDEO_CODEC_AVS2 = 7
} SUBTITLE_VIDEO_FORMAT_E;

typedef enum {
    SUBTITLE_CC_NONE = -1,
    SUBTITLE_CC_DEFAULT = 0,
    SUBTITLE_CC_CC1 = 1,
    SUBTITLE_CC_CC2 = 2,
    SUBTITLE_CC_CC3 = 3,
    SUBTITLE_CC_CC4 = 4,
    SUBTITLE_CC_TEXT1 = 5,
    SUBTITLE_CC_TEXT2 = 6,
    SUBTITLE_CC_TEXT3 = 7,
    SUBTITLE_CC_TEXT4 = 8,
    SUBTITLE_CC_SERVICE1 = 9,
    SUBTITLE_CC_SERVICE2 = 10,
    SUBTITLE_CC_SERVICE3 = 11,
    SUBTITLE_CC_SERVICE4 = 12,
    SUBTITLE_CC_SERVICE5 = 13,
    SUBTITLE_CC_SERVICE6 = 14,
    SUBTITLE_CC_XDS = 15,
    SUBTITLE_CC_DATA = 16,
    SUBTITLE_CC_MAX = 17
} SUBTITLE_CC_SERVICE_CHANNEL_E;

typedef struct {
    HANDLE hSource; /* the AV player whose stream carries the subtitles */
    void* pUserData;
} SUBTITLE_CREATE_PARAM_S;

typedef struct {
    uint32_t u32SubtPID;
    uint16_t u16PageID;
    uint16_t u16AncillaryID;
} SUBTITLE_SUBT_PARAM_S;

typedef struct {
    SUBTITLE_VIDEO_FORMAT_E enVideoFormat;
    SUBTITLE_CC_INPUT_E enCCinputType;
    SUBTITLE_CC_SERVICE_CHANNEL_E enCCServiceCh;
} SUBTITLE_CC_PARAM_S;

typedef struct {
    SUBTITLE_TYPE_E enSubtileType;
    SUBTITLE_SUBT_PARAM_S stSubtParam;
    SUBTITLE_CC_PARAM_S stCCParam;
} SUBTITLE_PARAM_S;

STB_STATUS subtitle_init(void);
STB_STATUS subtitle_create(const SUBTITLE_CREATE_PARAM_S* pstCreate, HANDLE* phSubtitle);
STB_STATUS subtitle_set_params(HANDLE hSubtitle, const SUBTITLE_PARAM_S* pstParam);
STB_STATUS subtitle_start_decoding(HANDLE hSubtitle, uint32_t u32Pid);
STB_STATUS subtitle_show(HANDLE hSubtitle);
STB_STATUS subtitle_hide(HANDLE hSubtitle);
STB_STATUS subtitle_stop_decoding(HANDLE hSubtitle);
STB_STATUS subtitle_destory(HANDLE hSubtitle);
STB_STATUS subtitle_deinit(void);

STB_EXTERN_C_END

#endif /* KESTREL_STB_SUBTITLE_H */
