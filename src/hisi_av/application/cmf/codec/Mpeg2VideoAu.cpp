#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"

namespace Cmf {

Mpeg2VideoAu::Mpeg2VideoAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
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

std::size_t Mpeg2VideoAu::GetHeaderBegin(std::size_t index) const {
    return m_ScPositions[index];
}

std::size_t Mpeg2VideoAu::GetHeaderEnd(std::size_t index) const {
    const std::size_t next =
        index + 1 < m_ScPositions.size() ? m_ScPositions[index + 1] : m_Data.GetSize();
    return next > 0 ? next - 1 : 0;
}

bool Mpeg2VideoAu::GetHeaderByIndex(std::size_t index, Mpeg2VideoHeader& header) const {
    if (index >= m_ScPositions.size()) {
        return false;
    }
    const std::size_t begin = GetHeaderBegin(index);
    const std::size_t end = GetHeaderEnd(index);
    // Positions come from outside (a caller's list): never trust them past the data.
    if (begin >= end || end > m_Data.GetSize()) {
        return false;
    }
    header.SetData(m_Data.Subslice(begin, end - begin));
    return true;
}

bool Mpeg2VideoAu::GetFirstHeaderByType(Mpeg2VideoHeader::ScValue_e value,
                                        Mpeg2VideoHeader& header) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        Mpeg2VideoHeader candidate;
        if (GetHeaderByIndex(i, candidate) && candidate.GetStartCodeValue() == value) {
            header = candidate;
            return true;
        }
    }
    return false;
}

bool Mpeg2VideoAu::GetHeaderByType(Mpeg2VideoHeader::ScValue_e value,
                                   std::vector<Mpeg2VideoHeader>& headers) const {
    headers.clear();
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        Mpeg2VideoHeader candidate;
        if (GetHeaderByIndex(i, candidate) && candidate.GetStartCodeValue() == value) {
            headers.push_back(candidate);
        }
    }
    return !headers.empty();
}

bool Mpeg2VideoAu::GetExtensionByType(Mpeg2VideoHeader::ExtensionType_e extension,
                                      Mpeg2VideoHeader& header) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        Mpeg2VideoHeader candidate;
        if (GetHeaderByIndex(i, candidate) &&
            candidate.GetStartCodeValue() == Mpeg2VideoHeader::EXTENSION_SC &&
            candidate.GetExtensionStartCodeIdentifier() == extension) {
            header = candidate;
            return true;
        }
    }
    return false;
}

bool Mpeg2VideoAu::GetFirstHeaderSlice(Mpeg2VideoHeader& header) const {
    return GetFirstHeaderByType(Mpeg2VideoHeader::SLICE_SC, header);
}

Mpeg2VideoAu Mpeg2VideoAu::Clone() const {
    return Mpeg2VideoAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions);
}

}  // namespace Cmf
