#ifndef KESTREL_STB_AOUT_H
#define KESTREL_STB_AOUT_H

/*
 * Audio output of the platform library: the output, its track fed by the AV player, and the
 * per-device volume, mute, digital mode and downmix. Device AOUT_DEVICE_ALL (-1) addresses
 * every audio output.
 */

#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

/* Bit values. */
typedef enum {
    AOUT_ID_0 = 1 << 0,
    AOUT_ID_1 = 1 << 1,
    AOUT_ID_2 = 1 << 2,
    AOUT_ID_3 = 1 << 3
} AOUT_ID_E;

/* Bit values: the combined devices are the unions of their parts; ALL is every bit set
 * (0xFFFFFFFF). RCA is the analog output. */
typedef enum {
    AOUT_DEVICE_NONE = 0,
    AOUT_DEVICE_RCA = 1 << 0,
    AOUT_DEVICE_SPDIF = 1 << 1,
    AOUT_DEVICE_RCA_SPDIF = AOUT_DEVICE_RCA | AOUT_DEVICE_SPDIF,
    AOUT_DEVICE_HDMI = 1 << 2,
    AOUT_DEVICE_RCA_HDMI = AOUT_DEVICE_RCA | AOUT_DEVICE_HDMI,
    AOUT_DEVICE_SPDIF_HDMI = AOUT_DEVICE_SPDIF | AOUT_DEVICE_HDMI,
    AOUT_DEVICE_SPEAKER = 1 << 3,
    AOUT_DEVICE_ARC = 1 << 4,
    AOUT_DEVICE_ALL = -1
} AOUT_DEVICE_TYPE_E;

typedef enum {
    AOUT_DIGITAL_OUTPUT_MODE_PCM = 0,
    AOUT_DIGITAL_OUTPUT_MODE_RAW = 1,
    AOUT_DIGITAL_OUTPUT_MODE_AUTO = 2
} AOUT_DIGITAL_OUTPUT_MODE_E;

typedef enum {
    AOUT_CHANNEL_MONO = 0,
    AOUT_CHANNEL_RIGHT = 1,
    AOUT_CHANNEL_LEFT = 2,
    AOUT_CHANNEL_STER = 3,
    AOUT_CHANNEL_BUTT = 4
} AOUT_CHANNEL_MODE_E;

typedef struct {
    U32 u32Dummy;
} AOUT_INIT_S;

typedef struct {
    AOUT_DEVICE_TYPE_E enOutputDevice;
    U32 u32Dummy; /* the daemon passes the AV handle here */
} AOUT_SETTINGS_S;

typedef struct {
    AOUT_ID_E enId;
    AOUT_SETTINGS_S stSettings;
} AOUT_OPEN_S;

/* The u32Reserved arguments are always 0. */
STB_STATUS aout_init(const AOUT_INIT_S* pstInit);
STB_STATUS aout_open(HANDLE* phAout, const AOUT_OPEN_S* pstOpen);
STB_STATUS aout_track_create(HANDLE hAout, HANDLE* phTrack, uint32_t u32Reserved);
STB_STATUS aout_track_attach_input(HANDLE hTrack, uint32_t u32Reserved, HANDLE hSource);
STB_STATUS aout_track_detach_input(HANDLE hTrack, uint32_t u32Reserved, HANDLE hSource);
STB_STATUS aout_track_destroy(HANDLE hTrack);
STB_STATUS aout_close(HANDLE hAout, uint32_t u32Reserved);
STB_STATUS aout_deinit(uint32_t u32Reserved);
/* Linear: percent 0..100. Not linear: dB relative to full level (0 loudest). */
STB_STATUS aout_set_volume(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bLinear,
                           int32_t s32Volume);
STB_STATUS aout_set_mute(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bMute);
STB_STATUS aout_set_digital_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_DIGITAL_OUTPUT_MODE_E enMode);
STB_STATUS aout_set_channel_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_CHANNEL_MODE_E enMode);

STB_EXTERN_C_END

#endif /* KESTREL_STB_AOUT_H */
