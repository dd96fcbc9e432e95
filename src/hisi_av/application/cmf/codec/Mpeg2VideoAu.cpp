#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"

namespace Cmf {

Mpeg2VideoAu::Mpeg2VideoAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
                           const std::vector<unsigned int>& scPositions)
    : StartCodeAu(data, pts, dts, scPositions) {}

bool Mpeg2VideoAu::GetHeaderByIndex(std::size_t index, Mpeg2VideoHeader& header) const {
    XP::CBuffer bytes;
    if (index >= m_ScPositions.size() || !GetUnitBytes(index, GetHeaderBegin(index), bytes)) {
        return false;
    }
    header.SetData(bytes);
    return true;
}

template <typename Predicate_t>
bool Mpeg2VideoAu::FindHeader(Predicate_t matches, Mpeg2VideoHeader& header) const {
    for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
        Mpeg2VideoHeader candidate;
        if (GetHeaderByIndex(i, candidate) && matches(candidate)) {
            header = candidate;
            return true;
        }
    }
    return false;
}

bool Mpeg2VideoAu::GetFirstHeaderByType(Mpeg2VideoHeader::ScValue_e value,
                                        Mpeg2VideoHeader& header) const {
    return FindHeader(
        [value](const Mpeg2VideoHeader& candidate) {
            return candidate.GetStartCodeValue() == value;
        },
        header);
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
    return FindHeader(
        [extension](const Mpeg2VideoHeader& candidate) {
            return candidate.GetStartCodeValue() == Mpeg2VideoHeader::EXTENSION_SC &&
                   candidate.GetExtensionStartCodeIdentifier() == extension;
        },
        header);
}

bool Mpeg2VideoAu::GetFirstHeaderSlice(Mpeg2VideoHeader& header) const {
    return GetFirstHeaderByType(Mpeg2VideoHeader::SLICE_SC, header);
}

Mpeg2VideoAu Mpeg2VideoAu::Clone() const {
    return Mpeg2VideoAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions);
}

}  // namespace Cmf
