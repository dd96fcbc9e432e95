#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/data/ssData/OpSsDataMap.h"

// One operation as the command line of "kestrelctl send" gives it, turned into the payload of one
// serial frame:
//
//   NAME[INDEX]=VALUE   a set operation of the catalogue entry with that name
//   ID[INDEX]=VALUE     the same by id (decimal or 0x-hex)
//   end                 a transaction end: type 6, id 0, no index, no data
//   raw:HEX             the payload as hex digits (an even number, at least two), sent as it is
//
// INDEX is a comma-separated list of bytes (decimal or 0x-hex), outermost first: "[1]",
// "[1,2]"; "[]" sends no index byte. Without brackets the index list is the single byte 0. VALUE
// is read by the entry's catalogue type (ValueText.h).
namespace KestrelCtl {

// True with `payload` set, or false with `error` saying in one line what is wrong with the
// argument (`payload` is then unchanged).
bool ParseOpArgument(const std::string& argument, const COpSsDataMap& catalogue,
                     std::vector<uint8_t>& payload, std::string& error);

}  // namespace KestrelCtl
