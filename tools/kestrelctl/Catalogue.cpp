#include "kestrelctl/Catalogue.h"

#include "shared/data/OpUsage.h"
#include "shared/data/ssData/SsDataTables.h"
#include "shared/types/ValueEnumerations.h"

namespace KestrelCtl {

const COpSsDataMap& DaemonCatalogue() {
    static const COpSsDataMap catalogue = [] {
        COpSsDataMap map;
        FillDaemonCatalogue(map);
        return map;
    }();
    return catalogue;
}

const COpSsData* FindEntryByName(const COpSsDataMap& catalogue, const std::string& name) {
    for (const auto& entry : catalogue.View()) {
        if (entry.second->GetLabel() == name)
            return entry.second;
    }
    return nullptr;
}

void ListCatalogue(const COpSsDataMap& catalogue, std::ostream& out) {
    for (const auto& entry : catalogue.View()) {
        const char* type = DataVarTypeName(entry.second->GetDataVarType());
        out << entry.first << ' ' << entry.second->GetLabel() << ' ' << (type ? type : "VT_?")
            << ' ' << OpUseName(GetOpUse(entry.first)) << '\n';
    }
}

void ListEnumerations(std::ostream& out) {
    size_t count = 0;
    const ValueEnumeration_t* enumerations = GetValueEnumerations(count);
    for (size_t i = 0; i < count; ++i) {
        const ValueEnumeration_t& enumeration = enumerations[i];
        for (size_t m = 0; m < enumeration.count; ++m) {
            out << enumeration.name << ' ' << enumeration.members[m].name << ' '
                << enumeration.members[m].value << '\n';
        }
    }
}

}  // namespace KestrelCtl
