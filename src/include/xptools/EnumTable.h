#pragma once

#include <cstddef>
#include <cstring>

// Enumerations whose members have names at run time (diagnostics, the controller tool's value
// parser) are declared once, as a list macro, and both the enumeration and its name table are
// generated from that list:
//
//   #define MY_COLOURS(X) X(COLOUR_RED, 1) X(COLOUR_BLUE, 4)
//   enum Colour_e : int { MY_COLOURS(XP_ENUM_MEMBER) };
//   inline constexpr XP::EnumName_t<Colour_e> kColourNames[] = {MY_COLOURS(XP_ENUM_NAME)};
//
// Values need not be contiguous; lookups walk the table.

#define XP_ENUM_MEMBER(name, value) name = (value),
#define XP_ENUM_NAME(name, value) {name, #name},

namespace XP {

template <typename Enum>
struct EnumName_t {
    Enum value;
    const char* name;
};

// The member's name, or null for a value that has none.
template <typename Enum, size_t N>
constexpr const char* EnumName(const EnumName_t<Enum> (&table)[N], Enum value) {
    for (const EnumName_t<Enum>& entry : table) {
        if (entry.value == value) {
            return entry.name;
        }
    }
    return nullptr;
}

// The member with this exact name; false when there is none.
template <typename Enum, size_t N>
bool EnumValue(const EnumName_t<Enum> (&table)[N], const char* name, Enum& value) {
    for (const EnumName_t<Enum>& entry : table) {
        if (std::strcmp(entry.name, name) == 0) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

}  // namespace XP
