#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// What the framework keeps of hrd_parameters() (H.265 E.2.2): which HRD parameter sets are
// present and how sub-picture parameters are carried.
struct HevcHrdParameters_t {
    // cpb_cnt_minus1 range (H.265 E.3.2).
    static constexpr uint32_t MAX_CPB_CNT_MINUS1 = 31;

    bool nalHrdParametersPresentFlag = false;
    bool vclHrdParametersPresentFlag = false;
    bool subPicHrdParamsPresentFlag = false;
    bool subPicCpbParamsInPicTimingSeiFlag = false;

    bool Parse(RbspReader& reader, bool commonInfPresent, unsigned int maxSubLayersMinus1);

private:
    void SkipSubLayerHrdParameters(RbspReader& reader, uint32_t cpbCntMinus1) const;
};

}  // namespace Cmf
