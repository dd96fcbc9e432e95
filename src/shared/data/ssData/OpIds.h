#pragma once

#include "xptools/EnumTable.h"

// Operation ids of the controller link. Two id spaces that do not overlap: the system operations
// (0 to 12) and the audio and video operations (16 to 317, AV_OP_UNDEFINED bounding them). Ids
// without an enumerator are unused; ids with one but without a catalogue entry (16) are not
// recognised by the daemon.

#define KESTREL_HISI_SUBSYSTEM_OPS(X)             \
    X(HISI_OP_SYSTEM_RESET_EVENT, 0)              \
    X(HISI_OP_SYSTEM_HEART_BEAT, 1)               \
    X(HISI_OP_SYSTEM_SOFTWARE_VERSION, 2)         \
    X(HISI_OP_SYSTEM_READY, 3)                    \
    X(HISI_OP_SYSTEM_STATUS_ENABLED, 4)           \
    X(HISI_OP_SYSTEM_STATUS_UPDATE, 5)            \
    X(HISI_OP_SYSTEM_UPDATE, 6)                   \
    X(HISI_OP_SYSTEM_CHECK_READY, 7)              \
    X(HISI_OP_SYSTEM_STATUS_CLEAR, 8)             \
    X(HISI_OP_SYSTEM_STATUS_CLEAR_DONE, 9)        \
    X(HISI_OP_SYSTEM_PRODUCT_ID, 10)              \
    X(HISI_OP_SYSTEM_STATUS_USB_UPGRADE_FILE, 11) \
    X(HISI_OP_SYSTEM_DECODER_INDEX, 12)

