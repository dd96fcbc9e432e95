#include "xptools/Fs.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "xptools/Print.h"

namespace XP {

bool CFs::DelFile(const std::string& path) {
    if (unlink(path.c_str()) == 0) {
        return true;
    }
    if (errno != ENOENT) {
        MyPrintf("CFs: cannot delete %s: %s", path.c_str(), std::strerror(errno));
    }
    return false;
}

}  // namespace XP
