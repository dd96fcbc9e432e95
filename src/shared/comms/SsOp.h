#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "shared/comms/OpTypes.h"
#include "xptools/Address.h"

// One operation exchanged with the host controller: a type, a 16-bit id, an index list (one byte
// per index, outermost first) and a data field holding one value.
//
// Byte form (the payload of one serial frame):
//   type (1) | id low (1) | id high (1) | N (1) | N index bytes | M (1) | M data bytes
// The id is little-endian; multi-byte data values are big-endian.
//
// Ownership and threads: a plain value without locks. Operations travel between threads as
// XP::CSharedPtr<SsOp>, one thread at a time; nobody changes an operation once it is handed on.
// The serialized form is cached on first use and the setters do not invalidate it, so an
// operation is completed before it is first serialized.
//
// Getters never fail loudly: a type or size mismatch prints one console line (XP::MyPrintf) and
// yields false or 0.
class SsOp {
public:
    // At most this many data bytes are written by SerializeOp; longer data is cut.
    static constexpr size_t kMaxSerializedDataLength = 240;
    // The index count travels in one byte.
    static constexpr size_t kMaxSerializedIndexCount = 255;

    SsOp() = default;
    explicit SsOp(OpType_e type, uint32_t id = 0) : m_OpType(type), m_OpId(id) {}

    void SetOpType(OpType_e type) { m_OpType = type; }
    void SetOpId(uint32_t id) { m_OpId = id; }
    OpType_e GetOpType() const { return m_OpType; }
    uint32_t GetOpId() const { return m_OpId; }

    void SetIndexList(const std::vector<uint8_t>& indexes) { m_IndexList = indexes; }
    std::vector<uint8_t> GetIndexList() const { return m_IndexList; }
    size_t GetIndexCount() const { return m_IndexList.size(); }
    // The innermost index, which names the instance; 1 when the operation has none.
    uint8_t GetLastIndex() const;

    std::vector<uint8_t> GetRawData() const { return m_Data; }
    size_t GetDataLength() const { return m_Data.size(); }
    std::string GetDataString() const { return std::string(m_Data.begin(), m_Data.end()); }

    // Raw setters: each replaces the data field, most significant byte first.
    void SetDataU8(uint8_t value);
    void SetDataU16(uint16_t value);
    void SetData16(int16_t value);
    void SetDataU32(uint32_t value);
    void SetData32(int32_t value);
    void SetData64(int64_t value);
    void SetDataU64(uint64_t value);
    // The bytes as they are. A null pointer gives an empty data field.
    void SetDataU8(const std::string& text);
    void SetDataU8(const uint8_t* bytes, size_t length);

    // Raw getters. GetData(width) requires exactly `width` bytes and folds them most significant
    // first; GetDataU8/GetData8 return byte `position`; the 64-bit forms require at least 8 bytes
    // and fold all of them, so the last 8 count.
    uint32_t GetData(size_t width) const;
    uint16_t GetDataU16() const { return static_cast<uint16_t>(GetData(2)); }
    int16_t GetData16() const { return static_cast<int16_t>(GetData(2)); }
    uint32_t GetDataU32() const { return GetData(4); }
    int32_t GetData32() const { return static_cast<int32_t>(GetData(4)); }
    uint8_t GetDataU8(unsigned int position = 0) const;
    int8_t GetData8(unsigned int position = 0) const;
    int64_t GetData64() const;
    uint64_t GetDataU64() const;

    // Typed setter for integers and enumerations: writes `value` in the form of `type` (4 bytes
    // for VT_INT32/VT_UINT32, the low byte for VT_INT8/VT_UINT8/VT_BOOL, 2 bytes for
    // VT_INT16/VT_UINT16, 8 bytes for VT_INT64/VT_UINT64 with signed values sign-extended).
    // Any other type: a message, the data unchanged, false.
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
    bool SetSsOpData(T value, DataVarType_e type) {
        return SetTypedBits(ToBits(value), type);
    }
    // Text: only VT_STRING, the characters without a terminator.
    bool SetSsOpData(const std::string& text, DataVarType_e type);

    // Typed getters. `expectedType` is the catalogue's type for the operation id; when it is not
    // the overload's own type the getter prints a message, leaves `out` unchanged and returns
    // false. Otherwise `out` is filled through the raw getter of that width (which prints its own
    // message and yields 0 on a size mismatch) and the result is true.
    bool GetData(DataVarType_e expectedType, unsigned char& out) const;
    bool GetData(DataVarType_e expectedType, char& out) const;
    bool GetData(DataVarType_e expectedType, signed char& out) const;
    bool GetData(DataVarType_e expectedType, unsigned short& out) const;
    bool GetData(DataVarType_e expectedType, short& out) const;
    bool GetData(DataVarType_e expectedType, unsigned int& out) const;
    bool GetData(DataVarType_e expectedType, int& out) const;
    bool GetData(DataVarType_e expectedType, bool& out) const;
    bool GetData(DataVarType_e expectedType, long long& out) const;
    bool GetData(DataVarType_e expectedType, unsigned long long& out) const;
    bool GetData(DataVarType_e expectedType, XP::CIpAddress& out) const;
    // The data is the address as text. Text that is not a MAC address prints a message and
    // returns false with `out` unchanged.
    bool GetData(DataVarType_e expectedType, XP::CMacAddress& out) const;

    // Rebuilds the cached byte form from the fields; returns its length.
    size_t SerializeOp();
    // The cached byte form, built first when there is none. The pointer stays valid until the
    // operation is changed by SerializeOp/DeserializeOp or destroyed.
    void GetSerializedOp(const uint8_t*& bytes, size_t& length);
    // Appends the cached byte form to `out`.
    void GetSerializedOp(std::vector<uint8_t>& out);

    // Parses one payload. Returns the bytes consumed, 0 on failure; bytes after the operation are
    // ignored. Never reads past `length`. On failure the index list and data are empty and the
    // type and id are whatever was read.
    size_t DeserializeOp(const std::vector<uint8_t>& payload);
    size_t DeserializeOp(const uint8_t* payload, size_t length);

    // One line for diagnostics: "OP_TYPE_SET id=0x0102 index=[01] data=[03 04]". Long data is
    // cut after 32 bytes with the total length given.
    std::string ToString() const;

private:
    template <typename T>
    static uint64_t ToBits(T value) {
        if constexpr (std::is_enum_v<T>) {
            return ToBits(static_cast<std::underlying_type_t<T>>(value));
        } else if constexpr (std::is_signed_v<T>) {
            return static_cast<uint64_t>(static_cast<int64_t>(value));
        } else {
            return static_cast<uint64_t>(value);
        }
    }
    bool SetTypedBits(uint64_t bits, DataVarType_e type);
    void SetBigEndian(uint64_t value, size_t width);
    bool CheckType(DataVarType_e expectedType, DataVarType_e ownType) const;
    static bool DeserializeArray(const uint8_t* payload, size_t length, size_t offset,
                                 std::vector<uint8_t>& out, size_t& consumed);

    OpType_e m_OpType = OP_TYPE_SET;
    uint32_t m_OpId = 0;               // 16 bits travel
    std::vector<uint8_t> m_Op;         // cached serialized form
    std::vector<uint8_t> m_Data;       // data field
    std::vector<uint8_t> m_IndexList;  // one byte per index
};
