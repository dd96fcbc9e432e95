#pragma once

#include <map>
#include <string>

namespace XP {

// A settings file read once at construction: one "key=value" per line. Blank space around the
// key and the value is dropped; a line whose first non-blank character is '#' is a comment;
// lines without '=' or with an empty key are skipped. When a key appears more than once, the
// last line wins. The value is everything after the first '=' (it may contain '=' and '#').
// A missing or unreadable file leaves the block empty, so every GetValue gives its default.
class CEnvBlock {
public:
    explicit CEnvBlock(const std::string& file);

    // The key's value, else `defaultValue`.
    std::string GetValue(const std::string& key, const std::string& defaultValue) const;
    bool HasKey(const std::string& key) const;
    // False when the file could not be read.
    bool IsLoaded() const { return m_Loaded; }

private:
    std::map<std::string, std::string> m_Values;
    bool m_Loaded;
};

}  // namespace XP
