#pragma once

#include "shared/comms/SsOp.h"
#include "xptools/SharedPtr.h"
#include "xptools/Uncopyable.h"

// Receives every operation that arrives on a CommBus it is registered with.
//
// Threads: HandleCommOp runs on the bus's receiving thread (the serial link's "UART Px"), one
// operation at a time in arrival order; it should hand the work on and return quickly, since the
// link reads nothing else meanwhile.
class iCommOpHandler : private XP::CUncopyable {
public:
    virtual ~iCommOpHandler() = default;
    virtual void HandleCommOp(XP::CSharedPtr<SsOp> op) = 0;
};
