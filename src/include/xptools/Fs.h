#pragma once

#include <string>

namespace XP {

// File-system helpers.
class CFs {
public:
    // Removes a file (not a directory): true when it was deleted. A missing file is false
    // without a message; any other failure prints why.
    static bool DelFile(const std::string& path);
};

}  // namespace XP
