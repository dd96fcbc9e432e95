#include <gtest/gtest.h>
#include <log4cpp/Category.hh>

#include "TempDir.h"
#include "shared/system/Logging.h"
#include "shared/system/RootPrefix.h"

namespace {

using namespace Kestrel::Sys;

TEST(Logging, ConfiguresFromTheRootsInitFileOrFallsBack) {
    KestrelTest::TempDir root;
    const std::string previous = RootDirectory();
    ASSERT_TRUE(SetRootDirectory(root.Path()));

    EXPECT_EQ(LOG_CONFIG_MISSING, ConfigureLogging());
    EXPECT_FALSE(log4cpp::Category::getRoot().getAllAppenders().empty());

    root.WriteFile("vendor/etc/kestrel-log4cpp.init",
                   "priority raduva.configmanager DEBUG\npriority root WARN\n");
    EXPECT_EQ(LOG_CONFIG_LOADED, ConfigureLogging());
    EXPECT_EQ(log4cpp::Priority::DEBUG,
              log4cpp::Category::getInstance("raduva.configmanager").getPriority());
    EXPECT_EQ(log4cpp::Priority::WARN, log4cpp::Category::getRoot().getPriority());

    root.WriteFile("vendor/etc/kestrel-log4cpp.init", "priority raduva.configmanager LOUD\n");
    EXPECT_EQ(LOG_CONFIG_FAILED, ConfigureLogging());

    ConfigureDefaultLogging();
    SetRootDirectory(previous);
}

}  // namespace
