#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// profile_idc, the constraint flags and level_idc of an H.264 sequence parameter set (7.3.2.1.1),
// with the profile named as H.264 Annex A names it.
struct AvcProfileLevel_t {
    // Raw profile_idc values.
    enum ProfileIdcVal_e : uint8_t {
        PROFILE_IDC_CAVLC_444_INTRA = 44,
        PROFILE_IDC_BASELINE = 66,
        PROFILE_IDC_MAIN = 77,
        PROFILE_IDC_SCALABLE_BASELINE = 83,
        PROFILE_IDC_SCALABLE_HIGH = 86,
        PROFILE_IDC_EXT = 88,
        PROFILE_IDC_HIGH = 100,
        PROFILE_IDC_HIGH_10 = 110,
        PROFILE_IDC_MULTIVIEW_HIGH = 118,
        PROFILE_IDC_HIGH_422 = 122,
        PROFILE_IDC_STEREO_HIGH = 128,
        PROFILE_IDC_MFC_HIGH = 134,
        PROFILE_IDC_MFC_DEPTH_HIGH = 135,
        PROFILE_IDC_MULTIVIEW_DEPTH_HIGH = 138,
        PROFILE_IDC_ENHANCED_MULTIVIEW_DEPTH_HIGH = 139,
        PROFILE_IDC_HIGH_444 = 244,
    };

    // The profile, told apart by profile_idc and the constraint flags.
    enum ProfileIdc_e : uint8_t {
        PROFILE_BASELINE = 1,
        PROFILE_MAIN = 2,
        PROFILE_EXTENDED = 3,
        PROFILE_HIGH = 4,
        PROFILE_HIGH_10 = 5,
        PROFILE_HIGH_10_INTRA = 6,
        PROFILE_HIGH_422 = 7,
        PROFILE_HIGH_422_INTRA = 8,
        PROFILE_HIGH_444_PRED = 9,
        PROFILE_HIGH_444_INTRA = 10,
        PROFILE_CAVLC_444_INTRA = 11,
        PROFILE_CONSTRAINED_BASELINE = 12,
        PROFILE_CONSTRAINED_HIGH = 13,
        PROFILE_SCALABLE_BASELINE = 14,
        PROFILE_SCALABLE_CONSTRAINED_BASELINE = 15,
        PROFILE_SCALABLE_HIGH = 16,
        PROFILE_SCALABLE_CONSTRAINED_HIGH = 17,
        PROFILE_SCALABLE_HIGH_INTRA = 18,
        PROFILE_PROGRESSIVE_HIGH = 19,
        PROFILE_MULTIVIEW_HIGH = 20,
        PROFILE_STEREO_HIGH = 21,
        PROFILE_MFC_HIGH = 22,
        PROFILE_MFC_DEPTH_HIGH = 23,
        PROFILE_MULTIVIEW_DEPTH_HIGH = 24,
        PROFILE_DEPTH_HIGH = 25,
        PROFILE_ENHANCED_MULTIVIEW_DEPTH_HIGH = 26,
        PROFILE_UNKNOWN = 27,
    };

    // level_idc as coded, except level 1b (level_idc 11 with constraint_set3_flag).
    enum LevelIdc_e : uint8_t {
        LEVEL_1 = 10,
        LEVEL_1_B = 99,
        LEVEL_1_1 = 11,
        LEVEL_1_2 = 12,
        LEVEL_1_3 = 13,
        LEVEL_2 = 20,
        LEVEL_2_1 = 21,
        LEVEL_2_2 = 22,
        LEVEL_3 = 30,
        LEVEL_3_1 = 31,
        LEVEL_3_2 = 32,
        LEVEL_4 = 40,
        LEVEL_4_1 = 41,
        LEVEL_4_2 = 42,
        LEVEL_5 = 50,
        LEVEL_5_1 = 51,
        LEVEL_5_2 = 52,
        LEVEL_6 = 60,
        LEVEL_6_1 = 61,
        LEVEL_6_2 = 62,
    };

    ProfileIdcVal_e profileIdcVal = ProfileIdcVal_e(0);
    ProfileIdc_e profileIdc = PROFILE_UNKNOWN;
    LevelIdc_e levelIdc = LevelIdc_e(0);

    // Reads from the constraint flags to level_idc; profile_idc must already be in
    // `profileIdcVal`.
    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
