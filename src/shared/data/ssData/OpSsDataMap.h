#pragma once

#include <map>

#include "shared/data/ssData/OpSsData.h"

// The catalogue as one map from operation id to entry, filled from the null-terminated entry
// tables. The entries are not owned (they live for the whole process).
//
// Threads: filled once while the subsystem is built; afterwards only read, from the serial
// processing thread (sender) and "poller" (configuration runs), without a lock.
class COpSsDataMap {
public:
    typedef std::map<unsigned int, COpSsData*> Map_t;

    // Enters every entry of `table` up to its null pointer; an entry whose id is already mapped
    // replaces the earlier one, so the order of filling decides between duplicates.
    void FillMap(COpSsData* const* table) {
        if (table == nullptr) {
            return;
        }
        for (; *table != nullptr; ++table) {
            m_Data[(*table)->GetOperationId()] = *table;
        }
    }

    Map_t Get() const { return m_Data; }
    const Map_t& View() const { return m_Data; }

    // The entry for `id`, or null when the catalogue does not hold it.
    const COpSsData* GetByOpId(unsigned int id) const {
        Map_t::const_iterator it = m_Data.find(id);
        return it != m_Data.end() ? it->second : nullptr;
    }

private:
    Map_t m_Data;
};
