#pragma once

#include <string>

// Android system properties as the host emulates them: one "key=value" line per property in
// <root>/host/properties (the settings-file syntax of XP::CEnvBlock). The host shell's setprop
// writes here; the host platform reads here (an absent "sys.boot_completed" means booted).
namespace Kestrel {
namespace Sys {

extern const char* const HOST_PROPERTIES_PATH;  // board-style path under the root

std::string GetHostProperty(const std::string& key, const std::string& defaultValue);
// Sets or replaces a property; false when the file cannot be written.
bool SetHostProperty(const std::string& key, const std::string& value);

}  // namespace Sys
}  // namespace Kestrel
