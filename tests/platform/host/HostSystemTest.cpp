#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TempDir.h"
#include "shared/system/HostProperties.h"
#include "shared/system/RootPrefix.h"
#include "stb/stb_system.h"

namespace {

class RootGuard {
public:
    explicit RootGuard(const std::string& root) : m_Previous(Kestrel::Sys::RootDirectory()) {
        Kestrel::Sys::SetRootDirectory(root);
    }
    ~RootGuard() { Kestrel::Sys::SetRootDirectory(m_Previous); }

private:
    std::string m_Previous;
};

std::string Property(const char* key, const char* fallback) {
    char value[SYSTEM_PROPERTY_VALUE_MAX];
    std::memset(value, '#', sizeof(value));
    EXPECT_EQ(system_get_property(key, value, fallback), 0u);
    return value;
}

}  // namespace

TEST(HostSystem, PropertiesComeFromTheRootsFileAndBootCountsAsCompletedWhenAbsent) {
    KestrelTest::TempDir dir;
    RootGuard root(dir.Path());
    EXPECT_EQ(Property("sys.boot_completed", "0"), "1");
    EXPECT_EQ(Property("persist.kestrel.mode", "fallback"), "fallback");
    EXPECT_EQ(Property("persist.kestrel.mode", nullptr), "");

    ASSERT_TRUE(Kestrel::Sys::SetHostProperty("sys.boot_completed", "0"));
    ASSERT_TRUE(Kestrel::Sys::SetHostProperty("persist.kestrel.mode", std::string(200, 'v')));
    EXPECT_EQ(Property("sys.boot_completed", "1"), "0");
    // A long value is cut to the room, terminator included.
    EXPECT_EQ(Property("persist.kestrel.mode", ""),
              std::string(SYSTEM_PROPERTY_VALUE_MAX - 1, 'v'));

    char value[SYSTEM_PROPERTY_VALUE_MAX];
    EXPECT_NE(system_get_property(nullptr, value, ""), 0u);
}

TEST(HostSystem, NetworkAndUpgradeRequestsAreJournalledOnly) {
    KestrelTest::TempDir dir;
    RootGuard root(dir.Path());
    ASSERT_EQ(system_set_static_network("192.168.37.10", "255.255.255.0", "192.168.37.1"), 0u);
    ASSERT_EQ(system_upgrade("/sdcard/update.zip"), 0u);
    EXPECT_NE(system_upgrade(nullptr), 0u);
    EXPECT_EQ(dir.ReadFile("host/system-journal"),
              "set_static_network address=192.168.37.10 netmask=255.255.255.0 "
              "gateway=192.168.37.1\n"
              "upgrade path=/sdcard/update.zip\n");
}
