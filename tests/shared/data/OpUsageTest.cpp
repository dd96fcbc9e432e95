#include "shared/data/OpUsage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "shared/data/ssData/SsDataTables.h"

namespace {

TEST(OpUsageTest, UseColumn) {
    EXPECT_STREQ(OpUseName(OP_USE_NONE), "-");
    EXPECT_STREQ(OpUseName(OP_USE_SET), "set");
    EXPECT_STREQ(OpUseName(OP_USE_STATUS), "status");

    struct Case {
        unsigned int id;
        OpUse_e use;
    };
    const Case cases[] = {
        {0, OP_USE_STATUS},
        {2, OP_USE_STATUS},
        {4, OP_USE_SET},
        {5, OP_USE_NONE},
        {10, OP_USE_SET},
        {11, OP_USE_STATUS},
        {22, OP_USE_NONE},
        {73, OP_USE_SET},
        {116, OP_USE_NONE},
        {226, OP_USE_STATUS},
        {228, OP_USE_NONE},
        {272, OP_USE_SET},
        {273, OP_USE_STATUS},
        {311, OP_USE_NONE},
        {314, OP_USE_SET},
        {317, OP_USE_STATUS},
        // not in the daemon's catalogue
        {16, OP_USE_NONE},
        {318, OP_USE_NONE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetOpUse(c.id), c.use) << c.id;
    }
}

TEST(OpUsageTest, ValueEnumerationOfAnId) {
    struct Case {
        unsigned int id;
        const char* enumeration;  // null: the value is not an enumeration member
    };
    const Case cases[] = {
        {18, "AudioState_e"},
        {21, "AnalogAudio_e"},
        {159, "OverlayType_e"},
        {162, "OverlayDtvCcType_e"},
        {248, "VideoType_e"},
        {249, "AudioType_e"},
        {260, "Enable_e"},
        {269, "FormatMode_e"},
        {312, "DecoderSyncMode_e"},
        {227, "VideoStatusType_e"},
        {235, "SyncStatus_e"},
        {275, "Status_e"},
        {280, "VideoFrameRate_e"},
        {282, "VideoProfile_e"},
        {288, "VideoResolutionType_e"},
        {79, "AudioBitsPerSample_e"},
        {80, "AudioChannelCoding_e"},
        {220, "AudioTypeStatus_e"},
        {222, "SyncStatus_e"},
        {272, nullptr},
        {273, nullptr},
        {277, nullptr},
        {284, nullptr},
        {10, nullptr},
        {73, nullptr},
        {16, nullptr},
        {318, nullptr},
    };
    for (const Case& c : cases) {
        const ValueEnumeration_t* enumeration = GetOpValueEnumeration(c.id);
        if (c.enumeration == nullptr) {
            EXPECT_EQ(enumeration, nullptr) << c.id;
        } else {
            ASSERT_NE(enumeration, nullptr) << c.id;
            EXPECT_STREQ(enumeration->name, c.enumeration) << c.id;
        }
    }
}

// An id whose value is an enumeration member is one the daemon applies or reports, and every
// valid member fits the id's data type (the bounds need not: VIDEO_STATUS_TYPE_END is 256).
TEST(OpUsageTest, EnumeratedValuesFitTheirDataType) {
    COpSsDataMap map;
    FillDaemonCatalogue(map);
    size_t enumerated = 0;
    for (const auto& [id, entry] : map.View()) {
        const ValueEnumeration_t* enumeration = GetOpValueEnumeration(id);
        if (enumeration == nullptr) {
            continue;
        }
        ++enumerated;
        SCOPED_TRACE(entry->GetLabel());
        EXPECT_NE(GetOpUse(id), OP_USE_NONE);
        int highest = INT_MIN;
        for (size_t m = 0; m < enumeration->count; ++m) {
            const std::string name = enumeration->members[m].name;
            if (name.size() < 4 || name.compare(name.size() - 4, 4, "_END") != 0) {
                highest = std::max(highest, enumeration->members[m].value);
            }
        }
        switch (entry->GetDataVarType()) {
            case VT_UINT8:
                EXPECT_LE(highest, 255);
                break;
            case VT_UINT16:
            case VT_UINT32:
                break;
            default:
                ADD_FAILURE() << "enumerated value in type " << entry->GetDataVarType();
        }
    }
    // 15 settings, 13 video status fields, 6 audio status fields.
    EXPECT_EQ(enumerated, 34u);
}

}  // namespace
