#pragma once

#include <vector>

#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/StartCodeAu.h"

namespace Cmf {

// An H.265 access unit in byte-stream form with the offsets of its start codes; its NAL units are
// found as NalAu describes.
class HevcAu : public NalAu<HevcAu, HevcNal> {
public:
    // With an empty position list the data is scanned for 00 00 01; for 00 00 00 01 the position
    // found is that of the second zero.
    HevcAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
           const std::vector<unsigned int>& scPositions)
        : NalAu(data, pts, dts, scPositions) {}

    // VCL types that carry a slice segment: 0-9 and the IRAP types 16-23.
    static bool ContainsSliceSegment(unsigned int type) {
        return type <= HevcNal::RASL_R ||
               (type >= HevcNal::BLA_W_LP && type <= HevcNal::RSV_IRAP_23);
    }
    static bool ContainsSlice(unsigned int type) { return ContainsSliceSegment(type); }

    // A copy that owns its bytes.
    HevcAu Clone() const { return HevcAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions); }
};

}  // namespace Cmf
