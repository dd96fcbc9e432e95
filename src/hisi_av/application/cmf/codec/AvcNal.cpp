#include "hisi_av/application/cmf/codec/AvcNal.h"

namespace Cmf {

uint8_t AvcNal::GetRefIdc() const {
    if (m_Data.IsEmpty()) {
        return 0;
    }
    return XP::INTERNAL::GetLayout<AvcNalUnitHeader_t>(m_Data.GetBegin())->refIdc_t_.Get();
}

AvcNal::UnitType_e AvcNal::GetUnitType() const {
    if (m_Data.IsEmpty()) {
        return UNSPECIFIED;
    }
    return static_cast<UnitType_e>(
        XP::INTERNAL::GetLayout<AvcNalUnitHeader_t>(m_Data.GetBegin())->unitType_t_.Get());
}

XP::CBuffer AvcNal::GetPayload() const {
    if (m_Data.GetSize() <= 1) {
        return XP::CBuffer();
    }
    return m_Data.Subslice(1, m_Data.GetSize() - 1);
}

}  // namespace Cmf
