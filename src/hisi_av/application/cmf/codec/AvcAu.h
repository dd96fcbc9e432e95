#pragma once

#include <vector>

#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/StartCodeAu.h"

namespace Cmf {

// An H.264 access unit in byte-stream form with the offsets of its start codes; its NAL units are
// found as NalAu describes.
class AvcAu : public NalAu<AvcAu, AvcNal> {
public:
    // With an empty position list the data is scanned for 00 00 01; for 00 00 00 01 the position
    // found is that of the second zero.
    AvcAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
          const std::vector<unsigned int>& scPositions)
        : NalAu(data, pts, dts, scPositions) {}

    // Coded slices: non-IDR and IDR.
    static bool ContainsSlice(unsigned int type) {
        return type == AvcNal::NIDR || type == AvcNal::IDR;
    }

    // A copy that owns its bytes.
    AvcAu Clone() const { return AvcAu(m_Data.Clone(), m_Pts, m_Dts, m_ScPositions); }
};

}  // namespace Cmf
