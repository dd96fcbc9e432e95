#pragma once

#include <cstddef>
#include <vector>

#include "hisi_av/application/cmf/codec/AccessUnit.h"

namespace Cmf {

// An access unit in byte-stream form with the offsets of its start codes, so that its units (NAL
// units, MPEG-2 headers) can be found without searching again.
//
// A unit ends one byte before the next start code's position, or one byte before the end of the
// access unit for the last unit; the byte at the end offset is not part of the unit. Where a unit
// begins depends on the codec.
class StartCodeAu : public AccessUnit {
public:
    const std::vector<unsigned int>& GetScPositions() const { return m_ScPositions; }

protected:
    // With an empty position list the data is scanned for 00 00 01; for 00 00 00 01 the position
    // found is that of the second zero.
    StartCodeAu(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts,
                const std::vector<unsigned int>& scPositions);

    std::size_t GetUnitEnd(std::size_t index) const;
    // The bytes of unit `index` from offset `begin` on. False when nothing of it is left within
    // the data: positions may come from a caller's list and are never trusted past it.
    bool GetUnitBytes(std::size_t index, std::size_t begin, XP::CBuffer& bytes) const;

    std::vector<unsigned int> m_ScPositions;
};

// The NAL unit views of an H.264 or H.265 access unit. A unit begins after its start code
// (position + 3 for 00 00 01, else position + 4). Au_t names the coded slice types with its
// static ContainsSlice(type).
//
// Lifetime: as AccessUnit; the NAL views share the access unit's bytes.
template <typename Au_t, typename Nal_t>
class NalAu : public StartCodeAu {
public:
    std::size_t GetNalCount() const { return m_ScPositions.size(); }

    // False when there is no such unit or it has no bytes.
    bool GetNalByIndex(std::size_t index, Nal_t& nal) const {
        XP::CBuffer bytes;
        if (index >= m_ScPositions.size() || !GetUnitBytes(index, GetNalBegin(index), bytes)) {
            return false;
        }
        nal.SetData(bytes);
        return true;
    }

    // The first unit of that type.
    bool GetNalByType(typename Nal_t::UnitType_e type, Nal_t& nal) const {
        return FindNal([type](unsigned int unitType) { return unitType == type; }, nal);
    }

    // The first coded slice.
    bool GetFirstNalSlice(Nal_t& nal) const { return FindNal(&Au_t::ContainsSlice, nal); }

    std::size_t GetNalBegin(std::size_t index) const {
        const std::size_t position = m_ScPositions[index];
        const bool threeByteStartCode =
            position + 2 < m_Data.GetSize() && m_Data.GetBegin()[position + 2] == 0x01;
        return position + (threeByteStartCode ? 3 : 4);
    }

    std::size_t GetNalEnd(std::size_t index) const { return GetUnitEnd(index); }

protected:
    using StartCodeAu::StartCodeAu;

private:
    template <typename Predicate_t>
    bool FindNal(Predicate_t matches, Nal_t& nal) const {
        for (std::size_t i = 0; i < m_ScPositions.size(); ++i) {
            Nal_t candidate;
            if (GetNalByIndex(i, candidate) &&
                matches(static_cast<unsigned int>(candidate.GetUnitType()))) {
                nal = candidate;
                return true;
            }
        }
        return false;
    }
};

}  // namespace Cmf
