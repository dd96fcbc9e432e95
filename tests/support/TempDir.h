#pragma once

#include <string>

namespace KestrelTest {

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_Path; }
    // Writes a file (relative to the directory); returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& content) const;
    // The file's content, or "" when it cannot be read.
    std::string ReadFile(const std::string& relative) const;

private:
    std::string m_Path;
};

}  // namespace KestrelTest
