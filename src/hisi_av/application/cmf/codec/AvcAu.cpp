#include "hisi_av/application/cmf/codec/AvcAu.h"

namespace Cmf {

AvcAu::AvcAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
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

std::size_t AvcAu::GetNalBegin(std::size_t index) const {
    const std::size_t position = m_ScPositions[index];
    const bool threeByteStartCode =
        position + 2 < m_Data.GetSize() && m_Data.GetBegin()[position + 2] == 0x01;
    return position + (threeByteStartCode ? 3 : 4);
}

std::size_t AvcAu::GetNalEnd(std::size_t index) const {
    const std::size_t next =
        index + 1 < m_ScPositions.size() ? m_ScPositions[index + 1] : m_Data.GetSize();
    return next > 0 ? next - 1 : 0;
}

bool AvcAu::GetNalByIndex(std::size_t index, AvcNal& nal) const {
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

bool AvcAu::GetNalByType(AvcNal::UnitType_e type, AvcNal& nal) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        AvcNal candidate;
        if (GetNalByIndex(i, candidate) && candidate.GetUnitType() == type) {
            nal = candidate;
            return true;
        }
    }
    return false;
}

bool AvcAu::GetFirstNalSlice(AvcNal& nal) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        AvcNal candidate;
        if (GetNalByIndex(i, candidate) &&
            (candidate.GetUnitType() == AvcNal::NIDR || candidate.GetUnitType() == AvcNal::IDR)) {
            nal = candidate;
            return true;
        }
    }
    return false;
}

AvcAu AvcAu::Clone() const {
    return AvcAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions);
}

}  // namespace Cmf
