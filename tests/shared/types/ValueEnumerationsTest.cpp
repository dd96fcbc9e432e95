#include "shared/types/ValueEnumerations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "shared/types/AvTypes.h"

namespace {

// A value stays a protocol value only while it is the one the controller expects.
static_assert(W4096_H2160_60P == 0 && VIDEO_FORMAT_INVALID == 40,
              "a zero-filled format field is 4096x2160p60; 40 is no format");
static_assert(VIDEO_STATUS_TYPE_NOTAPPLICABLE == 255 && VIDEO_STATUS_TYPE_END == 256);
static_assert(AUDIO_CHANNEL_NOT_APPLICABLE == 255);

const ValueEnumeration_t& Enumeration(const char* name) {
    const ValueEnumeration_t* enumeration = FindValueEnumeration(name);
    EXPECT_NE(enumeration, nullptr) << name;
    static const ValueEnumeration_t kEmpty = {"", nullptr, 0};
    return enumeration != nullptr ? *enumeration : kEmpty;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Members whose values the controller and the daemon's behaviour depend on.
TEST(ValueEnumerationsTest, ProtocolValues) {
    struct Case {
        const char* enumeration;
        const char* member;
        int value;
    };
    const Case cases[] = {
        {"VideoFormat_e", "W4096_H2160_60P", 0},
        {"VideoFormat_e", "W3840_H2160_23_98P", 15},
        {"VideoFormat_e", "W1920_H1080_60P", 16},
        {"VideoFormat_e", "W1920_H1080_23_98I", 28},
        {"VideoFormat_e", "W1280_H720_50P", 31},
        {"VideoFormat_e", "W720_H480_29_97I_NTSC", 35},
        {"VideoFormat_e", "W720_H576_25I_PAL_N_4X3", 36},
        {"VideoFormat_e", "VIDEO_FORMAT_INVALID", 40},
        {"VideoStatusType_e", "VIDEO_STATUS_TYPE_AVS2", 6},
        {"VideoStatusType_e", "VIDEO_STATUS_TYPE_NOTAPPLICABLE", 255},
        {"VideoStatusType_e", "VIDEO_STATUS_TYPE_END", 256},
        {"AudioChannelCoding_e", "AUDIO_CHANNEL_2_2_2_2", 11},
        {"AudioChannelCoding_e", "AUDIO_CHANNEL_NOT_APPLICABLE", 255},
        {"ColourSpace", "COLOURSPACE_420", 0},
        {"RasterMode_e", "RASTER_MODE_TYPE_END", 3},
        {"VideoType_e", "VIDEO_TYPE_MPEGH", 3},
        {"AudioType_e", "AUDIO_TYPE_NONE", 9},
        {"AudioTypeStatus_e", "AUDIO_TYPE_STATUS_NONE", 11},
        {"OverlayType_e", "OVERLAY_TYPE_CLOSED_CAPTIONS", 2},
        {"OverlayType_e", "OVERLAY_TYPE_DVB_SUBTITLES", 3},
        {"OverlayDtvCcType_e", "OVERLAY_DTV_TYPE_SERVICE6", 6},
        {"Enable_e", "ENABLE_DISABLED", 2},
        {"DecoderSyncMode_e", "DECODER_SYNC_MODE_BUTT", 7},
        {"VideoFrameRate_e", "VIDEO_FRAME_RATE_5994", 7},
        {"VideoProfile_e", "VIDEO_PROFILE_MH_MAIN10", 14},
        {"VideoProfile_e", "VIDEO_PROFILE_M4_HIGH444_INTRA", 20},
        {"VideoLevel_e", "VIDEO_LEVEL_M4_5_1", 20},
        {"VideoLevel_e", "VIDEO_LEVEL_MH_5_2", 21},
        {"VideoLevel_e", "VIDEO_LEVEL_END", 25},
        {"EsType_e", "ES_TYPE_VIDEO", 3},
        {"DecoderEvents_e", "DECODER_EVENT_DECODE_STARTED", 2},
    };
    for (const Case& c : cases) {
        int value = -1;
        EXPECT_TRUE(FindValueEnumeratorValue(Enumeration(c.enumeration), c.member, value))
            << c.member;
        EXPECT_EQ(value, c.value) << c.member;
    }
    // HEVC Main has no profile member: HEVC levels up to 5.1 share the AVC ones instead.
    int unused = 0;
    EXPECT_FALSE(
        FindValueEnumeratorValue(Enumeration("VideoProfile_e"), "VIDEO_PROFILE_MH_MAIN", unused));
    EXPECT_FALSE(
        FindValueEnumeratorValue(Enumeration("VideoLevel_e"), "VIDEO_LEVEL_MH_5_1", unused));
}

// Shape rules shared by the enumerations: UNKNOWN is 0, the END bound is the last member and one
// past the highest valid value, names and values are unique.
TEST(ValueEnumerationsTest, UnknownAndEndBounds) {
    const std::set<std::string> withoutUnknown = {"ColourSpace", "VideoFormat_e", "EsType_e",
                                                  "DecoderEvents_e"};
    const std::set<std::string> withoutEnd = {"ColourSpace", "AudioChannelCoding_e",
                                              "VideoFormat_e", "EsType_e", "DecoderEvents_e"};
    size_t count = 0;
    const ValueEnumeration_t* all = GetValueEnumerations(count);
    for (size_t e = 0; e < count; ++e) {
        const ValueEnumeration_t& enumeration = all[e];
        SCOPED_TRACE(enumeration.name);
        ASSERT_GT(enumeration.count, 1u);

        std::set<std::string> names;
        std::set<int> values;
        const ValueEnumerator_t* unknown = nullptr;
        const ValueEnumerator_t* end = nullptr;
        int highestValid = -1;
        for (size_t m = 0; m < enumeration.count; ++m) {
            const ValueEnumerator_t& member = enumeration.members[m];
            EXPECT_TRUE(names.insert(member.name).second) << member.name;
            EXPECT_TRUE(values.insert(member.value).second) << member.name;
            const std::string name = member.name;
            if (EndsWith(name, "_UNKNOWN")) {
                unknown = &member;
            } else if (EndsWith(name, "_END")) {
                end = &member;
                EXPECT_EQ(m, enumeration.count - 1) << "bound is not the last member";
            } else {
                highestValid = std::max(highestValid, member.value);
            }
        }
        const bool expectUnknown = withoutUnknown.count(enumeration.name) == 0;
        const bool expectEnd = withoutEnd.count(enumeration.name) == 0;
        ASSERT_EQ(unknown != nullptr, expectUnknown);
        ASSERT_EQ(end != nullptr, expectEnd);
        if (unknown != nullptr) {
            EXPECT_EQ(unknown->value, 0);
            EXPECT_EQ(unknown, &enumeration.members[0]);
        }
        if (end != nullptr) {
            EXPECT_EQ(end->value, highestValid + 1) << end->name;
        }
    }
}

TEST(ValueEnumerationsTest, LookupsRejectWhatIsNotThere) {
    EXPECT_EQ(FindValueEnumeration(nullptr), nullptr);
    EXPECT_EQ(FindValueEnumeration("VideoType"), nullptr);
    EXPECT_EQ(FindValueEnumeration("videotype_e"), nullptr);

    const ValueEnumeration_t& rates = Enumeration("VideoFrameRate_e");
    EXPECT_STREQ(FindValueEnumeratorName(rates, 3), "VIDEO_FRAME_RATE_25");
    EXPECT_EQ(FindValueEnumeratorName(rates, 10), nullptr);
    EXPECT_EQ(FindValueEnumeratorName(rates, -1), nullptr);

    int value = 77;
    EXPECT_FALSE(FindValueEnumeratorValue(rates, "VIDEO_FRAME_RATE_23", value));
    EXPECT_FALSE(FindValueEnumeratorValue(rates, "VIDEO_TYPE_MPEG2", value));
    EXPECT_FALSE(FindValueEnumeratorValue(rates, nullptr, value));
    EXPECT_EQ(value, 77);
}

// The registry lists every enumeration in order under its type name, and each entry holds the
// members of that very enumeration: every member resolves both ways through the enumeration's own
// name table.
template <typename Enum, size_t N>
void ExpectSameMembers(const ValueEnumeration_t& enumeration,
                       const XP::EnumName_t<Enum> (&table)[N]) {
    SCOPED_TRACE(enumeration.name);
    ASSERT_EQ(enumeration.count, N);
    for (size_t m = 0; m < enumeration.count; ++m) {
        const ValueEnumerator_t& member = enumeration.members[m];
        Enum value{};
        ASSERT_TRUE(XP::EnumValue(table, member.name, value)) << member.name;
        EXPECT_EQ(static_cast<int>(value), member.value) << member.name;
        EXPECT_STREQ(XP::EnumName(table, static_cast<Enum>(member.value)), member.name);
    }
}

TEST(ValueEnumerationsTest, RegistryMatchesEachEnumeration) {
    size_t count = 0;
    const ValueEnumeration_t* all = GetValueEnumerations(count);
    std::vector<std::string> names;
    for (size_t e = 0; e < count; ++e) {
        names.push_back(all[e].name);
        EXPECT_EQ(FindValueEnumeration(all[e].name), &all[e]);
    }
    const std::vector<std::string> expected = {"VideoOutputInterface_e",
                                               "FormatMode_e",
                                               "RasterMode_e",
                                               "RasterColor_e",
                                               "HdDisplayMode_e",
                                               "SdDisplayMode_e",
                                               "AspectRatioConversion_e",
                                               "Composite525_e",
                                               "Composite625_e",
                                               "ColourSpace",
                                               "OverlayType_e",
                                               "OverlayCcType_e",
                                               "OverlayNtscCcType_e",
                                               "OverlayDtvCcType_e",
                                               "Enable_e",
                                               "AudioState_e",
                                               "AnalogAudio_e",
                                               "AudioDigitalMode_e",
                                               "DecoderSyncMode_e",
                                               "VideoType_e",
                                               "AudioType_e",
                                               "Status_e",
                                               "SyncStatus_e",
                                               "VideoStatusType_e",
                                               "VideoResolutionType_e",
                                               "VideoScanType_e",
                                               "VideoAspectRatio_e",
                                               "VideoFrameRate_e",
                                               "VideoChromaFormat_e",
                                               "ChromaBitDepth_e",
                                               "AudioTypeStatus_e",
                                               "AudioChannelCoding_e",
                                               "AudioBitsPerSample_e",
                                               "VideoProfile_e",
                                               "VideoLevel_e",
                                               "VideoFormat_e",
                                               "EsType_e",
                                               "DecoderEvents_e"};
    EXPECT_EQ(names, expected);

    ExpectSameMembers(Enumeration("VideoOutputInterface_e"), kVideoOutputInterfaceNames);
    ExpectSameMembers(Enumeration("FormatMode_e"), kFormatModeNames);
    ExpectSameMembers(Enumeration("RasterMode_e"), kRasterModeNames);
    ExpectSameMembers(Enumeration("RasterColor_e"), kRasterColorNames);
    ExpectSameMembers(Enumeration("HdDisplayMode_e"), kHdDisplayModeNames);
    ExpectSameMembers(Enumeration("SdDisplayMode_e"), kSdDisplayModeNames);
    ExpectSameMembers(Enumeration("AspectRatioConversion_e"), kAspectRatioConversionNames);
    ExpectSameMembers(Enumeration("Composite525_e"), kComposite525Names);
    ExpectSameMembers(Enumeration("Composite625_e"), kComposite625Names);
    ExpectSameMembers(Enumeration("ColourSpace"), kColourSpaceNames);
    ExpectSameMembers(Enumeration("OverlayType_e"), kOverlayTypeNames);
    ExpectSameMembers(Enumeration("OverlayCcType_e"), kOverlayCcTypeNames);
    ExpectSameMembers(Enumeration("OverlayNtscCcType_e"), kOverlayNtscCcTypeNames);
    ExpectSameMembers(Enumeration("OverlayDtvCcType_e"), kOverlayDtvCcTypeNames);
    ExpectSameMembers(Enumeration("Enable_e"), kEnableNames);
    ExpectSameMembers(Enumeration("AudioState_e"), kAudioStateNames);
    ExpectSameMembers(Enumeration("AnalogAudio_e"), kAnalogAudioNames);
    ExpectSameMembers(Enumeration("AudioDigitalMode_e"), kAudioDigitalModeNames);
    ExpectSameMembers(Enumeration("DecoderSyncMode_e"), kDecoderSyncModeNames);
    ExpectSameMembers(Enumeration("VideoType_e"), kVideoTypeNames);
    ExpectSameMembers(Enumeration("AudioType_e"), kAudioTypeNames);
    ExpectSameMembers(Enumeration("Status_e"), kStatusNames);
    ExpectSameMembers(Enumeration("SyncStatus_e"), kSyncStatusNames);
    ExpectSameMembers(Enumeration("VideoStatusType_e"), kVideoStatusTypeNames);
    ExpectSameMembers(Enumeration("VideoResolutionType_e"), kVideoResolutionTypeNames);
    ExpectSameMembers(Enumeration("VideoScanType_e"), kVideoScanTypeNames);
    ExpectSameMembers(Enumeration("VideoAspectRatio_e"), kVideoAspectRatioNames);
    ExpectSameMembers(Enumeration("VideoFrameRate_e"), kVideoFrameRateNames);
    ExpectSameMembers(Enumeration("VideoChromaFormat_e"), kVideoChromaFormatNames);
    ExpectSameMembers(Enumeration("ChromaBitDepth_e"), kChromaBitDepthNames);
    ExpectSameMembers(Enumeration("AudioTypeStatus_e"), kAudioTypeStatusNames);
    ExpectSameMembers(Enumeration("AudioChannelCoding_e"), kAudioChannelCodingNames);
    ExpectSameMembers(Enumeration("AudioBitsPerSample_e"), kAudioBitsPerSampleNames);
    ExpectSameMembers(Enumeration("VideoProfile_e"), kVideoProfileNames);
    ExpectSameMembers(Enumeration("VideoLevel_e"), kVideoLevelNames);
    ExpectSameMembers(Enumeration("VideoFormat_e"), kVideoFormatNames);
    ExpectSameMembers(Enumeration("EsType_e"), kEsTypeNames);
    ExpectSameMembers(Enumeration("DecoderEvents_e"), kDecoderEventNames);
}

}  // namespace
