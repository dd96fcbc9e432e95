#pragma once

#include <string>

// Every absolute board path ("/data/var/run/kestrel.pid", "/dev/ttyS2", "/sdcard/update.zip", ...)
// is turned into a path of this machine here, and nowhere else. On the board the root is "/" and
// paths stay as they are; on a development machine the root is a private directory, so the daemon
// never touches the machine's own /data, /vendor or /dev.
namespace Kestrel {
namespace Sys {

// The root directory in force ("/" on the board).
std::string RootDirectory();

// Sets the root. An empty text, or "/" on a build that is not the board's, is refused with a
// console message and leaves the root as it was. Returns whether the root was set.
bool SetRootDirectory(const std::string& directory);

// The host's default root: $KESTREL_ROOT when set and not "/", else "/tmp/kestrel-root-<uid>".
std::string DefaultHostRoot();

// The machine path of a board path: the root followed by the path. Relative paths are returned
// unchanged (they name nothing on the board).
std::string RootPath(const std::string& boardPath);

// Creates a directory and its parents under the root (board path); true when it exists after.
bool MakeRootDirectories(const std::string& boardPath);

}  // namespace Sys
}  // namespace Kestrel
