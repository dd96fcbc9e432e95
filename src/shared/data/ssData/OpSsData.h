#pragma once

#include <cstdint>

#include "shared/comms/Index.h"
#include "shared/comms/OpTypes.h"
#include "shared/data/ssData/CommonSsData.h"

// One catalogue entry: an operation id with its name, the type of its value and its index shape.
// Entries are created once, during static initialisation, and never change; any thread may read
// them.
class COpSsData : public CCommonSsData {
public:
    COpSsData(const char* name, uint32_t opId, const CIndex& index, DataVarType_e type)
        : CCommonSsData(name), m_OperationId(opId), m_DataVarType(type), m_IndexInfo(index) {}

    uint32_t GetOperationId() const { return m_OperationId; }
    DataVarType_e GetDataVarType() const { return m_DataVarType; }
    const CIndex& GetIndexInfo() const { return m_IndexInfo; }

private:
    uint32_t m_OperationId;  // fits 16 bits on the wire
    DataVarType_e m_DataVarType;
    CIndex m_IndexInfo;
};
