#include "hisi_av/application/cmf/codec/data/AvcProfileLevel.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

AvcProfileLevel_t::ProfileIdc_e NameProfile(unsigned int profileIdc, const bool (&constraint)[6]) {
    using P = AvcProfileLevel_t;
    switch (profileIdc) {
        case P::PROFILE_IDC_CAVLC_444_INTRA:
            return P::PROFILE_CAVLC_444_INTRA;
        case P::PROFILE_IDC_BASELINE:
            return constraint[1] ? P::PROFILE_CONSTRAINED_BASELINE : P::PROFILE_BASELINE;
        case P::PROFILE_IDC_MAIN:
            return P::PROFILE_MAIN;
        case P::PROFILE_IDC_SCALABLE_BASELINE:
            return constraint[5] ? P::PROFILE_SCALABLE_CONSTRAINED_BASELINE
                                 : P::PROFILE_SCALABLE_BASELINE;
        case P::PROFILE_IDC_SCALABLE_HIGH:
            if (constraint[5]) {
                return P::PROFILE_SCALABLE_CONSTRAINED_HIGH;
            }
            return constraint[3] ? P::PROFILE_SCALABLE_HIGH_INTRA : P::PROFILE_SCALABLE_HIGH;
        case P::PROFILE_IDC_EXT:
            return P::PROFILE_EXTENDED;
        case P::PROFILE_IDC_HIGH:
            if (constraint[4]) {
                return constraint[5] ? P::PROFILE_CONSTRAINED_HIGH : P::PROFILE_PROGRESSIVE_HIGH;
            }
            return P::PROFILE_HIGH;
        case P::PROFILE_IDC_HIGH_10:
            return constraint[3] ? P::PROFILE_HIGH_10_INTRA : P::PROFILE_HIGH_10;
        case P::PROFILE_IDC_MULTIVIEW_HIGH:
            return P::PROFILE_MULTIVIEW_HIGH;
        case P::PROFILE_IDC_HIGH_422:
            return constraint[3] ? P::PROFILE_HIGH_422_INTRA : P::PROFILE_HIGH_422;
        case P::PROFILE_IDC_STEREO_HIGH:
            return P::PROFILE_STEREO_HIGH;
        case P::PROFILE_IDC_MFC_HIGH:
            return P::PROFILE_MFC_HIGH;
        case P::PROFILE_IDC_MFC_DEPTH_HIGH:
            return P::PROFILE_MFC_DEPTH_HIGH;
        case P::PROFILE_IDC_MULTIVIEW_DEPTH_HIGH:
            return P::PROFILE_MULTIVIEW_DEPTH_HIGH;
        case P::PROFILE_IDC_ENHANCED_MULTIVIEW_DEPTH_HIGH:
            return P::PROFILE_ENHANCED_MULTIVIEW_DEPTH_HIGH;
        case P::PROFILE_IDC_HIGH_444:
            return constraint[3] ? P::PROFILE_HIGH_444_INTRA : P::PROFILE_HIGH_444_PRED;
        default:
            return P::PROFILE_UNKNOWN;
    }
}

}  // namespace

bool AvcProfileLevel_t::Parse(RbspReader& reader) {
    if (reader.GetBytesRemaining() < 2) {
        XP::MyPrintf("PL too small");
        return false;
    }
    bool constraint[6];
    for (bool& flag : constraint) {
        flag = reader.GetBit();  // constraint_set0_flag .. constraint_set5_flag
    }
    if (reader.U(2) != 0) {  // reserved_zero_2bits
        XP::MyPrintf("reserved_zero_2bits not present");
        return false;
    }
    const uint32_t level = reader.B();  // level_idc
    // Level 1b is coded as level_idc 11 with constraint_set3_flag (A.3.1, A.3.2).
    levelIdc = (constraint[3] && level == LEVEL_1_1) ? LEVEL_1_B : static_cast<LevelIdc_e>(level);
    profileIdc = NameProfile(profileIdcVal, constraint);
    return true;
}

}  // namespace Cmf
