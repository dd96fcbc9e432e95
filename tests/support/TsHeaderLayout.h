#pragma once

#include "xptools/BitField.h"

namespace KestrelTest {

// A transport stream packet as the bit-field tests and the layout benchmark see it: the 4-byte
// header, an adaptation field of layout AdaptationField when bit 1 of the adaptation field control
// is set, then the first payload byte. Every header field has a compile-time position; the payload
// byte is placed at run time, behind the adaptation field.
template <typename AdaptationField>
struct TsPacketLayout_t : XP::INTERNAL::CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(TsPacketLayout_t);
    XP_BITFIELD(syncByte, 8, BEGIN);
    XP_BITFIELD(transportErrorIndicator, 1, syncByte);
    XP_BITFIELD(payloadUnitStartIndicator, 1, transportErrorIndicator);
    XP_BITFIELD(transportPriority, 1, payloadUnitStartIndicator);
    XP_BITFIELD(pid, 13, transportPriority);
    XP_BITFIELD(scrambleControl, 2, pid);
    XP_BITFIELD(adaptationFieldControl, 2, scrambleControl);
    XP_BITFIELD(continuityCounter, 4, adaptationFieldControl);
    XP_BITFIELD_RECORDS(adaptationField, AdaptationField, continuityCounter,
                        (adaptationFieldControl_t_.Get() & 2) ? 1 : 0);
    XP_BITFIELD(payloadByte, 8, adaptationField);
};

}  // namespace KestrelTest
