#pragma once

#include <cstddef>

// Operation types and data type codes of the controller link, with their names. The name tables
// are the one place the enumerator spellings live: diagnostics, kestrelctl and the typed getters'
// messages all take them from here.

// Kind of an operation. One byte on the wire; the fixed underlying type keeps any received byte a
// valid value of the enumeration, known or not.
enum OpType_e : int {
    OP_TYPE_SET = 0,
    OP_TYPE_ADD = 1,
    OP_TYPE_REMOVE = 2,
    OP_TYPE_REMOVE_ALL = 3,
    OP_TYPE_REQUEST = 4,
    OP_TYPE_MULTI = 5,
    OP_TYPE_TRANSACTION_END = 6,
    OP_TYPE_SYNC = 7,
};

// Type of the value an operation id carries (the catalogue gives one per id) and of index values.
enum DataVarType_e : int {
    VT_INT32 = 0,
    VT_UINT32 = 1,
    VT_INT8 = 2,
    VT_UINT8 = 3,
    VT_INT16 = 4,
    VT_UINT16 = 5,
    VT_DOUBLE = 6,
    VT_FLOAT = 7,
    VT_BOOL = 8,
    VT_MAC = 9,
    VT_IP = 10,
    VT_COMPLEX = 11,
    VT_STRING = 12,
    VT_INT40 = 13,
    VT_UINT40 = 14,
    VT_CHARARRAY = 15,
    VT_INT64 = 16,
    VT_UINT64 = 17,
    VT_TBD = 18,
};

// Indexed by the enumerator's value.
inline constexpr const char* kOpTypeNames[] = {
    "OP_TYPE_SET",     "OP_TYPE_ADD",   "OP_TYPE_REMOVE",          "OP_TYPE_REMOVE_ALL",
    "OP_TYPE_REQUEST", "OP_TYPE_MULTI", "OP_TYPE_TRANSACTION_END", "OP_TYPE_SYNC",
};
inline constexpr size_t kOpTypeCount = sizeof(kOpTypeNames) / sizeof(kOpTypeNames[0]);

inline constexpr const char* kDataVarTypeNames[] = {
    "VT_INT32",  "VT_UINT32",    "VT_INT8",  "VT_UINT8",  "VT_INT16",   "VT_UINT16", "VT_DOUBLE",
    "VT_FLOAT",  "VT_BOOL",      "VT_MAC",   "VT_IP",     "VT_COMPLEX", "VT_STRING", "VT_INT40",
    "VT_UINT40", "VT_CHARARRAY", "VT_INT64", "VT_UINT64", "VT_TBD",
};
inline constexpr size_t kDataVarTypeCount =
    sizeof(kDataVarTypeNames) / sizeof(kDataVarTypeNames[0]);

static_assert(kOpTypeCount == OP_TYPE_SYNC + 1, "one name per operation type");
static_assert(kDataVarTypeCount == VT_TBD + 1, "one name per data type");

// The enumerator's name, or null for a value outside the enumeration.
constexpr const char* OpTypeName(OpType_e type) {
    return type >= 0 && static_cast<size_t>(type) < kOpTypeCount ? kOpTypeNames[type] : nullptr;
}

constexpr const char* DataVarTypeName(DataVarType_e type) {
    return type >= 0 && static_cast<size_t>(type) < kDataVarTypeCount ? kDataVarTypeNames[type]
                                                                      : nullptr;
}
