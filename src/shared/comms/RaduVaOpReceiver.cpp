#include "shared/comms/RaduVaOpReceiver.h"

#include <log4cpp/Category.hh>

#include "shared/comms/UartAdapter.h"
#include "shared/comms/iConfigurationQueue.h"

RaduVaOpReceiver::RaduVaOpReceiver(CUartAdapter& uartAdapter, iConfigurationQueue& configManager)
    : m_Log(log4cpp::Category::getInstance("raduva.opreceiver")),
      m_UartAdapter(uartAdapter),
      m_ConfigManager(configManager) {}

RaduVaOpReceiver::~RaduVaOpReceiver() = default;

bool RaduVaOpReceiver::StartHandlingOperations() {
    m_UartAdapter.RegisterOpHandler(this);
    return m_UartAdapter.StartReceiveOps();
}

void RaduVaOpReceiver::StopHandlingOperations() {
    m_UartAdapter.TerminateReceiveOps();
    m_UartAdapter.UnregisterOpHandler(this);
}

void RaduVaOpReceiver::HandleCommOp(XP::CSharedPtr<SsOp> op) {
    if (!op) {
        m_Log.warn("%s: no operation", "HandleCommOp");
        return;
    }
    const OpType_e type = op->GetOpType();
    switch (type) {
        case OP_TYPE_SET:
            m_ConfigManager.QueueOperation(op);
            break;
        case OP_TYPE_TRANSACTION_END:
            m_ConfigManager.ScheduleConfiguration();
            break;
        case OP_TYPE_ADD:
        case OP_TYPE_REMOVE:
        case OP_TYPE_REMOVE_ALL:
        case OP_TYPE_REQUEST:
        case OP_TYPE_MULTI:
        case OP_TYPE_SYNC:
            m_Log.warn("%s: Unhandled OpType=%d", "HandleCommOp", static_cast<int>(type));
            break;
        default:
            // Not a type of this protocol: nothing to do, but leave a trace for diagnosis.
            m_Log.debug("%s: ignoring unknown OpType=%d", "HandleCommOp", static_cast<int>(type));
            break;
    }
}
