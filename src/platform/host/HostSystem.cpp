// Library bring-up and system services of the host platform. Properties come from the root's
// property file; network changes and upgrades are only journalled (this machine's network and
// software are never touched), one line per request in <root>/host/system-journal.

#include <log4cpp/Category.hh>

#include <cstdio>
#include <cstring>
#include <string>

#include "shared/system/HostProperties.h"
#include "shared/system/RootPrefix.h"
#include "stb/stb_system.h"

namespace {

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.platform");
}

constexpr STB_STATUS ERR_NULL = 0x80010004u;
constexpr STB_STATUS ERR_JOURNAL = 0x80010007u;

STB_STATUS Journal(const std::string& line) {
    Kestrel::Sys::MakeRootDirectories("/host");
    std::string path = Kestrel::Sys::RootPath("/host/system-journal");
    FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        Log().error("cannot write the system journal %s", path.c_str());
        return ERR_JOURNAL;
    }
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
    Log().info("journalled, not executed: %s", line.c_str());
    return STB_SUCCESS;
}

}  // namespace

extern "C" {

STB_STATUS system_init(void) {
    return STB_SUCCESS;
}

STB_STATUS system_deinit(void) {
    return STB_SUCCESS;
}

STB_STATUS system_get_property(const char* pszKey, char* pszValue, const char* pszDefault) {
    if (pszKey == nullptr || pszValue == nullptr)
        return ERR_NULL;
    std::string key = pszKey;
    // The host counts as booted unless the property file says otherwise.
    std::string fallback = pszDefault != nullptr ? pszDefault : "";
    if (key == "sys.boot_completed")
        fallback = Kestrel::Sys::GetHostProperty(key, "1");
    std::string value = Kestrel::Sys::GetHostProperty(key, fallback);
    std::snprintf(pszValue, SYSTEM_PROPERTY_VALUE_MAX, "%s", value.c_str());
    return STB_SUCCESS;
}

STB_STATUS system_set_static_network(const char* pszAddress, const char* pszNetmask,
                                     const char* pszGateway) {
    if (pszAddress == nullptr || pszNetmask == nullptr || pszGateway == nullptr)
        return ERR_NULL;
    return Journal(std::string("set_static_network address=") + pszAddress +
                   " netmask=" + pszNetmask + " gateway=" + pszGateway);
}

STB_STATUS system_upgrade(const char* pszPath) {
    if (pszPath == nullptr)
        return ERR_NULL;
    return Journal(std::string("upgrade path=") + pszPath);
}

}  // extern "C"
