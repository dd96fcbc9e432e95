#ifndef KESTREL_STB_VOUT_H
#define KESTREL_STB_VOUT_H

/*
 * Video output of the platform library: the display channel, its display settings, and the
 * window that shows the AV player's pictures.
 *
 * A vout_display_get followed by a vout_display_set changes only the fields written in
 * between.
 */

#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

typedef enum {
    VOUT_FORMAT_AUTO = 0,
    VOUT_FORMAT_PAL = 1,
    VOUT_FORMAT_NTSC = 2,
    VOUT_FORMAT_PALN = 3,
    VOUT_FORMAT_PALM = 4,
    VOUT_FORMAT_SECAM = 5,
    VOUT_FORMAT_480P = 6,
    VOUT_FORMAT_480I = 7,
    VOUT_FORMAT_576P = 8,
    VOUT_FORMAT_576I = 9,
    VOUT_FORMAT_HD_720P = 10,
    VOUT_FORMAT_HD_1080I = 11,
    VOUT_FORMAT_HD_1080P = 12,
    VOUT_FORMAT_HD_3840X2160 = 13,
    VOUT_FORMAT_HD_4096X2160 = 14,
    VOUT_FORMAT_UNKNOWN = 15,
    VOUT_FORMAT_BUTT = 16
} VOUT_FORMAT_E;

/* Bit values. Interlaced formats are given by their field rate. */
typedef enum {
    VOUT_VID_FRAME_RATE_UNKNOWN = 0,
    VOUT_VID_FRAME_RATE_AUTO = 1 << 0,
    VOUT_VID_FRAME_RATE_23_976 = 1 << 1,
    VOUT_VID_FRAME_RATE_24 = 1 << 2,
    VOUT_VID_FRAME_RATE_25 = 1 << 3,
    VOUT_VID_FRAME_RATE_29_97 = 1 << 4,
    VOUT_VID_FRAME_RATE_30 = 1 << 5,
    VOUT_VID_FRAME_RATE_50 = 1 << 6,
    VOUT_VID_FRAME_RATE_59_94 = 1 << 7,
    VOUT_VID_FRAME_RATE_60 = 1 << 8
} VOUT_VID_FRAME_RATE_E;

typedef enum {
    VOUT_ASPECT_RATIO_AUTO = 0,
    VOUT_ASPECT_RATIO_16TO9 = 1,
    VOUT_ASPECT_RATIO_4TO3 = 2,
    VOUT_ASPECT_RATIO_UNKNOWN = 3,
    VOUT_NB_OF_ASPECT_RATIO = 4
} VOUT_ASPECT_RATIO_E;

/* Bit values. */
typedef enum {
    VOUT_DISPLAY_HD0 = 1 << 0,
    VOUT_DISPLAY_HD1 = 1 << 1,
    VOUT_DISPLAY_HD2 = 1 << 2,
    VOUT_DISPLAY_SD0 = 1 << 3,
    VOUT_DISPLAY_SD1 = 1 << 4,
    VOUT_DISPLAY_SD2 = 1 << 5
} VOUT_DISPLAY_CHANNEL_E;

/* Bit values; DVI and HDMI share one bit, and ALL sets every bit. */
typedef enum {
    VOUT_OUTPUT_TYPE_NONE = 0,
    VOUT_OUTPUT_TYPE_COMPOSITE = 1 << 0,
    VOUT_OUTPUT_TYPE_YPBPR = 1 << 1,
    VOUT_OUTPUT_TYPE_SVIDEO = 1 << 2,
    VOUT_OUTPUT_TYPE_DVI = 1 << 3,
    VOUT_OUTPUT_TYPE_HDMI = 1 << 3,
    VOUT_OUTPUT_TYPE_SCART = 1 << 4,
    VOUT_OUTPUT_TYPE_VGA = 1 << 5,
    VOUT_OUTPUT_TYPE_RF = 1 << 6,
    VOUT_OUTPUT_TYPE_YCBCR = 1 << 7,
    VOUT_OUTPUT_TYPE_HD_YUV = 1 << 8,
    VOUT_OUTPUT_TYPE_HDMI_RGB888 = 1 << 9,
    VOUT_OUTPUT_TYPE_HDMI_YCBCR444 = 1 << 10,
    VOUT_OUTPUT_TYPE_HDMI_YCBCR422 = 1 << 11,
    VOUT_OUTPUT_TYPE_RGB = 1 << 12,
    VOUT_OUTPUT_TYPE_HD_RGB = 1 << 13,
    VOUT_OUTPUT_TYPE_PANNEL = 1 << 14,
    VOUT_OUTPUT_TYPE_ALL = -1
} VOUT_OUTPUT_TYPE_E;

