#include "hisi_av/application/cmf/codec/data/HevcHrdParameters.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcHrdParameters_t::Parse(RbspReader& reader, bool commonInfPresent,
                                unsigned int maxSubLayersMinus1) {
    if (reader.GetBytesRemaining() == 0) {
        XP::MyPrintf("HRD too small");
        return false;
    }
    if (!commonInfPresent) {
        return true;
    }
    nalHrdParametersPresentFlag = reader.GetBit();
    vclHrdParametersPresentFlag = reader.GetBit();
    subPicHrdParamsPresentFlag = false;
    subPicCpbParamsInPicTimingSeiFlag = false;
    if (nalHrdParametersPresentFlag || vclHrdParametersPresentFlag) {
        subPicHrdParamsPresentFlag = reader.GetBit();
        if (subPicHrdParamsPresentFlag) {
            reader.U(8);  // tick_divisor_minus2
            reader.U(5);  // du_cpb_removal_delay_increment_length_minus1
            subPicCpbParamsInPicTimingSeiFlag = reader.GetBit();
            reader.U(5);  // dpb_output_delay_du_length_minus1
        }
        reader.U(4);  // bit_rate_scale
        reader.U(4);  // cpb_size_scale
        if (subPicHrdParamsPresentFlag) {
            reader.U(4);  // cpb_size_du_scale
        }
        reader.U(5);  // initial_cpb_removal_delay_length_minus1
        reader.U(5);  // au_cpb_removal_delay_length_minus1
        reader.U(5);  // dpb_output_delay_length_minus1
    }
    for (unsigned int i = 0; i <= maxSubLayersMinus1; ++i) {
        const bool fixedPicRateGeneral = reader.GetBit();
        const bool fixedPicRateWithinCvs = fixedPicRateGeneral || reader.GetBit();
        bool lowDelayHrd = false;
        if (fixedPicRateWithinCvs) {
            reader.Ue();  // elemental_duration_in_tc_minus1
        } else {
            lowDelayHrd = reader.GetBit();
        }
        uint32_t cpbCntMinus1 = 0;
        if (!lowDelayHrd) {
            cpbCntMinus1 = reader.Ue();
            if (cpbCntMinus1 > MAX_CPB_CNT_MINUS1) {
                XP::MyPrintf("cpb_cnt_minus1 out of range %u", cpbCntMinus1);
                return false;
            }
        }
        if (nalHrdParametersPresentFlag) {
            SkipSubLayerHrdParameters(reader, cpbCntMinus1);
        }
        if (vclHrdParametersPresentFlag) {
            SkipSubLayerHrdParameters(reader, cpbCntMinus1);
        }
    }
    return true;
}

void HevcHrdParameters_t::SkipSubLayerHrdParameters(RbspReader& reader,
                                                    uint32_t cpbCntMinus1) const {
    for (uint32_t j = 0; j <= cpbCntMinus1; ++j) {
        reader.Ue();  // bit_rate_value_minus1
        reader.Ue();  // cpb_size_value_minus1
        if (subPicHrdParamsPresentFlag) {
            reader.Ue();  // cpb_size_du_value_minus1
            reader.Ue();  // bit_rate_du_value_minus1
        }
        reader.GetBit();  // cbr_flag
    }
}

}  // namespace Cmf
