#pragma once

#include <cstddef>
#include <vector>

#include "hisi_av/application/cmf/codec/AccessUnit.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"

namespace Cmf {

// An H.265 access unit in byte-stream form with the offsets of its start codes, so that its NAL
// units can be found without searching again.
//
// A unit's extent: it begins after its start code (position + 3 for 00 00 01, else position + 4)
// and ends one byte before the next start code's position, or one byte before the end of the
// access unit for the last unit; the byte at the end offset is not part of the unit.
//
// Lifetime: as AccessUnit; the NAL views share the access unit's bytes.
class HevcAu : public AccessUnit {
public:
    // With an empty position list the data is scanned for 00 00 01; for 00 00 00 01 the position
    // found is that of the second zero.
    HevcAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
           const std::vector<unsigned int>& scPositions);

    std::size_t GetNalCount() const { return m_ScPositions.size(); }
    // False when there is no such unit or it has no bytes.
    bool GetNalByIndex(std::size_t index, HevcNal& nal) const;
    // The first unit of that type.
    bool GetNalByType(HevcNal::UnitType_e type, HevcNal& nal) const;
    // The first slice segment (ContainsSliceSegment).
    bool GetFirstNalSlice(HevcNal& nal) const;
    std::size_t GetNalBegin(std::size_t index) const;
    std::size_t GetNalEnd(std::size_t index) const;
    const std::vector<unsigned int>& GetScPositions() const { return m_ScPositions; }

    // VCL types that carry a slice segment: 0-9 and the IRAP types 16-23.
    static bool ContainsSliceSegment(unsigned int type);

    // A copy that owns its bytes.
    HevcAu Clone() const;

private:
    std::vector<unsigned int> m_ScPositions;
};

}  // namespace Cmf
