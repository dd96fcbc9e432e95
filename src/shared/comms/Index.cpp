#include "shared/comms/Index.h"

#include "xptools/Print.h"

CIndex::CIndex(const DataVarType_e* types, size_t count) {
    if (types == nullptr) {
        count = 0;
    }
    Init(types, count, count);
}

void CIndex::Init(const DataVarType_e* types, size_t typeCount, size_t declaredCount) {
    if (declaredCount != typeCount) {
        XP::MyPrintf("CIndex: count %zu given with %zu index types; using the types", declaredCount,
                     typeCount);
    }
    m_IndexTypeList.assign(types, types + typeCount);
    m_Index.assign(typeCount, 0);
}

bool CIndex::GetIndex(size_t position, uint32_t& out) const {
    if (position >= m_Index.size()) {
        return false;
    }
    out = m_Index[position];
    return true;
}

bool CIndex::SetIndex(size_t position, uint32_t value) {
    if (position >= m_Index.size()) {
        return false;
    }
    m_Index[position] = value;
    return true;
}

bool CIndex::FillIndexes(const uint32_t* values, size_t count) {
    if (count != m_Index.size() || (values == nullptr && count != 0)) {
        return false;
    }
    m_Index.assign(values, values + count);
    return true;
}

void CIndex::AddIndex(uint32_t value) {
    m_IndexTypeList.push_back(VT_UINT32);
    m_Index.push_back(value);
}

void CIndex::AddIndex(uint16_t value) {
    m_IndexTypeList.push_back(VT_UINT16);
    m_Index.push_back(value);
}

void CIndex::AddIndex(uint8_t value) {
    m_IndexTypeList.push_back(VT_UINT8);
    m_Index.push_back(value);
}

size_t CIndex::TypeWidth(DataVarType_e type) {
    switch (type) {
        case VT_UINT8:
            return 1;
        case VT_UINT16:
            return 2;
        case VT_UINT32:
            return 4;
        default:
            return 0;
    }
}

void CIndex::Serialize() {
    if (m_Index.empty()) {
        return;
    }
    m_IndexStream.clear();
    // The type list and the values grow together; a value without a type takes no bytes.
    for (size_t i = 0; i < m_Index.size(); ++i) {
        const size_t width = i < m_IndexTypeList.size() ? TypeWidth(m_IndexTypeList[i]) : 0;
        for (size_t byte = width; byte > 0; --byte) {
            m_IndexStream.push_back(static_cast<uint8_t>(m_Index[i] >> (8 * (byte - 1))));
        }
    }
}

size_t CIndex::StreamLengthForTypes() const {
    size_t length = 0;
    for (DataVarType_e type : m_IndexTypeList) {
        length += TypeWidth(type);
    }
    return length;
}

bool CIndex::VerifyTypeListIsFullyLoaded() const {
    return m_IndexStream.size() == StreamLengthForTypes();
}

bool CIndex::Deserialize() {
    if (!VerifyTypeListIsFullyLoaded()) {
        XP::MyPrintf("CIndex::Deserialize stream has %zu bytes, index types need %zu",
                     m_IndexStream.size(), StreamLengthForTypes());
        return false;
    }
    std::vector<uint32_t> values;
    values.reserve(m_IndexTypeList.size());
    size_t offset = 0;
    for (DataVarType_e type : m_IndexTypeList) {
        uint32_t value = 0;
        for (size_t byte = 0; byte < TypeWidth(type); ++byte) {
            value = (value << 8) | m_IndexStream[offset++];
        }
        values.push_back(value);
    }
    m_Index = std::move(values);
    return true;
}
