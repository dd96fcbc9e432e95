#include "shared/system/HostProperties.h"

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "shared/system/RootPrefix.h"
#include "xptools/EnvBlock.h"

namespace Kestrel {
namespace Sys {

const char* const HOST_PROPERTIES_PATH = "/host/properties";

namespace {

std::mutex g_PropertiesMutex;

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

}  // namespace

std::string GetHostProperty(const std::string& key, const std::string& defaultValue) {
    std::lock_guard<std::mutex> lock(g_PropertiesMutex);
    return XP::CEnvBlock(RootPath(HOST_PROPERTIES_PATH)).GetValue(key, defaultValue);
}

bool SetHostProperty(const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(g_PropertiesMutex);
    if (!MakeRootDirectories("/host"))
        return false;
    const std::string path = RootPath(HOST_PROPERTIES_PATH);
    std::ostringstream out;
    for (const std::string& line : ReadLines(path)) {
        const size_t eq = line.find('=');
        if (eq == key.size() && line.compare(0, eq, key) == 0)
            continue;
        out << line << '\n';
    }
    out << key << '=' << value << '\n';
    // Write a new file and rename it, so a reader never sees half a file.
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << out.str();
        if (!file.good())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace Sys
}  // namespace Kestrel
