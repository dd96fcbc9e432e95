#include "hisi_av/application/cmf/codec/HevcAu.h"

namespace Cmf {

HevcAu::HevcAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
               const std::vector<unsigned int>& scPositions)
    : AccessUnit(data, pts, dts), m_ScPositions(scPositions) {
    if (!m_ScPositions.empty()) {
        return;
    }
    const unsigned char* bytes = m_Data.GetBegin();
    const std::size_t size = m_Data.GetSize();
    for (std::size_t i = 0; i + 3 < size; ++i) {
        if (bytes[i] == 0x00 && bytes[i + 1] == 0x00 && bytes[i + 2] == 0x01) {
            m_ScPositions.push_back(static_cast<unsigned int>(i));
            i += 2;
        }
    }
}

bool HevcAu::ContainsSliceSegment(unsigned int type) {
    return type <= HevcNal::RASL_R || (type >= HevcNal::BLA_W_LP && type <= HevcNal::RSV_IRAP_23);
}

std::size_t HevcAu::GetNalBegin(std::size_t index) const {
    const std::size_t position = m_ScPositions[index];
    const bool threeByteStartCode =
        position + 2 < m_Data.GetSize() && m_Data.GetBegin()[position + 2] == 0x01;
    return position + (threeByteStartCode ? 3 : 4);
}

std::size_t HevcAu::GetNalEnd(std::size_t index) const {
    const std::size_t next =
        index + 1 < m_ScPositions.size() ? m_ScPositions[index + 1] : m_Data.GetSize();
    return next > 0 ? next - 1 : 0;
}

bool HevcAu::GetNalByIndex(std::size_t index, HevcNal& nal) const {
    if (index >= m_ScPositions.size()) {
        return false;
    }
    const std::size_t begin = GetNalBegin(index);
    const std::size_t end = GetNalEnd(index);
    if (begin >= end || end > m_Data.GetSize()) {
        return false;
    }
    nal.SetData(m_Data.Subslice(begin, end - begin));
    return true;
}

bool HevcAu::GetNalByType(HevcNal::UnitType_e type, HevcNal& nal) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        HevcNal candidate;
        if (GetNalByIndex(i, candidate) && candidate.GetUnitType() == type) {
            nal = candidate;
            return true;
        }
    }
    return false;
}

bool HevcAu::GetFirstNalSlice(HevcNal& nal) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        HevcNal candidate;
        if (GetNalByIndex(i, candidate) && ContainsSliceSegment(candidate.GetUnitType())) {
            nal = candidate;
            return true;
        }
    }
    return false;
}

HevcAu HevcAu::Clone() const {
    return HevcAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions);
}

}  // namespace Cmf
