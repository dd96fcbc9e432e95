#pragma once

#include <vector>

#include "shared/comms/SsOp.h"
#include "shared/comms/iCommOpHandler.h"
#include "xptools/SharedPtr.h"
#include "xptools/Uncopyable.h"

// A channel to the host controller: sends operations, and hands every received operation to each
// registered handler.
//
// Threads: m_CommOpHandlers has no lock. Handlers are registered before the channel starts
// receiving and unregistered after it stops; while it runs only the receiving thread reads the
// list. The handlers are not owned and must outlive their registration.
class CommBus : private XP::CUncopyable {
public:
    CommBus() = default;
    virtual ~CommBus();

    // Frames and writes one operation; false when it did not go out whole.
    virtual bool SendOperation(SsOp& op) = 0;
    // Appends the handler unless it is listed already (or null); true when it was appended.
    virtual bool RegisterOpHandler(iCommOpHandler* handler);
    // Removes the handler; true when it was listed.
    virtual bool UnregisterOpHandler(iCommOpHandler* handler);
    // Calls every handler in registration order, each with its own reference to the operation.
    virtual bool SendOpToHandlers(XP::CSharedPtr<SsOp> op);

protected:
    std::vector<iCommOpHandler*> m_CommOpHandlers;
};
