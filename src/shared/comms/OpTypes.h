#pragma once

#include "xptools/EnumTable.h"

// Operation types and data type codes of the controller link, each declared once as a list from
// which the enumeration and its name table are both generated: diagnostics, the controller tool
// and the typed getters' messages all take the spellings from here.

// Kind of an operation. One byte on the wire; the fixed underlying type keeps any received byte a
// valid value of the enumeration, known or not.
#define KESTREL_OP_TYPES(X)       \
    X(OP_TYPE_SET, 0)             \
    X(OP_TYPE_ADD, 1)             \
    X(OP_TYPE_REMOVE, 2)          \
    X(OP_TYPE_REMOVE_ALL, 3)      \
    X(OP_TYPE_REQUEST, 4)         \
    X(OP_TYPE_MULTI, 5)           \
    X(OP_TYPE_TRANSACTION_END, 6) \
    X(OP_TYPE_SYNC, 7)

enum OpType_e : int { KESTREL_OP_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<OpType_e> kOpTypeNames[] = {KESTREL_OP_TYPES(XP_ENUM_NAME)};

// Type of the value an operation id carries (the catalogue gives one per id) and of index values.
#define KESTREL_DATA_VAR_TYPES(X) \
    X(VT_INT32, 0)                \
    X(VT_UINT32, 1)               \
    X(VT_INT8, 2)                 \
    X(VT_UINT8, 3)                \
    X(VT_INT16, 4)                \
    X(VT_UINT16, 5)               \
    X(VT_DOUBLE, 6)               \
    X(VT_FLOAT, 7)                \
    X(VT_BOOL, 8)                 \
    X(VT_MAC, 9)                  \
    X(VT_IP, 10)                  \
    X(VT_COMPLEX, 11)             \
    X(VT_STRING, 12)              \
    X(VT_INT40, 13)               \
    X(VT_UINT40, 14)              \
    X(VT_CHARARRAY, 15)           \
    X(VT_INT64, 16)               \
    X(VT_UINT64, 17)              \
    X(VT_TBD, 18)

enum DataVarType_e : int { KESTREL_DATA_VAR_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<DataVarType_e> kDataVarTypeNames[] = {
    KESTREL_DATA_VAR_TYPES(XP_ENUM_NAME)};

// The enumerator's name, or null for a value outside the enumeration.
constexpr const char* OpTypeName(OpType_e type) {
    return XP::EnumName(kOpTypeNames, type);
}
constexpr const char* DataVarTypeName(DataVarType_e type) {
    return XP::EnumName(kDataVarTypeNames, type);
}
