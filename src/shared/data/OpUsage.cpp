#include "shared/data/OpUsage.h"

#include "shared/data/ssData/SsDataLists.h"
#include "shared/types/AvTypes.h"

namespace {

struct OpUseEntry_t {
    unsigned int opId;
    OpUse_e use;
};

// The use column of the daemon's tables, in filling order (a later row for the same id wins, as
// in the map).
#define KESTREL_OP_USE_ROW(name, id, indexType, type, use) {id, OP_USE_##use},
#define KESTREL_OP_USE_TABLE(table, list) list(KESTREL_OP_USE_ROW)
constexpr OpUseEntry_t kOpUses[] = {KESTREL_DAEMON_SS_DATA_TABLES(KESTREL_OP_USE_TABLE)};
#undef KESTREL_OP_USE_TABLE
#undef KESTREL_OP_USE_ROW

struct OpValueEnumerationEntry_t {
    unsigned int opId;
    const char* enumeration;
};

// Names the enumeration by its type, so a misspelt type does not compile.
template <typename Enum>
constexpr const char* EnumerationName(const char* name) {
    static_assert(sizeof(Enum) > 0, "value enumeration must be a complete type");
    return name;
}

// Settings the configuration run passes on as they come, then the status fields the processors
// report (video, then audio). Ids carrying numbers, strings or packed format words (272, 273, 274)
// have no row.
#define KESTREL_OP_VALUE_ENUMERATIONS(X)                     \
    X(AV_OP_AUDIOOUTPUT_STATE, AudioState_e)                 \
    X(AV_OP_ANALOGAUDIO_PORT, AnalogAudio_e)                 \
    X(AV_OP_COMPOSITE_525_STD, Composite525_e)               \
    X(AV_OP_COMPOSITE_625_STD, Composite625_e)               \
    X(AV_OP_OVERLAY_TYPE, OverlayType_e)                     \
    X(AV_OP_OVERLAY_CC_TYPE, OverlayCcType_e)                \
    X(AV_OP_OVERLAY_NTSC_CC_DATA_TYPE, OverlayNtscCcType_e)  \
    X(AV_OP_OVERLAY_DTV_CC_DATA_TYPE, OverlayDtvCcType_e)    \
    X(AV_OP_SERVICESELECTION_VIDEO_CODEC_TYPE, VideoType_e)  \
    X(AV_OP_SERVICESELECTION_AUDIO_CODEC_TYPE1, AudioType_e) \
    X(AV_OP_COMPOSITE_LINE21_CC, Enable_e)                   \
    X(AV_OP_VIDEOOUTPUT_INTERFACE, VideoOutputInterface_e)   \
    X(AV_OP_VIDEOOUTPUT_FORMAT_MODE, FormatMode_e)           \
    X(AV_OP_VIDEOOUTPUT_FORMAT_MODE_CVBS, FormatMode_e)      \
    X(AV_OP_DECODER_SYNC_MODE, DecoderSyncMode_e)            \
    X(AV_OP_SELECTEDSERVICE_VIDEO_TYPE, VideoStatusType_e)   \
    X(AV_OP_SELECTEDSERVICE_VIDEO_SYNC_STATUS, SyncStatus_e) \
    X(AV_OP_VIDEOOUTPUT_AUTO_FORMAT_STATUS, Status_e)        \
    X(AV_OP_VIDEOOUTPUT_DECODE, Status_e)                    \
    X(AV_OP_VIDEO_ASPECT_RATIO, VideoAspectRatio_e)          \
    X(AV_OP_VIDEO_FRAME_RATE, VideoFrameRate_e)              \
    X(AV_OP_VIDEO_SCAN_TYPE, VideoScanType_e)                \
    X(AV_OP_VIDEO_PROFILE, VideoProfile_e)                   \
    X(AV_OP_VIDEO_LEVEL, VideoLevel_e)                       \
    X(AV_OP_VIDEO_PCR_DISCON_STATUS, Status_e)               \
    X(AV_OP_VIDEO_CHROMA_FORMAT, VideoChromaFormat_e)        \
    X(AV_OP_VIDEO_RESOLUTION_TYPE, VideoResolutionType_e)    \
    X(AV_OP_VIDEO_CHROMA_BIT_DEPTH, ChromaBitDepth_e)        \
    X(AV_OP_AUDIOSRV_BITS_PER_SAMPLE, AudioBitsPerSample_e)  \
    X(AV_OP_AUDIOSRV_CHANNEL_CODING, AudioChannelCoding_e)   \
    X(AV_OP_AUDIOSRV_ENCODED_TYPE, AudioTypeStatus_e)        \
    X(AV_OP_AUDIOSRV_DECODING, Status_e)                     \
    X(AV_OP_SELECTEDAUDIO_TYPE, AudioTypeStatus_e)           \
    X(AV_OP_SELECTEDAUDIO_SYNC_STATUS, SyncStatus_e)

#define KESTREL_OP_VALUE(id, type) {id, EnumerationName<type>(#type)},
constexpr OpValueEnumerationEntry_t kOpValueEnumerations[] = {
    KESTREL_OP_VALUE_ENUMERATIONS(KESTREL_OP_VALUE)};
#undef KESTREL_OP_VALUE
#undef KESTREL_OP_VALUE_ENUMERATIONS

}  // namespace

const char* OpUseName(OpUse_e use) {
    switch (use) {
        case OP_USE_NONE:
            return "-";
        case OP_USE_SET:
            return "set";
        case OP_USE_STATUS:
            return "status";
    }
    return "?";
}

OpUse_e GetOpUse(unsigned int opId) {
    OpUse_e use = OP_USE_NONE;
    for (const OpUseEntry_t& entry : kOpUses) {
        if (entry.opId == opId) {
            use = entry.use;
        }
    }
    return use;
}

const ValueEnumeration_t* GetOpValueEnumeration(unsigned int opId) {
    for (const OpValueEnumerationEntry_t& entry : kOpValueEnumerations) {
        if (entry.opId == opId) {
            return FindValueEnumeration(entry.enumeration);
        }
    }
    return nullptr;
}
