#include "shared/data/ssData/SsDataTables.h"

namespace {

// One entry object per row, named after the entry ("videoWidth" -> videoWidthEntry).
#define KESTREL_DEFINE_SS_DATA_ENTRY(name, id, indexType, type, use) \
    COpSsData name##Entry(#name, id, CIndex(1, indexType), type);
#define KESTREL_DEFINE_SS_DATA_ENTRIES(table, list) list(KESTREL_DEFINE_SS_DATA_ENTRY)

KESTREL_DAEMON_SS_DATA_TABLES(KESTREL_DEFINE_SS_DATA_ENTRIES)
KESTREL_OTHER_SS_DATA_TABLES(KESTREL_DEFINE_SS_DATA_ENTRIES)

#undef KESTREL_DEFINE_SS_DATA_ENTRIES
#undef KESTREL_DEFINE_SS_DATA_ENTRY

}  // namespace

// The tables hold only addresses, so they are complete before any entry's constructor runs.
#define KESTREL_SS_DATA_ENTRY_ADDRESS(name, id, indexType, type, use) &name##Entry,
#define KESTREL_DEFINE_SS_DATA_TABLE(table, list) \
    COpSsData* const table[] = {list(KESTREL_SS_DATA_ENTRY_ADDRESS) nullptr};

KESTREL_DAEMON_SS_DATA_TABLES(KESTREL_DEFINE_SS_DATA_TABLE)
KESTREL_OTHER_SS_DATA_TABLES(KESTREL_DEFINE_SS_DATA_TABLE)

#undef KESTREL_DEFINE_SS_DATA_TABLE
#undef KESTREL_SS_DATA_ENTRY_ADDRESS

void FillDaemonCatalogue(COpSsDataMap& map) {
#define KESTREL_FILL_SS_DATA_TABLE(table, list) map.FillMap(table);
    KESTREL_DAEMON_SS_DATA_TABLES(KESTREL_FILL_SS_DATA_TABLE)
#undef KESTREL_FILL_SS_DATA_TABLE
}
