#include "shared/system/RootPrefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "xptools/Print.h"

namespace Kestrel {
namespace Sys {
namespace {

#if KESTREL_BOARD
constexpr bool kBoard = true;
#else
constexpr bool kBoard = false;
#endif

std::mutex g_RootMutex;

std::string& Root() {
    static std::string root = kBoard ? std::string("/") : DefaultHostRoot();
    return root;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::string DefaultHostRoot() {
    const char* env = std::getenv("KESTREL_ROOT");
    if (env && *env && WithoutTrailingSlashes(env) != "/")
        return WithoutTrailingSlashes(env);
    return "/tmp/kestrel-root-" + std::to_string(static_cast<unsigned long>(getuid()));
}

std::string RootDirectory() {
    std::lock_guard<std::mutex> lock(g_RootMutex);
    return Root();
}

bool SetRootDirectory(const std::string& directory) {
    const std::string root = WithoutTrailingSlashes(directory);
    if (root.empty() || (root == "/" && !kBoard)) {
        XP::MyPrintf("Refusing root directory \"%s\": the daemon's files need a private root here",
                     directory.c_str());
        return false;
    }
    std::lock_guard<std::mutex> lock(g_RootMutex);
    Root() = root;
    return true;
}

std::string RootPath(const std::string& boardPath) {
    if (boardPath.empty() || boardPath[0] != '/')
        return boardPath;
    std::lock_guard<std::mutex> lock(g_RootMutex);
    if (Root() == "/")
        return boardPath;
    return Root() + boardPath;
}

bool MakeRootDirectories(const std::string& boardPath) {
    const std::string path = RootPath(boardPath);
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty())
            continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace Sys
}  // namespace Kestrel
