#include "shared/comms/RaduVaOpSender.h"

#include <log4cpp/Category.hh>

#include <vector>

#include "shared/comms/CommBus.h"
#include "shared/comms/SsOp.h"
#include "shared/data/ssData/OpSsDataMap.h"

RaduVaOpSender::RaduVaOpSender(CommBus& uartAdapter, const COpSsDataMap& opSsDataMap)
    : m_Log(log4cpp::Category::getInstance("raduva.opsender")),
      m_UartAdapter(uartAdapter),
      m_OpSsDataMap(opSsDataMap) {}

RaduVaOpSender::~RaduVaOpSender() = default;

bool RaduVaOpSender::Send(SsOp& op, unsigned int index) {
    op.SetIndexList(std::vector<uint8_t>{static_cast<uint8_t>(index)});
    return m_UartAdapter.SendOperation(op);
}

template <typename Wide>
bool RaduVaOpSender::TransmitInteger(unsigned int opId, unsigned int index, Wide value) {
    SsOp op(OP_TYPE_SET, opId);
    const COpSsData* entry = m_OpSsDataMap.GetByOpId(opId);
    if (entry == nullptr) {
        // The catalogue decides the form of the value; without an entry there is no form the
        // controller would read, so nothing is sent.
        m_Log.error("%s: opId %d is not in the catalogue, nothing sent", "TransmitStatus",
                    static_cast<int>(opId));
        return false;
    }
    const DataVarType_e type = entry->GetDataVarType();
    if (!op.SetSsOpData(value, type)) {
        m_Log.error("%s::SetSsOpData failed, opId: %d, dataType: %d", "TransmitStatus",
                    static_cast<int>(opId), static_cast<int>(type));
        return false;
    }
    if (!Send(op, index)) {
        m_Log.error("%s::SendOperation failed, opId: %d.", "TransmitStatus",
                    static_cast<int>(opId));
        return false;
    }
    return true;
}

template bool RaduVaOpSender::TransmitInteger<long long>(unsigned int, unsigned int, long long);
template bool RaduVaOpSender::TransmitInteger<unsigned long long>(unsigned int, unsigned int,
                                                                  unsigned long long);

bool RaduVaOpSender::TransmitStatus(unsigned int opId, unsigned int index,
                                    const std::string& text) {
    SsOp op(OP_TYPE_SET, opId);
    op.SetSsOpData(text, VT_STRING);
    if (!Send(op, index)) {
        m_Log.error("%s::Adapter failed to send operation!", "TransmitStatus");
        return false;
    }
    return true;
}