enum HisiSubsystem_e : int { KESTREL_HISI_SUBSYSTEM_OPS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<HisiSubsystem_e> kHisiSubsystemOpNames[] = {
    KESTREL_HISI_SUBSYSTEM_OPS(XP_ENUM_NAME)};

#define KESTREL_AV_OPS(X)                                  \
    X(AV_OP_AESAUDIO_PORT, 16)                             \
    X(AV_OP_AUDIOOUTPUT_STATE, 18)                         \
    X(AV_OP_AUDIOOUTPUT_LEVEL, 19)                         \
    X(AV_OP_AUDIOOUTPUT_VOLUME, 20)                        \
    X(AV_OP_ANALOGAUDIO_PORT, 21)                          \
    X(AV_OP_ANALOGAUDIO_DISCRETE, 22)                      \
    X(AV_OP_ANALOGAUDIO_OUTPUT_LEVEL, 23)                  \
    X(AV_OP_ANC_OUTPUT_AFD_CODE, 65)                       \
    X(AV_OP_ANC_OUTPUT_AFD_CODE_DESC, 66)                  \
    X(AV_OP_AUDIOPIDLOCK_PID, 67)                          \
    X(AV_OP_AUDIOPIDLOCK_TYPE, 68)                         \
    X(AV_OP_AUDIOPIDLOCK_BACKUP_PID, 69)                   \
    X(AV_OP_AUDIOPIDLOCK_BACKUP_TYPE, 70)                  \
    X(AV_OP_AUDIOPIDLOCK_AUDIO_TYPE_MISMATCH_PRESENCE, 71) \
    X(AV_OP_AUDIOSRV_OPERATIONAL_MODE, 72)                 \
    X(AV_OP_AUDIOSRV_DOWNMIX_OP, 73)                       \
    X(AV_OP_AUDIOSRV_DYNAMIC_RANGE_STATE, 74)              \
    X(AV_OP_AUDIOSRV_AUDIO_FORMAT_MODE, 75)                \
    X(AV_OP_AUDIOSRV_BIT_DEPTH, 76)                        \
    X(AV_OP_AUDIOSRV_BITRATE, 77)                          \
    X(AV_OP_AUDIOSRV_SAMPLING_RATE, 78)                    \
    X(AV_OP_AUDIOSRV_BITS_PER_SAMPLE, 79)                  \
    X(AV_OP_AUDIOSRV_CHANNEL_CODING, 80)                   \
    X(AV_OP_AUDIOSRV_DIAL_NORM_VALUE, 81)                  \
    X(AV_OP_AUDIOSRV_ENCODED_TYPE, 82)                     \
    X(AV_OP_AUDIOSRV_DECODING, 83)                         \
    X(AV_OP_AVSSCONFIG_AUDIO_COUNT_ANALOG, 104)            \
    X(AV_OP_AVSSCONFIG_AUDIO_COUNT_DIGITAL, 105)           \
    X(AV_OP_AVSSCONFIG_AUDIO_DECODE_COUNT, 106)            \
    X(AV_OP_AVSSCONFIG_GENLOCK_AVAIL, 107)                 \
    X(AV_OP_AVSSCONFIG_DECODER_RESET, 108)                 \
    X(AV_OP_AVSSCONFIG_DECODER_RESET_EVENT, 109)           \
    X(AV_OP_AVSSCONFIG_DISABLE_DECODER_RESET, 110)         \
    X(AV_OP_AVSSCONFIG_SCTE35_PROCESSING_AVAIL, 111)       \
    X(AV_OP_HEART_BEAT, 116)                               \
    X(AV_OP_COMPOSITE_NTSC_PEDESTAL_STATE, 117)            \
    X(AV_OP_COMPOSITE_525_STD, 118)                        \
    X(AV_OP_COMPOSITE_625_STD, 119)                        \
    X(AV_OP_COMPOSITE_VIDEO_LOSS_MODE, 120)                \
    X(AV_OP_OVERLAY_TYPE, 159)                             \
    X(AV_OP_OVERLAY_CC_TYPE, 160)                          \
    X(AV_OP_OVERLAY_NTSC_CC_DATA_TYPE, 161)                \
    X(AV_OP_OVERLAY_DTV_CC_DATA_TYPE, 162)                 \
    X(AV_OP_OVERLAY_DVB_SUBTITLE_LANGUAGE, 163)            \
    X(AV_OP_OVERLAY_DVB_SUBTITLE_PID, 164)                 \
    X(AV_OP_OVERLAY_DVB_SUBTITLE_COMPOSITION_PAGE_ID, 165) \
    X(AV_OP_OVERLAY_DVB_SUBTITLE_ANCILLARY_PAGE_ID, 166)   \
    X(AV_OP_OVERLAY_TELETEXT_PAGE, 167)                    \
    X(AV_OP_OVERLAY_IMAGE_TRIGGER_MODE, 168)               \
    X(AV_OP_OVERLAY_IMAGE_SCTE35_EVENT_ID, 169)            \
    X(AV_OP_OVERLAY_IMAGE_DITHERING, 170)                  \
    X(AV_OP_OVERLAY_IMAGE_TRANSITION, 171)                 \
    X(AV_OP_PIDLOCK_PCR_PID, 174)                          \
    X(AV_OP_PIDLOCK_VIDEO_PID, 175)                        \
    X(AV_OP_PIDLOCK_VIDEO_TYPE, 176)                       \
    X(AV_OP_PIDLOCK_BACKUP_PCR_PID, 177)                   \
    X(AV_OP_PIDLOCK_BACKUP_VIDEO_PID, 178)                 \
    X(AV_OP_PIDLOCK_BACKUP_VIDEO_TYPE, 179)                \
    X(AV_OP_PIDLOCK_VIDEO_TYPE_MISMATCH_PRESENCE, 180)     \
    X(AV_OP_SELECTEDAUDIO_PID, 219)                        \
    X(AV_OP_SELECTEDAUDIO_TYPE, 220)                       \
    X(AV_OP_SELECTEDAUDIO_PID_PRESENCE, 221)               \
    X(AV_OP_SELECTEDAUDIO_SYNC_STATUS, 222)                \
    X(AV_OP_SELECTEDOTHER_PID, 223)                        \
    X(AV_OP_SELECTEDSERVICE_VIDEO_PID, 226)                \
    X(AV_OP_SELECTEDSERVICE_VIDEO_TYPE, 227)               \
    X(AV_OP_SELECTEDSERVICE_VIDEO_PID_PRESENCE, 228)       \
    X(AV_OP_SELECTEDSERVICE_PCR_PID, 229)                  \
    X(AV_OP_SELECTEDSERVICE_PCR_PID_PRESENCE, 230)         \
    X(AV_OP_SELECTEDSERVICE_PROGRAM_NUM, 231)              \
    X(AV_OP_SELECTEDSERVICE_SERVICE_NAME, 232)             \
    X(AV_OP_SELECTEDSERVICE_SERVICE_PRESENCE, 233)         \
    X(AV_OP_SELECTEDSERVICE_TUNE_COUNT, 234)               \
    X(AV_OP_SELECTEDSERVICE_VIDEO_SYNC_STATUS, 235)        \
    X(AV_OP_SELECTEDSERVICE_PCR_SYNC_STATUS, 236)          \
    X(AV_OP_SERVICELOCK_LOCK_MODE, 237)                    \
    X(AV_OP_SERVICELOCK_SERVICE_NAME, 238)                 \
    X(AV_OP_SERVICELOCK_SERVICE_NUM, 239)                  \
    X(AV_OP_SERVICELOCK_BACKUP_LOCK_MODE, 240)             \
    X(AV_OP_SERVICELOCK_BACKUP_SERVICE_NAME, 241)          \
    X(AV_OP_SERVICELOCK_BACKUP_SERVICE_NUM, 242)           \
    X(AV_OP_SERVICESELECTION_SOURCE, 244)                  \
    X(AV_OP_SERVICESELECTION_MODE, 245)                    \
    X(AV_OP_SERVICESELECTION_BACKUP_STATE, 246)            \
    X(AV_OP_SERVICESELECTION_CURRENT_INPUT, 247)           \
    X(AV_OP_SERVICESELECTION_VIDEO_CODEC_TYPE, 248)        \
    X(AV_OP_SERVICESELECTION_AUDIO_CODEC_TYPE1, 249)       \
    X(AV_OP_SERVICESELECTION_AUDIO_CODEC_TYPE2, 250)       \
    X(AV_OP_SERVICESELECTION_PCR, 251)                     \
    X(AV_OP_SERVICESELECTION_VIDEO, 252)                   \
    X(AV_OP_SERVICESELECTION_AUDIO1, 253)                  \
    X(AV_OP_SERVICESELECTION_AUDIO2, 254)                  \
    X(AV_OP_SERVICESELECTION_SERVICE_NAME, 255)            \
    X(AV_OP_SERVICESELECTION_SERVICE_NUM, 256)             \
    X(AV_OP_COMPOSITE_LINE21_CC, 260)                      \
    X(AV_OP_VIDEOOUTPUT_INTERFACE, 267)                    \
    X(AV_OP_VIDEOOUTPUT_FORMAT_MODE, 268)                  \
    X(AV_OP_VIDEOOUTPUT_FORMAT_MODE_CVBS, 269)             \
    X(AV_OP_VIDEOOUTPUT_RASTER_COLOR, 270)                 \
    X(AV_OP_VIDEOOUTPUT_RASTER_MODE, 271)                  \
    X(AV_OP_VIDEOOUTPUT_MANUAL_FORMAT, 272)                \
    X(AV_OP_VIDEOOUTPUT_CURRENT_OUTPUT_FORMAT, 273)        \
    X(AV_OP_VIDEOOUTPUT_MANUAL_FORMAT_CVBS, 274)           \
    X(AV_OP_VIDEOOUTPUT_AUTO_FORMAT_STATUS, 275)           \
    X(AV_OP_VIDEOOUTPUT_DECODE, 276)                       \
    X(AV_OP_VIDEO_WIDTH, 277)                              \
    X(AV_OP_VIDEO_HEIGHT, 278)                             \
    X(AV_OP_VIDEO_ASPECT_RATIO, 279)                       \
    X(AV_OP_VIDEO_FRAME_RATE, 280)                         \
    X(AV_OP_VIDEO_SCAN_TYPE, 281)                          \
    X(AV_OP_VIDEO_PROFILE, 282)                            \
    X(AV_OP_VIDEO_LEVEL, 283)                              \
    X(AV_OP_VIDEO_INPUT_SUPPORTED, 284)                    \
    X(AV_OP_VIDEO_PCR_DISCON_STATUS, 285)                  \
    X(AV_OP_VIDEO_CHROMA_FORMAT, 286)                      \
    X(AV_OP_VIDEO_AVERAGE_BITRATE, 287)                    \
    X(AV_OP_VIDEO_RESOLUTION_TYPE, 288)                    \
    X(AV_OP_VIDEO_CHROMA_BIT_DEPTH, 289)                   \
    X(AV_OP_AUDIO_DIGITAL_MODE, 311)                       \
    X(AV_OP_DECODER_SYNC_MODE, 312)                        \
    X(AV_OP_INJECT_PKT_NUM, 314)                           \
    X(AV_OP_FFMPEG_CONTROL_MODE, 315)                      \
    X(AV_OP_AVSSCONFIG_AV_SYNC_SETTING, 316)               \
    X(AV_OP_CLENA_AUDIO_BUFF, 317)                         \
    X(AV_OP_UNDEFINED, 318)

enum AvOp_e : int { KESTREL_AV_OPS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AvOp_e> kAvOpNames[] = {KESTREL_AV_OPS(XP_ENUM_NAME)};

// The enumerator's name for an id of either space ("AV_OP_VIDEO_WIDTH"), or null.
constexpr const char* OpIdName(unsigned int id) {
    return id < static_cast<unsigned int>(AV_OP_AESAUDIO_PORT)
               ? XP::EnumName(kHisiSubsystemOpNames, static_cast<HisiSubsystem_e>(id))
               : XP::EnumName(kAvOpNames, static_cast<AvOp_e>(id));
}
