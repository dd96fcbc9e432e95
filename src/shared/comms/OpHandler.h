#pragma once

#include "shared/comms/SsOp.h"
#include "shared/comms/iCommOpHandler.h"
#include "xptools/MsgQ.h"
#include "xptools/SharedPtr.h"

// The generic handler: puts every received operation on a message queue for another thread.
// The queue is not owned and must outlive the handler. A bounded queue that is full refuses the
// operation; that is reported on the console and the operation is dropped.
class COpHandler : public iCommOpHandler {
public:
    using OpQueue = XP::CMsgQ<XP::CSharedPtr<SsOp>>;

    explicit COpHandler(OpQueue* pMsgQ);

    void HandleCommOp(XP::CSharedPtr<SsOp> op) override;

private:
    OpQueue* m_pMsgQ;
};
