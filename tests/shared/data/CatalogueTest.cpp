#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shared/data/ssData/OpSsDataMap.h"
#include "shared/data/ssData/SsDataTables.h"

namespace {

COpSsDataMap DaemonCatalogue() {
    COpSsDataMap map;
    FillDaemonCatalogue(map);
    return map;
}

TEST(CatalogueTest, LookupsByOpId) {
    const COpSsDataMap map = DaemonCatalogue();
    struct Case {
        unsigned int id;
        const char* name;
        DataVarType_e type;
    };
    const Case cases[] = {
        // audioOutputSsData is entered after audioSrvSsData, so its entry wins.
        {73, "audioOutputDownmix", VT_INT8},
        // usbUpgradeSsData stays out; the system table answers for 10 and 11.
        {10, "hisisystemProductId", VT_STRING},
        {11, "hisisystemStatushisisystemFile", VT_STRING},
        {0, "hisisystemReset", VT_INT8},
        {2, "hisisystemSoftwareVersion", VT_UINT32},
        {12, "hisisystemSetDecoderIndex", VT_UINT8},
        {19, "audioOutputLevel", VT_INT8},
        {107, "avssconfigGenlockAvail", VT_BOOL},
        {226, "selectedserviceVideoPid", VT_INT16},
        {231, "selectedserviceServiceNum", VT_UINT16},
        {272, "videooutputManualFormat", VT_UINT32},
        {280, "videoFrameRate", VT_UINT16},
        {314, "decoderadvancesettingInjectPktNum", VT_UINT16},
        {316, "avssconfigAvSyncSetting", VT_INT16},
        {317, "audiosrvClean", VT_UINT8},
    };
    for (const Case& c : cases) {
        const COpSsData* entry = map.GetByOpId(c.id);
        ASSERT_NE(entry, nullptr) << c.id;
        EXPECT_EQ(entry->GetLabel(), c.name) << c.id;
        EXPECT_EQ(entry->GetDataVarType(), c.type) << c.id;
        EXPECT_EQ(entry->GetOperationId(), c.id);
    }
    // Between the two id spaces, unused ids inside them, and the bounds themselves.
    for (unsigned int id : {13u, 15u, 16u, 17u, 24u, 243u, 313u, 318u, 0xFFFFu}) {
        EXPECT_EQ(map.GetByOpId(id), nullptr) << id;
    }
    EXPECT_EQ(AV_OP_AESAUDIO_PORT, 16);
    EXPECT_EQ(AV_OP_UNDEFINED, 318);
}

// Every entry has one index, one byte wide except the software version's; ids are in their
// spaces; the map's key is the entry's own id. 139 rows, less the two kept-out ones and the
// second 73, leave 136 ids.
TEST(CatalogueTest, EveryEntryHasOneIndexAndAnIdInRange) {
    const COpSsDataMap map = DaemonCatalogue();
    EXPECT_EQ(map.View().size(), 136u);
    for (const auto& [id, entry] : map.View()) {
        SCOPED_TRACE(entry->GetLabel());
        EXPECT_EQ(entry->GetOperationId(), id);
        EXPECT_TRUE(id <= 12u || (id >= 16u && id <= 317u)) << id;
        ASSERT_EQ(entry->GetIndexInfo().GetIndexCount(), 1u);
        const DataVarType_e expected = id == HISI_OP_SYSTEM_SOFTWARE_VERSION ? VT_UINT32 : VT_UINT8;
        EXPECT_EQ(entry->GetIndexInfo().GetIndexTypeList().front(), expected);
        uint32_t value = 1;
        EXPECT_TRUE(entry->GetIndexInfo().GetIndex(0, value));
        EXPECT_EQ(value, 0u);
    }
}

// Names are unique across all eighteen tables, including the one the daemon does not enter.
TEST(CatalogueTest, NamesAreUniqueAcrossTables) {
    std::set<std::string> names;
    size_t rows = 0;
    COpSsData* const* tables[] = {audioPidLockSsData,
                                  audioSrvSsData,
                                  raduVaSubsystemSsData,
                                  pidLockSsData,
                                  selectedAudioSsData,
                                  selectedServiceSsData,
                                  selectedOtherSsData,
                                  serviceSelectionSsData,
                                  videoOutputSsData,
                                  videoSsData,
                                  serviceLockSsData,
                                  analogAudioSsData,
                                  audioOutputSsData,
                                  compositeSsData,
                                  avSsConfigSsData,
                                  overlaySsData,
                                  decoderAdvanceSettingSsData,
                                  usbUpgradeSsData};
    for (COpSsData* const* table : tables) {
        for (; *table != nullptr; ++table) {
            ++rows;
            EXPECT_TRUE(names.insert((*table)->GetLabel()).second) << (*table)->GetLabel();
        }
    }
    EXPECT_EQ(rows, 139u);
}

TEST(CatalogueTest, UsbUpgradeTableDuplicatesTheSystemIds) {
    ASSERT_NE(usbUpgradeSsData[0], nullptr);
    ASSERT_NE(usbUpgradeSsData[1], nullptr);
    EXPECT_EQ(usbUpgradeSsData[2], nullptr);
    EXPECT_EQ(usbUpgradeSsData[0]->GetLabel(), "usbupgradeProductId");
    EXPECT_EQ(usbUpgradeSsData[0]->GetOperationId(), 10u);
    EXPECT_EQ(usbUpgradeSsData[1]->GetLabel(), "usbupgradeStatusUsbUpgradeFile");
    EXPECT_EQ(usbUpgradeSsData[1]->GetOperationId(), 11u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(usbUpgradeSsData[i]->GetDataVarType(), VT_STRING);
    }
}

TEST(OpSsDataMapTest, LaterEntriesReplaceEarlierOnes) {
    COpSsDataMap map;
    map.FillMap(audioOutputSsData);
    map.FillMap(audioSrvSsData);
    // Filled the other way round, 73 is the audio service's unsigned downmix.
    ASSERT_NE(map.GetByOpId(73), nullptr);
    EXPECT_EQ(map.GetByOpId(73)->GetLabel(), "audiosrvDownmixOp");
    EXPECT_EQ(map.GetByOpId(73)->GetDataVarType(), VT_UINT8);
    EXPECT_EQ(map.View().size(), 16u);  // 4 + 13 rows, one id shared

    COpSsData first("first", 500, CIndex(1, VT_UINT8), VT_UINT8);
    COpSsData second("second", 500, CIndex(1, VT_UINT8), VT_INT32);
    COpSsData* const table[] = {&first, &second, nullptr, &first};
    COpSsDataMap own;
    own.FillMap(table);
    own.FillMap(nullptr);
    EXPECT_EQ(own.GetByOpId(500), &second);
    EXPECT_EQ(own.View().size(), 1u);  // stops at the null pointer
}

TEST(OpSsDataMapTest, GetReturnsACopy) {
    COpSsDataMap map;
    map.FillMap(videoSsData);
    COpSsDataMap::Map_t copy = map.Get();
    EXPECT_EQ(copy, map.View());
    copy.erase(277);
    copy[999] = nullptr;
    EXPECT_NE(map.GetByOpId(277), nullptr);
    EXPECT_EQ(map.View().count(999), 0u);
}

}  // namespace
