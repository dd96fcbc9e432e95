#pragma once

#include <string>

// Logging set-up. Components log through log4cpp categories named after themselves
// ("raduva.configmanager", "kestrel.status", "main", ...), taken with
// log4cpp::Category::getInstance; this only decides where the lines go.
namespace Kestrel {
namespace Sys {

extern const char* const LOG_CONFIG_PATH;  // "/vendor/etc/kestrel-log4cpp.init"

enum LogConfigResult_e {
    LOG_CONFIG_LOADED = 0,   // the file was found and log4cpp accepted it
    LOG_CONFIG_MISSING = 1,  // no file under the root: default set-up
    LOG_CONFIG_FAILED = 2,   // log4cpp rejected the file: default set-up
};

// Configures log4cpp from the board path (resolved through the root) with log4cpp's simple
// configurator. Without a usable file, the root category writes to standard error at the level
// named by $KESTREL_LOG_LEVEL (DEBUG, INFO, WARN, ERROR; INFO when unset or unknown).
LogConfigResult_e ConfigureLogging(const std::string& boardPath = LOG_CONFIG_PATH);

// The default set-up alone.
void ConfigureDefaultLogging();

}  // namespace Sys
}  // namespace Kestrel
