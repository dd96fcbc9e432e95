#include "hisi_av/application/cmf/codec/StartCodeAu.h"

namespace Cmf {

StartCodeAu::StartCodeAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
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

std::size_t StartCodeAu::GetUnitEnd(std::size_t index) const {
    const std::size_t next =
        index + 1 < m_ScPositions.size() ? m_ScPositions[index + 1] : m_Data.GetSize();
    return next > 0 ? next - 1 : 0;
}

bool StartCodeAu::GetUnitBytes(std::size_t index, std::size_t begin, XP::CBuffer& bytes) const {
    const std::size_t end = GetUnitEnd(index);
    if (begin >= end || end > m_Data.GetSize()) {
        return false;
    }
    bytes = m_Data.Subslice(begin, end - begin);
    return true;
}

}  // namespace Cmf
