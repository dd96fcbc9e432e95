#include "shared/comms/SsOp.h"

#include <algorithm>
#include <cstdio>

#include "xptools/Print.h"

namespace {

// Offsets of the fixed part of the byte form.
constexpr size_t kTypeOffset = 0;
constexpr size_t kIdLowOffset = 1;
constexpr size_t kIdHighOffset = 2;
constexpr size_t kIndexArrayOffset = 3;

// How much of the data ToString shows.
constexpr size_t kMaxDataBytesShown = 32;

void AppendHex(std::string& text, uint8_t byte) {
    static const char kDigits[] = "0123456789abcdef";
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

uint8_t SsOp::GetLastIndex() const {
    return m_IndexList.empty() ? 1 : m_IndexList.back();
}

void SsOp::SetBigEndian(uint64_t value, size_t width) {
    m_Data.resize(width);
    for (size_t i = 0; i < width; ++i) {
        m_Data[i] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
    }
}

void SsOp::SetDataU8(uint8_t value) {
    SetBigEndian(value, 1);
}
void SsOp::SetDataU16(uint16_t value) {
    SetBigEndian(value, 2);
}
void SsOp::SetData16(int16_t value) {
    SetBigEndian(static_cast<uint16_t>(value), 2);
}
void SsOp::SetDataU32(uint32_t value) {
    SetBigEndian(value, 4);
}
void SsOp::SetData32(int32_t value) {
    SetBigEndian(static_cast<uint32_t>(value), 4);
}
void SsOp::SetData64(int64_t value) {
    SetBigEndian(static_cast<uint64_t>(value), 8);
}
void SsOp::SetDataU64(uint64_t value) {
    SetBigEndian(value, 8);
}

void SsOp::SetDataU8(const std::string& text) {
    m_Data.assign(text.begin(), text.end());
}

void SsOp::SetDataU8(const uint8_t* bytes, size_t length) {
    if (bytes == nullptr) {
        m_Data.clear();
        return;
    }
    m_Data.assign(bytes, bytes + length);
}

uint32_t SsOp::GetData(size_t width) const {
    if (m_Data.size() != width) {
        XP::MyPrintf("%s wrong size (%zu != %zu)", "GetData", m_Data.size(), width);
        return 0;
    }
    uint32_t value = 0;
    for (uint8_t byte : m_Data) {
        value = (value << 8) | byte;
    }
    return value;
}

uint8_t SsOp::GetDataU8(unsigned int position) const {
    if (position >= m_Data.size()) {
        XP::MyPrintf("%s out of bounds (%u >= %u)", "GetDataU8", position,
                     static_cast<unsigned int>(m_Data.size()));
        return 0;
    }
    return m_Data[position];
}

int8_t SsOp::GetData8(unsigned int position) const {
    if (position >= m_Data.size()) {
        XP::MyPrintf("%s out of bounds (%u >= %u)", "GetData8", position,
                     static_cast<unsigned int>(m_Data.size()));
        return 0;
    }
    return static_cast<int8_t>(m_Data[position]);
}

uint64_t SsOp::GetDataU64() const {
    if (m_Data.size() < 8) {
        XP::MyPrintf("%s wrong size (%zu < 8)", "GetDataU64", m_Data.size());
        return 0;
    }
    uint64_t value = 0;
    for (uint8_t byte : m_Data) {
        value = (value << 8) | byte;
    }
    return value;
}

int64_t SsOp::GetData64() const {
    if (m_Data.size() < 8) {
        XP::MyPrintf("%s wrong size (%zu < 8)", "GetData64", m_Data.size());
        return 0;
    }
    uint64_t value = 0;
    for (uint8_t byte : m_Data) {
        value = (value << 8) | byte;
    }
    return static_cast<int64_t>(value);
}

bool SsOp::SetTypedBits(uint64_t bits, DataVarType_e type) {
    switch (type) {
        case VT_INT32:
        case VT_UINT32:
            SetBigEndian(bits, 4);
            return true;
        case VT_INT8:
        case VT_UINT8:
        case VT_BOOL:
            SetBigEndian(bits, 1);
            return true;
        case VT_INT16:
        case VT_UINT16:
            SetBigEndian(bits, 2);
            return true;
        case VT_INT64:
        case VT_UINT64:
            SetBigEndian(bits, 8);
            return true;
        default:
            XP::MyPrintf("Unexpected datatype received: %d", static_cast<int>(type));
            return false;
    }
}

bool SsOp::SetSsOpData(const std::string& text, DataVarType_e type) {
    XP::MyPrintf("SetSsOpData string");
    if (type != VT_STRING) {
        XP::MyPrintf("Unexpected datatype received: %d", static_cast<int>(type));
        return false;
    }
    SetDataU8(text);
    return true;
}

bool SsOp::CheckType(DataVarType_e expectedType, DataVarType_e ownType) const {
    if (expectedType != ownType) {
        XP::MyPrintf("Expected type %s got type: %d", DataVarTypeName(ownType),
                     static_cast<int>(expectedType));
        return false;
    }
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, unsigned char& out) const {
    if (!CheckType(expectedType, VT_UINT8))
        return false;
    out = GetDataU8(0);
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, char& out) const {
    if (!CheckType(expectedType, VT_INT8))
        return false;
    out = static_cast<char>(GetData8(0));
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, signed char& out) const {
    if (!CheckType(expectedType, VT_INT8))
        return false;
    out = GetData8(0);
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, unsigned short& out) const {
    if (!CheckType(expectedType, VT_UINT16))
        return false;
    out = GetDataU16();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, short& out) const {
    if (!CheckType(expectedType, VT_INT16))
        return false;
    out = GetData16();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, unsigned int& out) const {
    if (!CheckType(expectedType, VT_UINT32))
        return false;
    out = GetDataU32();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, int& out) const {
    if (!CheckType(expectedType, VT_INT32))
        return false;
    out = GetData32();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, bool& out) const {
    if (!CheckType(expectedType, VT_BOOL))
        return false;
    out = GetDataU8(0) != 0;
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, long long& out) const {
    if (!CheckType(expectedType, VT_INT64))
        return false;
    out = GetData64();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, unsigned long long& out) const {
    if (!CheckType(expectedType, VT_UINT64))
        return false;
    out = GetDataU64();
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, XP::CIpAddress& out) const {
    if (!CheckType(expectedType, VT_IP))
        return false;
    out.SetIpInt(GetDataU32());
    return true;
}

bool SsOp::GetData(DataVarType_e expectedType, XP::CMacAddress& out) const {
    if (!CheckType(expectedType, VT_MAC))
        return false;
    if (!out.Set(GetDataString())) {
        XP::MyPrintf("%s not a MAC address (%zu bytes of text)", "GetData", m_Data.size());
        return false;
    }
    return true;
}

size_t SsOp::SerializeOp() {
    const size_t indexCount = std::min(m_IndexList.size(), kMaxSerializedIndexCount);
    const size_t dataCount = std::min(m_Data.size(), kMaxSerializedDataLength);
    m_Op.clear();
    m_Op.reserve(5 + indexCount + dataCount);
    m_Op.push_back(static_cast<uint8_t>(m_OpType));
    m_Op.push_back(static_cast<uint8_t>(m_OpId));
    m_Op.push_back(static_cast<uint8_t>(m_OpId >> 8));
    m_Op.push_back(static_cast<uint8_t>(indexCount));
    m_Op.insert(m_Op.end(), m_IndexList.begin(), m_IndexList.begin() + indexCount);
    m_Op.push_back(static_cast<uint8_t>(dataCount));
    m_Op.insert(m_Op.end(), m_Data.begin(), m_Data.begin() + dataCount);
    return m_Op.size();
}

void SsOp::GetSerializedOp(const uint8_t*& bytes, size_t& length) {
    if (m_Op.empty()) {
        SerializeOp();
    }
    bytes = m_Op.data();
    length = m_Op.size();
}

void SsOp::GetSerializedOp(std::vector<uint8_t>& out) {
    if (m_Op.empty()) {
        SerializeOp();
    }
    out.insert(out.end(), m_Op.begin(), m_Op.end());
}

bool SsOp::DeserializeArray(const uint8_t* payload, size_t length, size_t offset,
                            std::vector<uint8_t>& out, size_t& consumed) {
    if (offset + 1 > length) {
        XP::MyPrintf("%s failed! offset=%zu, dataLength=%zu", "DeserializeArray", offset, length);
        return false;
    }
    const size_t count = payload[offset];
    if (offset + 1 + count > length) {
        XP::MyPrintf("%s failed! offset=%zu, dataLength=%zu; arrayLength=%zu", "DeserializeArray",
                     offset, length, count);
        return false;
    }
    out.assign(payload + offset + 1, payload + offset + 1 + count);
    consumed = count + 1;
    return true;
}

size_t SsOp::DeserializeOp(const std::vector<uint8_t>& payload) {
    return DeserializeOp(payload.data(), payload.size());
}

size_t SsOp::DeserializeOp(const uint8_t* payload, size_t length) {
    m_IndexList.clear();
    m_Data.clear();
    // The cache would otherwise still describe the previous contents.
    m_Op.clear();
    if (payload == nullptr || length < 2) {
        return 0;
    }
    m_OpType = static_cast<OpType_e>(payload[kTypeOffset]);
    // A 2-byte payload has no id high byte; it fails at the index array just below.
    const uint32_t idHigh = length > kIdHighOffset ? payload[kIdHighOffset] : 0;
    m_OpId = payload[kIdLowOffset] | (idHigh << 8);

    size_t indexConsumed = 0;
    if (!DeserializeArray(payload, length, kIndexArrayOffset, m_IndexList, indexConsumed)) {
        m_IndexList.clear();
        return 0;
    }
    const size_t dataOffset = kIndexArrayOffset + indexConsumed;
    size_t dataConsumed = 0;
    if (!DeserializeArray(payload, length, dataOffset, m_Data, dataConsumed)) {
        m_IndexList.clear();
        m_Data.clear();
        return 0;
    }
    SerializeOp();
    return dataOffset + dataConsumed;
}

std::string SsOp::ToString() const {
    std::string text;
    if (const char* name = OpTypeName(m_OpType)) {
        text = name;
    } else {
        text = "OP_TYPE_" + std::to_string(static_cast<int>(m_OpType));
    }
    char id[16];
    std::snprintf(id, sizeof(id), " id=0x%04x", static_cast<unsigned int>(m_OpId));
    text += id;
    text += " index=[";
    for (size_t i = 0; i < m_IndexList.size(); ++i) {
        if (i > 0)
            text.push_back(' ');
        AppendHex(text, m_IndexList[i]);
    }
    text += "] data=[";
    const size_t shown = std::min(m_Data.size(), kMaxDataBytesShown);
    for (size_t i = 0; i < shown; ++i) {
        if (i > 0)
            text.push_back(' ');
        AppendHex(text, m_Data[i]);
    }
    if (shown < m_Data.size()) {
        text += " ... " + std::to_string(m_Data.size()) + " bytes";
    }
    text += "]";
    return text;
}
