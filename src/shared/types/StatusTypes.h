#pragma once

#include "xptools/EnumTable.h"

// Status values the daemon reports to the controller. The numeric values are part of the
// protocol with the controller.

#define KESTREL_STATUSES(X)     \
    X(STATUS_UNKNOWN, 0)        \
    X(STATUS_OK, 1)             \
    X(STATUS_FAILURE, 2)        \
    X(STATUS_NOT_APPLICABLE, 3) \
    X(STATUS_END, 4)
enum Status_e : int { KESTREL_STATUSES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<Status_e> kStatusNames[] = {KESTREL_STATUSES(XP_ENUM_NAME)};

#define KESTREL_SYNC_STATUSES(X)  \
    X(SYNC_STATUS_UNKNOWN, 0)     \
    X(SYNC_STATUS_OUT_OF_SYNC, 1) \
    X(SYNC_STATUS_IN_SYNC, 2)     \
    X(SYNC_STATUS_END, 3)
enum SyncStatus_e : int { KESTREL_SYNC_STATUSES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<SyncStatus_e> kSyncStatusNames[] = {
    KESTREL_SYNC_STATUSES(XP_ENUM_NAME)};

// NOTAPPLICABLE still fits a one-byte data field; the bound does not.
#define KESTREL_VIDEO_STATUS_TYPES(X)       \
    X(VIDEO_STATUS_TYPE_UNKNOWN, 0)         \
    X(VIDEO_STATUS_TYPE_MPEG2, 1)           \
    X(VIDEO_STATUS_TYPE_MPEG4, 2)           \
    X(VIDEO_STATUS_TYPE_MPEGH, 3)           \
    X(VIDEO_STATUS_TYPE_J2K, 4)             \
    X(VIDEO_STATUS_TYPE_AVS, 5)             \
    X(VIDEO_STATUS_TYPE_AVS2, 6)            \
    X(VIDEO_STATUS_TYPE_NOTAPPLICABLE, 255) \
    X(VIDEO_STATUS_TYPE_END, 256)
enum VideoStatusType_e : int { KESTREL_VIDEO_STATUS_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoStatusType_e> kVideoStatusTypeNames[] = {
    KESTREL_VIDEO_STATUS_TYPES(XP_ENUM_NAME)};

#define KESTREL_VIDEO_RESOLUTION_TYPES(X) \
    X(VIDEO_RESOLUTION_TYPE_UNKNOWN, 0)   \
    X(VIDEO_RESOLUTION_TYPE_HD, 1)        \
    X(VIDEO_RESOLUTION_TYPE_SD, 2)        \
    X(VIDEO_RESOLUTION_TYPE_UHD, 3)       \
    X(VIDEO_RESOLUTION_TYPE_END, 4)
enum VideoResolutionType_e : int { KESTREL_VIDEO_RESOLUTION_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoResolutionType_e> kVideoResolutionTypeNames[] = {
    KESTREL_VIDEO_RESOLUTION_TYPES(XP_ENUM_NAME)};

#define KESTREL_VIDEO_SCAN_TYPES(X) \
    X(VIDEO_SCAN_TYPE_UNKNOWN, 0)   \
    X(VIDEO_SCAN_TYPE_I, 1)         \
    X(VIDEO_SCAN_TYPE_P, 2)         \
    X(VIDEO_SCAN_TYPE_PSF, 3)       \
    X(VIDEO_SCAN_TYPE_END, 4)
enum VideoScanType_e : int { KESTREL_VIDEO_SCAN_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoScanType_e> kVideoScanTypeNames[] = {
    KESTREL_VIDEO_SCAN_TYPES(XP_ENUM_NAME)};

#define KESTREL_VIDEO_ASPECT_RATIOS(X) \
    X(VIDEO_ASPECT_RATIO_UNKNOWN, 0)   \
    X(VIDEO_ASPECT_RATIO_16X9, 1)      \
    X(VIDEO_ASPECT_RATIO_4X3, 2)       \
    X(VIDEO_ASPECT_RATIO_END, 3)
enum VideoAspectRatio_e : int { KESTREL_VIDEO_ASPECT_RATIOS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoAspectRatio_e> kVideoAspectRatioNames[] = {
    KESTREL_VIDEO_ASPECT_RATIOS(XP_ENUM_NAME)};

#define KESTREL_VIDEO_FRAME_RATES(X) \
    X(VIDEO_FRAME_RATE_UNKNOWN, 0)   \
    X(VIDEO_FRAME_RATE_2398, 1)      \
    X(VIDEO_FRAME_RATE_24, 2)        \
    X(VIDEO_FRAME_RATE_25, 3)        \
    X(VIDEO_FRAME_RATE_2997, 4)      \
    X(VIDEO_FRAME_RATE_30, 5)        \
    X(VIDEO_FRAME_RATE_50, 6)        \
    X(VIDEO_FRAME_RATE_5994, 7)      \
    X(VIDEO_FRAME_RATE_60, 8)        \
    X(VIDEO_FRAME_RATE_END, 9)
enum VideoFrameRate_e : int { KESTREL_VIDEO_FRAME_RATES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoFrameRate_e> kVideoFrameRateNames[] = {
    KESTREL_VIDEO_FRAME_RATES(XP_ENUM_NAME)};

#define KESTREL_VIDEO_CHROMA_FORMATS(X) \
    X(VIDEO_CHROMA_FORMAT_UNKNOWN, 0)   \
    X(VIDEO_CHROMA_FORMAT_4_2_0, 1)     \
    X(VIDEO_CHROMA_FORMAT_4_2_2, 2)     \
    X(VIDEO_CHROMA_FORMAT_4_4_4, 3)     \
    X(VIDEO_CHROMA_FORMAT_END, 4)
enum VideoChromaFormat_e : int { KESTREL_VIDEO_CHROMA_FORMATS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoChromaFormat_e> kVideoChromaFormatNames[] = {
    KESTREL_VIDEO_CHROMA_FORMATS(XP_ENUM_NAME)};

#define KESTREL_CHROMA_BIT_DEPTHS(X) \
    X(CHROMA_BITDEPTH_UNKNOWN, 0)    \
    X(CHROMA_BITDEPTH_8, 1)          \
    X(CHROMA_BITDEPTH_9, 2)          \
    X(CHROMA_BITDEPTH_10, 3)         \
    X(CHROMA_BITDEPTH_END, 4)
enum ChromaBitDepth_e : int { KESTREL_CHROMA_BIT_DEPTHS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<ChromaBitDepth_e> kChromaBitDepthNames[] = {
    KESTREL_CHROMA_BIT_DEPTHS(XP_ENUM_NAME)};

#define KESTREL_AUDIO_TYPE_STATUSES(X)         \
    X(AUDIO_TYPE_STATUS_UNKNOWN, 0)            \
    X(AUDIO_TYPE_STATUS_MPEG, 1)               \
    X(AUDIO_TYPE_STATUS_MPEG1, 2)              \
    X(AUDIO_TYPE_STATUS_MPEG2, 3)              \
    X(AUDIO_TYPE_STATUS_DOLBY_DIGITAL, 4)      \
    X(AUDIO_TYPE_STATUS_LPCM, 5)               \
    X(AUDIO_TYPE_STATUS_DOLBY_E, 6)            \
    X(AUDIO_TYPE_STATUS_DOLBY_DIGITAL_PLUS, 7) \
    X(AUDIO_TYPE_STATUS_MPEG2_AAC, 8)          \
    X(AUDIO_TYPE_STATUS_MPEG4_AAC, 9)          \
    X(AUDIO_TYPE_STATUS_DRA, 10)               \
    X(AUDIO_TYPE_STATUS_NONE, 11)              \
    X(AUDIO_TYPE_STATUS_END, 12)
enum AudioTypeStatus_e : int { KESTREL_AUDIO_TYPE_STATUSES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioTypeStatus_e> kAudioTypeStatusNames[] = {
    KESTREL_AUDIO_TYPE_STATUSES(XP_ENUM_NAME)};

// No bound member: NOT_APPLICABLE (255) is the highest value.
#define KESTREL_AUDIO_CHANNEL_CODINGS(X) \
    X(AUDIO_CHANNEL_UNKNOWN, 0)          \
    X(AUDIO_CHANNEL_1_PLUS_1, 1)         \
    X(AUDIO_CHANNEL_1_0, 2)              \
    X(AUDIO_CHANNEL_2_0, 3)              \
    X(AUDIO_CHANNEL_3_0, 4)              \
    X(AUDIO_CHANNEL_2_1, 5)              \
    X(AUDIO_CHANNEL_3_1, 6)              \
    X(AUDIO_CHANNEL_2_2, 7)              \
    X(AUDIO_CHANNEL_3_2, 8)              \
    X(AUDIO_CHANNEL_2_PLUS_2, 9)         \
    X(AUDIO_CHANNEL_2_2_2, 10)           \
    X(AUDIO_CHANNEL_2_2_2_2, 11)         \
    X(AUDIO_CHANNEL_NOT_APPLICABLE, 255)
enum AudioChannelCoding_e : int { KESTREL_AUDIO_CHANNEL_CODINGS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioChannelCoding_e> kAudioChannelCodingNames[] = {
    KESTREL_AUDIO_CHANNEL_CODINGS(XP_ENUM_NAME)};

#define KESTREL_AUDIO_BITS_PER_SAMPLE(X) \
    X(AUDIO_BITS_PER_SAMPLE_UNKNOWN, 0)  \
    X(AUDIO_BITS_PER_SAMPLE_16, 1)       \
    X(AUDIO_BITS_PER_SAMPLE_20, 2)       \
    X(AUDIO_BITS_PER_SAMPLE_24, 3)       \
    X(AUDIO_BITS_PER_SAMPLE_END, 4)
enum AudioBitsPerSample_e : int { KESTREL_AUDIO_BITS_PER_SAMPLE(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioBitsPerSample_e> kAudioBitsPerSampleNames[] = {
    KESTREL_AUDIO_BITS_PER_SAMPLE(XP_ENUM_NAME)};

// Profiles of the three codecs in one value space (M2 MPEG-2, M4 AVC, MH HEVC). HEVC Main has no
// member of its own.
#define KESTREL_VIDEO_PROFILES(X)                                   \
    X(VIDEO_PROFILE_UNKNOWN, 0)                                     \
    X(VIDEO_PROFILE_M2_SP, 1)                                       \
    X(VIDEO_PROFILE_M2_MP, 2)                                       \
    X(VIDEO_PROFILE_M2_422P, 3)                                     \
    X(VIDEO_PROFILE_M2_SNR, 4)                                      \
    X(VIDEO_PROFILE_M2_SPATIAL, 5)                                  \
    X(VIDEO_PROFILE_M2_HIGH, 6)                                     \
    X(VIDEO_PROFILE_M4_BASELINE, 7)                                 \
    X(VIDEO_PROFILE_M4_MAIN, 8)                                     \
    X(VIDEO_PROFILE_M4_EXTENDED, 9)                                 \
    X(VIDEO_PROFILE_M4_HIGH, 10)                                    \
    X(VIDEO_PROFILE_M4_HIGH10, 11)                                  \
    X(VIDEO_PROFILE_M4_HIGH422, 12)                                 \
    X(VIDEO_PROFILE_M4_HIGH444, 13)                                 \
    X(VIDEO_PROFILE_MH_MAIN10, 14)                                  \
    X(VIDEO_PROFILE_MH_MAIN_STILL, 15)                              \
    X(VIDEO_PROFILE_MH_FORMAT_RANGE_EXTENSIONS, 16)                 \
    X(VIDEO_PROFILE_MH_FORMAT_RANGE_EXTENSIONS_HIGH_THROUGHPUT, 17) \
    X(VIDEO_PROFILE_M4_HIGH10_INTRA, 18)                            \
    X(VIDEO_PROFILE_M4_HIGH422_INTRA, 19)                           \
    X(VIDEO_PROFILE_M4_HIGH444_INTRA, 20)                           \
    X(VIDEO_PROFILE_END, 21)
enum VideoProfile_e : int { KESTREL_VIDEO_PROFILES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoProfile_e> kVideoProfileNames[] = {
    KESTREL_VIDEO_PROFILES(XP_ENUM_NAME)};

// Levels of the three codecs in one value space. HEVC levels up to 5.1 use the AVC member of the
// same number; only 5.2 and above have HEVC members.
#define KESTREL_VIDEO_LEVELS(X) \
    X(VIDEO_LEVEL_UNKNOWN, 0)   \
    X(VIDEO_LEVEL_M2_LL, 1)     \
    X(VIDEO_LEVEL_M2_ML, 2)     \
    X(VIDEO_LEVEL_M2_HL1440, 3) \
    X(VIDEO_LEVEL_M2_HL, 4)     \
    X(VIDEO_LEVEL_M4_1, 5)      \
    X(VIDEO_LEVEL_M4_1B, 6)     \
    X(VIDEO_LEVEL_M4_1_1, 7)    \
    X(VIDEO_LEVEL_M4_1_2, 8)    \
    X(VIDEO_LEVEL_M4_1_3, 9)    \
    X(VIDEO_LEVEL_M4_2, 10)     \
    X(VIDEO_LEVEL_M4_2_1, 11)   \
    X(VIDEO_LEVEL_M4_2_2, 12)   \
    X(VIDEO_LEVEL_M4_3, 13)     \
    X(VIDEO_LEVEL_M4_3_1, 14)   \
    X(VIDEO_LEVEL_M4_3_2, 15)   \
    X(VIDEO_LEVEL_M4_4, 16)     \
    X(VIDEO_LEVEL_M4_4_1, 17)   \
    X(VIDEO_LEVEL_M4_4_2, 18)   \
    X(VIDEO_LEVEL_M4_5, 19)     \
    X(VIDEO_LEVEL_M4_5_1, 20)   \
    X(VIDEO_LEVEL_MH_5_2, 21)   \
    X(VIDEO_LEVEL_MH_6, 22)     \
    X(VIDEO_LEVEL_MH_6_1, 23)   \
    X(VIDEO_LEVEL_MH_6_2, 24)   \
    X(VIDEO_LEVEL_END, 25)
enum VideoLevel_e : int { KESTREL_VIDEO_LEVELS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoLevel_e> kVideoLevelNames[] = {
    KESTREL_VIDEO_LEVELS(XP_ENUM_NAME)};
