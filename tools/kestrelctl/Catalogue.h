#pragma once

#include <ostream>
#include <string>

#include "shared/data/ssData/OpSsDataMap.h"

// The operation catalogue as the daemon resolves it, and the tool's listings of it.
namespace KestrelCtl {

// The daemon's map (the seventeen tables in the daemon's filling order), built on first use and
// kept for the process. Call only once main runs: the entries are made during static
// initialisation.
const COpSsDataMap& DaemonCatalogue();

// The entry with exactly this name, or null. Names that a later table replaced under the same id
// (id 73 is "audioOutputDownmix", not "audiosrvDownmixOp") are not found, as the daemon does not
// know them.
const COpSsData* FindEntryByName(const COpSsDataMap& catalogue, const std::string& name);

// One line per entry in id order: "ID NAME TYPE USE", e.g. "252 serviceselectionVideo VT_UINT16
// set".
void ListCatalogue(const COpSsDataMap& catalogue, std::ostream& out);

// One line per member of every value enumeration: "ENUMERATION MEMBER VALUE", e.g.
// "VideoType_e VIDEO_TYPE_MPEG4 2".
void ListEnumerations(std::ostream& out);

}  // namespace KestrelCtl
