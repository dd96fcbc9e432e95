#include "shared/types/ValueEnumerations.h"

#include <cstring>

#include "shared/types/AvTypes.h"

namespace {

// Every enumeration with the list macro it is generated from, in registry order.
#define KESTREL_VALUE_ENUMERATIONS(X)                            \
    X(VideoOutputInterface_e, KESTREL_VIDEO_OUTPUT_INTERFACES)   \
    X(FormatMode_e, KESTREL_FORMAT_MODES)                        \
    X(RasterMode_e, KESTREL_RASTER_MODES)                        \
    X(RasterColor_e, KESTREL_RASTER_COLORS)                      \
    X(HdDisplayMode_e, KESTREL_HD_DISPLAY_MODES)                 \
    X(SdDisplayMode_e, KESTREL_SD_DISPLAY_MODES)                 \
    X(AspectRatioConversion_e, KESTREL_ASPECT_RATIO_CONVERSIONS) \
    X(Composite525_e, KESTREL_COMPOSITE_525_STANDARDS)           \
    X(Composite625_e, KESTREL_COMPOSITE_625_STANDARDS)           \
    X(ColourSpace, KESTREL_COLOUR_SPACES)                        \
    X(OverlayType_e, KESTREL_OVERLAY_TYPES)                      \
    X(OverlayCcType_e, KESTREL_OVERLAY_CC_TYPES)                 \
    X(OverlayNtscCcType_e, KESTREL_OVERLAY_NTSC_CC_TYPES)        \
    X(OverlayDtvCcType_e, KESTREL_OVERLAY_DTV_CC_TYPES)          \
    X(Enable_e, KESTREL_ENABLES)                                 \
    X(AudioState_e, KESTREL_AUDIO_STATES)                        \
    X(AnalogAudio_e, KESTREL_ANALOG_AUDIO_PORTS)                 \
    X(AudioDigitalMode_e, KESTREL_AUDIO_DIGITAL_MODES)           \
    X(DecoderSyncMode_e, KESTREL_DECODER_SYNC_MODES)             \
    X(VideoType_e, KESTREL_VIDEO_TYPES)                          \
    X(AudioType_e, KESTREL_AUDIO_TYPES)                          \
    X(Status_e, KESTREL_STATUSES)                                \
    X(SyncStatus_e, KESTREL_SYNC_STATUSES)                       \
    X(VideoStatusType_e, KESTREL_VIDEO_STATUS_TYPES)             \
    X(VideoResolutionType_e, KESTREL_VIDEO_RESOLUTION_TYPES)     \
    X(VideoScanType_e, KESTREL_VIDEO_SCAN_TYPES)                 \
    X(VideoAspectRatio_e, KESTREL_VIDEO_ASPECT_RATIOS)           \
    X(VideoFrameRate_e, KESTREL_VIDEO_FRAME_RATES)               \
    X(VideoChromaFormat_e, KESTREL_VIDEO_CHROMA_FORMATS)         \
    X(ChromaBitDepth_e, KESTREL_CHROMA_BIT_DEPTHS)               \
    X(AudioTypeStatus_e, KESTREL_AUDIO_TYPE_STATUSES)            \
    X(AudioChannelCoding_e, KESTREL_AUDIO_CHANNEL_CODINGS)       \
    X(AudioBitsPerSample_e, KESTREL_AUDIO_BITS_PER_SAMPLE)       \
    X(VideoProfile_e, KESTREL_VIDEO_PROFILES)                    \
    X(VideoLevel_e, KESTREL_VIDEO_LEVELS)                        \
    X(VideoFormat_e, KESTREL_VIDEO_FORMATS)                      \
    X(EsType_e, KESTREL_ES_TYPES)                                \
    X(DecoderEvents_e, KESTREL_DECODER_EVENTS)

// The value is taken from the enumerator itself, so the registry cannot disagree with the enum.
#define KESTREL_VALUE_ENUMERATOR(name, value) {#name, static_cast<int>(name)},
#define KESTREL_DEFINE_MEMBERS(type, list) \
    constexpr ValueEnumerator_t k##type##Members[] = {list(KESTREL_VALUE_ENUMERATOR)};
#define KESTREL_REGISTRY_ENTRY(type, list) \
    {#type, k##type##Members, sizeof(k##type##Members) / sizeof(k##type##Members[0])},

KESTREL_VALUE_ENUMERATIONS(KESTREL_DEFINE_MEMBERS)

constexpr ValueEnumeration_t kValueEnumerations[] = {
    KESTREL_VALUE_ENUMERATIONS(KESTREL_REGISTRY_ENTRY)};

#undef KESTREL_REGISTRY_ENTRY
#undef KESTREL_DEFINE_MEMBERS
#undef KESTREL_VALUE_ENUMERATOR
#undef KESTREL_VALUE_ENUMERATIONS

}  // namespace

const ValueEnumeration_t* GetValueEnumerations(size_t& count) {
    count = sizeof(kValueEnumerations) / sizeof(kValueEnumerations[0]);
    return kValueEnumerations;
}

const ValueEnumeration_t* FindValueEnumeration(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const ValueEnumeration_t& enumeration : kValueEnumerations) {
        if (std::strcmp(enumeration.name, name) == 0) {
            return &enumeration;
        }
    }
    return nullptr;
}

const char* FindValueEnumeratorName(const ValueEnumeration_t& enumeration, int value) {
    for (size_t i = 0; i < enumeration.count; ++i) {
        if (enumeration.members[i].value == value) {
            return enumeration.members[i].name;
        }
    }
    return nullptr;
}

bool FindValueEnumeratorValue(const ValueEnumeration_t& enumeration, const char* name, int& value) {
    if (name == nullptr) {
        return false;
    }
    for (size_t i = 0; i < enumeration.count; ++i) {
        if (std::strcmp(enumeration.members[i].name, name) == 0) {
            value = enumeration.members[i].value;
            return true;
        }
    }
    return false;
}
