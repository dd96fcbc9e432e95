#pragma once

#include "xptools/EnumTable.h"

// Codec selection, written by the controller together with the service's PIDs.

// MPEG4 is AVC and MPEGH is HEVC.
#define KESTREL_VIDEO_TYPES(X) \
    X(VIDEO_TYPE_UNKNOWN, 0)   \
    X(VIDEO_TYPE_MPEG2, 1)     \
    X(VIDEO_TYPE_MPEG4, 2)     \
    X(VIDEO_TYPE_MPEGH, 3)     \
    X(VIDEO_TYPE_J2K, 4)       \
    X(VIDEO_TYPE_AVS, 5)       \
    X(VIDEO_TYPE_AVS2, 6)      \
    X(VIDEO_TYPE_END, 7)
enum VideoType_e : int { KESTREL_VIDEO_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoType_e> kVideoTypeNames[] = {
    KESTREL_VIDEO_TYPES(XP_ENUM_NAME)};

#define KESTREL_AUDIO_TYPES(X)          \
    X(AUDIO_TYPE_UNKNOWN, 0)            \
    X(AUDIO_TYPE_MPEG1, 1)              \
    X(AUDIO_TYPE_MPEG2, 2)              \
    X(AUDIO_TYPE_DOLBY_DIGITAL, 3)      \
    X(AUDIO_TYPE_LPCM_DOLBYE, 4)        \
    X(AUDIO_TYPE_DOLBY_DIGITAL_PLUS, 5) \
    X(AUDIO_TYPE_MPEG2_AAC, 6)          \
    X(AUDIO_TYPE_MPEG4_AAC, 7)          \
    X(AUDIO_TYPE_DRA, 8)                \
    X(AUDIO_TYPE_NONE, 9)               \
    X(AUDIO_TYPE_END, 10)
enum AudioType_e : int { KESTREL_AUDIO_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioType_e> kAudioTypeNames[] = {
    KESTREL_AUDIO_TYPES(XP_ENUM_NAME)};
