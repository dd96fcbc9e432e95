#pragma once

#include "xptools/Slice.h"

namespace Cmf {

// Base of the views over one coded unit inside an access unit (a NAL unit, an MPEG-2 header).
// The view holds a slice that starts at the unit's first header byte and shares the access
// unit's bytes: it is valid as long as those bytes are (for a delivered access unit, during the
// delivery call unless the unit was cloned).
class UnitView {
public:
    UnitView() = default;
    explicit UnitView(const XP::CBuffer& data) : m_Data(data) {}
    virtual ~UnitView() = default;

    const XP::CBuffer& GetData() const { return m_Data; }
    void SetData(const XP::CBuffer& data) { m_Data = data; }

protected:
    XP::CBuffer m_Data;
};

}  // namespace Cmf
