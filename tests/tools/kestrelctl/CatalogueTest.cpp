#include "kestrelctl/Catalogue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(CatalogueTest, ListsEntriesAsTheDaemonResolvesThemAndEveryEnumerator) {
    std::ostringstream out;
    KestrelCtl::ListCatalogue(KestrelCtl::DaemonCatalogue(), out);
    const std::string listing = out.str();
    EXPECT_EQ(listing.rfind("0 hisisystemReset VT_INT8 status\n", 0), 0u);
    for (const char* line :
         {"\n73 audioOutputDownmix VT_INT8 set\n", "\n252 serviceselectionVideo VT_UINT16 set\n",
          "\n280 videoFrameRate VT_UINT16 status\n", "\n107 avssconfigGenlockAvail VT_BOOL -\n"}) {
        EXPECT_NE(listing.find(line), std::string::npos) << line;
    }
    EXPECT_LT(listing.find("\n252 "), listing.find("\n280 "));

    std::ostringstream enums;
    KestrelCtl::ListEnumerations(enums);
    for (const char* line : {"VideoType_e VIDEO_TYPE_MPEG4 2\n",
                             "VideoStatusType_e VIDEO_STATUS_TYPE_NOTAPPLICABLE 255\n",
                             "VideoFormat_e VIDEO_FORMAT_INVALID 40\n"}) {
        EXPECT_NE(enums.str().find(line), std::string::npos) << line;
    }
}

}  // namespace
