#pragma once

#include <cstddef>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "xptools/Slice.h"

namespace Cmf {

// One coded picture of an elementary stream (its start codes included) with its time stamps.
//
// Lifetime: the bytes are a view. An access unit handed to subscribers by a defragmenter views
// the defragmenter's buffer and is valid only during the call; a subscriber that keeps one clones
// it (AvcAu::Clone and its siblings).
class AccessUnit {
public:
    AccessUnit(const XP::CBuffer& data, const Pcr& pts, const Pcr& dts)
        : m_Data(data), m_Dts(dts), m_Pts(pts) {}
    virtual ~AccessUnit() = default;

    AccessUnit(const AccessUnit&) = default;
    AccessUnit& operator=(const AccessUnit&) = default;

    const XP::CBuffer& GetData() const { return m_Data; }
    std::size_t GetSize() const { return m_Data.GetSize(); }
    Pcr GetPts() const { return m_Pts; }
    Pcr GetDts() const { return m_Dts; }
    void SetPts(const Pcr& pts) { m_Pts = pts; }

protected:
    XP::CBuffer m_Data;
    Pcr m_Dts;
    Pcr m_Pts;
};

}  // namespace Cmf
