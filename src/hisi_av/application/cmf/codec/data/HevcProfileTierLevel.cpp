#include "hisi_av/application/cmf/codec/data/HevcProfileTierLevel.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// sps_max_sub_layers_minus1 is a 3-bit field: at most 7 sub-layers besides the highest.
constexpr unsigned int MAX_SUB_LAYERS_MINUS1 = 7;

}  // namespace

bool HevcProfileTierLevel_t::Parse(RbspReader& reader, unsigned int maxSubLayersMinus1) {
    if (reader.GetBytesRemaining() < MIN_PTL_BYTES) {
        XP::MyPrintf("PTL too small");
        return false;
    }
    reader.U(2);  // general_profile_space
    generalTierFlag = static_cast<uint8_t>(reader.U(1));
    generalProfileIdc = static_cast<ProfileIdc_e>(reader.U(5));
    reader.U(32);  // general_profile_compatibility_flag[32]
    generalProgressiveSourceFlag = static_cast<uint8_t>(reader.U(1));
    generalInterlacedSourceFlag = static_cast<uint8_t>(reader.U(1));
    reader.U(1);   // general_non_packed_constraint_flag
    reader.U(1);   // general_frame_only_constraint_flag
    reader.U(32);  // general_reserved_zero_43bits and general_inbld_flag: 44 bits
    reader.U(12);
    generalLevelIdc = static_cast<LevelIdc_e>(reader.U(8));

    const unsigned int subLayers =
        maxSubLayersMinus1 > MAX_SUB_LAYERS_MINUS1 ? MAX_SUB_LAYERS_MINUS1 : maxSubLayersMinus1;
    bool profilePresent[MAX_SUB_LAYERS_MINUS1] = {};
    bool levelPresent[MAX_SUB_LAYERS_MINUS1] = {};
    for (unsigned int i = 0; i < subLayers; ++i) {
        profilePresent[i] = reader.GetBit();  // sub_layer_profile_present_flag
        levelPresent[i] = reader.GetBit();    // sub_layer_level_present_flag
    }
    if (subLayers > 0) {
        for (unsigned int i = subLayers; i < 8; ++i) {
            reader.U(2);  // reserved_zero_2bits
        }
    }
    for (unsigned int i = 0; i < subLayers; ++i) {
        if (profilePresent[i]) {
            // profile space, tier, profile, 32 compatibility flags, 4 source/constraint flags and
            // 44 reserved bits: 88 bits.
            reader.SkipBits(88);
        }
        if (levelPresent[i]) {
            reader.U(8);  // sub_layer_level_idc
        }
    }
    return true;
}

}  // namespace Cmf
