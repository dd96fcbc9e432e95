#include "shared/comms/OpHandler.h"

#include <utility>

#include "xptools/Print.h"

COpHandler::COpHandler(OpQueue* pMsgQ) : m_pMsgQ(pMsgQ) {}

void COpHandler::HandleCommOp(XP::CSharedPtr<SsOp> op) {
    if (m_pMsgQ == nullptr) {
        return;
    }
    const uint32_t opId = op ? op->GetOpId() : 0;
    if (!m_pMsgQ->Enqueue(std::move(op))) {
        XP::MyPrintf("COpHandler: queue full, operation 0x%04x dropped", opId);
    }
}
