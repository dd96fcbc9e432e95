#include "hisi_av/application/cmf/codec/HevcNal.h"

namespace Cmf {

namespace {

const HevcNal::NalUnitHeader_t* Header(const XP::CBuffer& data) {
    if (data.GetSize() < HevcNal::HEADER_SIZE) {
        return nullptr;
    }
    return XP::INTERNAL::GetLayout<HevcNal::NalUnitHeader_t>(data.GetBegin());
}

}  // namespace

HevcNal::UnitType_e HevcNal::GetUnitType() const {
    const NalUnitHeader_t* header = Header(m_Data);
    return header == nullptr ? TRAIL_N : static_cast<UnitType_e>(header->unitType_t_.Get());
}

uint8_t HevcNal::GetLayerId() const {
    const NalUnitHeader_t* header = Header(m_Data);
    return header == nullptr ? 0 : static_cast<uint8_t>(header->layerId_t_.Get());
}

uint8_t HevcNal::GetTemporalIdPlus1() const {
    const NalUnitHeader_t* header = Header(m_Data);
    return header == nullptr ? 0 : static_cast<uint8_t>(header->temporalIdPlus1_t_.Get());
}

XP::CBuffer HevcNal::GetPayload() const {
    if (m_Data.GetSize() <= HEADER_SIZE) {
        return XP::CBuffer();
    }
    return m_Data.Subslice(HEADER_SIZE, m_Data.GetSize() - HEADER_SIZE);
}

}  // namespace Cmf
