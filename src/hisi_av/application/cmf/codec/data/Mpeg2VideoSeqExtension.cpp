#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqExtension.h"

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

constexpr uint32_t ESCAPE_BIT = 0x80;

// Profiles and levels named by the escape codes (H.262 Table 8-1); other escape codes name
// nothing this system knows.
struct EscapedProfileLevel_t {
    uint8_t indication;
    Mpeg2VideoSeqExtension_t::ProfileIdc_e profile;
    Mpeg2VideoSeqExtension_t::LevelIdc_e level;
};

constexpr EscapedProfileLevel_t ESCAPED_PROFILE_LEVELS[] = {
    {0x82, Mpeg2VideoSeqExtension_t::PROFILE_4_2_2, Mpeg2VideoSeqExtension_t::LEVEL_HIGH},
    {0x85, Mpeg2VideoSeqExtension_t::PROFILE_4_2_2, Mpeg2VideoSeqExtension_t::LEVEL_MAIN},
    {0x8A, Mpeg2VideoSeqExtension_t::PROFILE_MULTI_VIEW, Mpeg2VideoSeqExtension_t::LEVEL_HIGH},
    {0x8B, Mpeg2VideoSeqExtension_t::PROFILE_MULTI_VIEW, Mpeg2VideoSeqExtension_t::LEVEL_HIGH_1440},
    {0x8D, Mpeg2VideoSeqExtension_t::PROFILE_MULTI_VIEW, Mpeg2VideoSeqExtension_t::LEVEL_MAIN},
    {0x8E, Mpeg2VideoSeqExtension_t::PROFILE_MULTI_VIEW, Mpeg2VideoSeqExtension_t::LEVEL_LOW},
};

}  // namespace

void Mpeg2VideoSeqExtension_t::SetProfileAndLevel(uint32_t profileAndLevelIndication) {
    if ((profileAndLevelIndication & ESCAPE_BIT) != 0) {
        for (const EscapedProfileLevel_t& escaped : ESCAPED_PROFILE_LEVELS) {
            if (escaped.indication == profileAndLevelIndication) {
                profile = escaped.profile;
                level = escaped.level;
            }
        }
        return;
    }
    const uint32_t profileValue = (profileAndLevelIndication >> 4) & 0x07;
    profile =
        profileValue < PROFILE_4_2_2 ? static_cast<ProfileIdc_e>(profileValue) : PROFILE_RESERVED;
    const uint32_t levelValue = profileAndLevelIndication & 0x0F;
    switch (levelValue) {
        case LEVEL_HIGH:
        case LEVEL_HIGH_1440:
        case LEVEL_MAIN:
        case LEVEL_LOW:
            level = static_cast<LevelIdc_e>(levelValue);
            break;
        default:
            level = LEVEL_RESERVED;
            break;
    }
}

bool Mpeg2VideoSeqExtension_t::Parse(BitstreamReader& reader) {
    if (reader.GetBytesRemaining() < MIN_SEQUENCE_EXTENSION_BYTES) {
        XP::MyPrintf("Sequence extension too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // extension_start_code
    reader.GetBits(4);   // extension_start_code_identifier
    SetProfileAndLevel(reader.GetBits(8));
    progressiveSequence = reader.GetBit();
    chromaFormat = static_cast<ChromaFormatIdc_e>(reader.GetBits(2));
    horizontalSizeExtension = reader.GetBits(2);
    verticalSizeExtension = reader.GetBits(2);
    return true;
}

}  // namespace Cmf