typedef enum {
    VOUT_3D_FORMAT_2D = 0,
    VOUT_3D_FORMAT_FP = 1,
    VOUT_3D_FORMAT_SBS = 2,
    VOUT_3D_FORMAT_TAB = 3,
    VOUT_3D_FORMAT_FA = 4,
    VOUT_3D_FORMAT_LA = 5,
    VOUT_3D_FORMAT_SBS_FULL = 6,
    VOUT_3D_FORMAT_L_DEPTH = 7,
    VOUT_3D_FORMAT_LBL_LR = 8,
    VOUT_3D_FORMAT_LBL_RL = 9,
    VOUT_3D_FORMAT_L_DEPTH_GRAPHISC_DEPTH = 10,
    VOUT_3D_FORMAT_BUTT = 11
} VOUT_3D_FORMAT_E;

typedef struct {
    int32_t s32XOffset;
    int32_t s32YOffset;
    uint32_t u32Width;
    uint32_t u32Height;
} VOUT_RECT_S;

typedef struct {
    uint32_t u32Left;
    uint32_t u32Top;
    uint32_t u32Right;
    uint32_t u32Bottom;
} VOUT_REGION_S;

typedef struct {
    VOUT_FORMAT_E enDispFmt;
    VOUT_VID_FRAME_RATE_E enFrameRate;
    VOUT_FORMAT_E enAutoDispFmt;
    VOUT_VID_FRAME_RATE_E enAutoFrameRate;
    VOUT_ASPECT_RATIO_E enAspectRatio;
    VOUT_OUTPUT_TYPE_E enOutputType;
    BOOL bOutputEnable;
    uint8_t u8Hue;
    uint8_t u8Brightness;
    uint8_t u8Contrast;
    uint8_t u8Saturation;
    uint8_t u83dDof;
    VOUT_3D_FORMAT_E en3dFmt;
    VOUT_RECT_S stOSDVirtualRect;
    VOUT_REGION_S stDispOutRegion;
    BOOL bClearLogo;
} VOUT_DISPSETTING_S;

#define VOUT_DISPLAY_COUNT 6

typedef struct {
    BOOL bDispEnable;
    VOUT_DISPSETTING_S astDispSettings[VOUT_DISPLAY_COUNT];
    uint32_t u32Dummy;
} VOUT_INIT_S;

typedef struct {
    VOUT_DISPLAY_CHANNEL_E enDispChan;
    VOUT_OUTPUT_TYPE_E enOutputType;
    uint32_t u32Dummy; /* the daemon passes the AV handle here */
} VOUT_OPEN_S;

/* The u32Reserved arguments are always 0. */
STB_STATUS vout_init(const VOUT_INIT_S* pstInit);
STB_STATUS vout_open_channel(HANDLE* phVout, const VOUT_OPEN_S* pstOpen);
STB_STATUS vout_display_get(HANDLE hVout, VOUT_DISPSETTING_S* pstSettings);
STB_STATUS vout_display_set(HANDLE hVout, const VOUT_DISPSETTING_S* pstSettings);
STB_STATUS vout_window_create(HANDLE hVout, HANDLE* phWindow, uint32_t u32Reserved);
STB_STATUS vout_window_attach_input(HANDLE hWindow, uint32_t u32Reserved, HANDLE hSource);
STB_STATUS vout_window_detach_input(HANDLE hWindow, uint32_t u32Reserved, HANDLE hSource);
STB_STATUS vout_window_open(HANDLE hWindow);
STB_STATUS vout_window_close(HANDLE hWindow);
STB_STATUS vout_window_destroy(HANDLE hVout, HANDLE hWindow, uint32_t u32Reserved);
STB_STATUS vout_close_channel(HANDLE hVout, uint32_t u32Reserved);
STB_STATUS vout_deinit(void);

STB_EXTERN_C_END

#endif /* KESTREL_STB_VOUT_H */
