#pragma once

#include <cstddef>

#include "xptools/EnumTable.h"

namespace Cmf {

// The text token of an enumeration value from its (value, token) table; a value outside the table
// prints as the table's `unknown` member.
template <typename Enum, std::size_t N>
const char* TokenOf(const XP::EnumName_t<Enum> (&table)[N], Enum value, Enum unknown) {
    const char* token = XP::EnumName(table, value);
    return token != nullptr ? token : XP::EnumName(table, unknown);
}

}  // namespace Cmf
