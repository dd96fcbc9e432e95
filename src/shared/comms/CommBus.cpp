#include "shared/comms/CommBus.h"

#include <algorithm>

CommBus::~CommBus() = default;

bool CommBus::RegisterOpHandler(iCommOpHandler* handler) {
    if (handler == nullptr || std::find(m_CommOpHandlers.begin(), m_CommOpHandlers.end(),
                                        handler) != m_CommOpHandlers.end()) {
        return false;
    }
    m_CommOpHandlers.push_back(handler);
    return true;
}

bool CommBus::UnregisterOpHandler(iCommOpHandler* handler) {
    const auto it = std::find(m_CommOpHandlers.begin(), m_CommOpHandlers.end(), handler);
    if (it == m_CommOpHandlers.end()) {
        return false;
    }
    m_CommOpHandlers.erase(it);
    return true;
}

bool CommBus::SendOpToHandlers(XP::CSharedPtr<SsOp> op) {
    for (iCommOpHandler* handler : m_CommOpHandlers) {
        handler->HandleCommOp(op);
    }
    return true;
}
