#include "xptools/EnvBlock.h"

#include <fstream>

#include "xptools/Print.h"

namespace XP {
namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr std::streamsize MAX_FILE_SIZE = 64 * 1024;

std::string Trim(const std::string& text) {
    static const char* const BLANKS = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string::npos) {
        return std::string();
    }
    const size_t last = text.find_last_not_of(BLANKS);
    return text.substr(first, last - first + 1);
}

}  // namespace

CEnvBlock::CEnvBlock(const std::string& file) : m_Loaded(false) {
    std::ifstream stream(file);
    if (!stream) {
        return;
    }
    m_Loaded = true;
    std::string line;
    std::streamsize consumed = 0;
    unsigned int lineNumber = 0;
    while (std::getline(stream, line)) {
        ++lineNumber;
        consumed += static_cast<std::streamsize>(line.size()) + 1;
        if (consumed > MAX_FILE_SIZE) {
            MyPrintf("CEnvBlock: %s is larger than %ld bytes; the rest is ignored", file.c_str(),
                     static_cast<long>(MAX_FILE_SIZE));
            break;
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        const size_t equals = trimmed.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = Trim(trimmed.substr(0, equals));
        if (key.empty()) {
            MyPrintf("CEnvBlock: %s line %u has no key, ignored", file.c_str(), lineNumber);
            continue;
        }
        m_Values[key] = Trim(trimmed.substr(equals + 1));
    }
}

std::string CEnvBlock::GetValue(const std::string& key, const std::string& defaultValue) const {
    const auto it = m_Values.find(key);
    return it != m_Values.end() ? it->second : defaultValue;
}

bool CEnvBlock::HasKey(const std::string& key) const {
    return m_Values.count(key) != 0;
}

}  // namespace XP
