#pragma once

#include "shared/data/ssData/OpSsData.h"
#include "shared/data/ssData/OpSsDataMap.h"
#include "shared/data/ssData/SsDataLists.h"

// The catalogue tables, one per functional group (audioPidLockSsData, audioSrvSsData, ...,
// usbUpgradeSsData), each an array of entries ended by a null pointer. The entries are created
// during static initialisation and live for the whole process; read them only once main runs.
#define KESTREL_DECLARE_SS_DATA_TABLE(table, list) extern COpSsData* const table[];
KESTREL_DAEMON_SS_DATA_TABLES(KESTREL_DECLARE_SS_DATA_TABLE)
KESTREL_OTHER_SS_DATA_TABLES(KESTREL_DECLARE_SS_DATA_TABLE)
#undef KESTREL_DECLARE_SS_DATA_TABLE

// Fills `map` with the seventeen tables the daemon understands, in their filling order
// (usbUpgradeSsData is left out).
void FillDaemonCatalogue(COpSsDataMap& map);
