#pragma once

#include <cstddef>
#include <vector>

#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "hisi_av/application/cmf/codec/StartCodeAu.h"

namespace Cmf {

// An H.262 coded picture with its prefix headers (sequence, group, picture, extensions, user
// data) and the offsets of its start codes. A header begins at its own start code and ends as
// StartCodeAu describes.
//
// Lifetime: as AccessUnit; the header views share the access unit's bytes.
class Mpeg2VideoAu : public StartCodeAu {
public:
    // With an empty position list the data is scanned for 00 00 01.
    Mpeg2VideoAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
                 const std::vector<unsigned int>& scPositions);

    std::size_t GetHeaderCount() const { return m_ScPositions.size(); }
    // False when there is no such header or it has no bytes.
    bool GetHeaderByIndex(std::size_t index, Mpeg2VideoHeader& header) const;
    // Every header with that start code value, in stream order; false when there is none.
    bool GetHeaderByType(Mpeg2VideoHeader::ScValue_e value,
                         std::vector<Mpeg2VideoHeader>& headers) const;
    // The first header with that start code value.
    bool GetFirstHeaderByType(Mpeg2VideoHeader::ScValue_e value, Mpeg2VideoHeader& header) const;
    // The first extension header with that identifier.
    bool GetExtensionByType(Mpeg2VideoHeader::ExtensionType_e extension,
                            Mpeg2VideoHeader& header) const;
    bool GetFirstHeaderSlice(Mpeg2VideoHeader& header) const;
    std::size_t GetHeaderBegin(std::size_t index) const { return m_ScPositions[index]; }
    std::size_t GetHeaderEnd(std::size_t index) const { return GetUnitEnd(index); }

    // A copy that owns its bytes.
    Mpeg2VideoAu Clone() const;

private:
    template <typename Predicate_t>
    bool FindHeader(Predicate_t matches, Mpeg2VideoHeader& header) const;
};

}  // namespace Cmf
