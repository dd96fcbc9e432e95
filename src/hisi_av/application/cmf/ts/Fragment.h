#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "xptools/Slice.h"

namespace Cmf {

// One piece of elementary stream: the bytes of one transport packet's payload that belong to a
// PES packet's data, with the PES time stamp when this is the first piece after a PES header
// that carried one.
//
// Lifetime: the bytes are a view sharing the packet's buffer, never a copy. A subscriber that
// keeps them beyond its call copies them (GetData().Clone()).
class Fragment {
public:
    // `pts` in 27 MHz units (PTS x 300), invalid when the fragment carries none. `pesLength` is
    // what remained of the PES length field when the fragment was cut (0: unbounded or not the
    // header's packet).
    Fragment(const XP::CBuffer& data, const Pcr& pts, uint16_t pesLength)
        : m_Data(data), m_Pts(pts), m_PesLength(pesLength) {}
    virtual ~Fragment() = default;

    Fragment(const Fragment&) = default;
    Fragment& operator=(const Fragment&) = default;

    const XP::CBuffer& GetData() const { return m_Data; }
    std::size_t GetSize() const { return m_Data.GetSize(); }
    Pcr GetPts() const { return m_Pts; }
    uint16_t GetPesLength() const { return m_PesLength; }

private:
    XP::CBuffer m_Data;
    Pcr m_Pts;
    uint16_t m_PesLength;
};

}  // namespace Cmf
