#pragma once

#include "shared/comms/SsOp.h"
#include "xptools/SharedPtr.h"

// What the operation receiver needs from the configuration manager: a queue for received set
// operations, and the trigger that applies them once a transaction has ended.
//
// Threads: both are called on the serial processing thread ("UART Px") and must return at once;
// the configuration itself is applied later on the subsystem's scheduler thread.
class iConfigurationQueue {
public:
    virtual ~iConfigurationQueue() = default;

    // Appends to the queue of operations of the current transaction; never refused.
    virtual void QueueOperation(XP::CSharedPtr<SsOp> op) = 0;
    // Replaces any pending configuration run with one that starts without delay.
    virtual void ScheduleConfiguration() = 0;
};
