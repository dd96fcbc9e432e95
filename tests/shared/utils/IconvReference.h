#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

// glibc's own conversion between two character sets: the reference for the text converter.
// Gives the converted bytes, or nothing when iconv refuses any part of the input.
class IconvReference {
public:
    IconvReference(const char* to, const char* from) : m_Cd(iconv_open(to, from)) {}
    ~IconvReference() { iconv_close(m_Cd); }
    IconvReference(const IconvReference&) = delete;
    IconvReference& operator=(const IconvReference&) = delete;

    std::optional<std::string> operator()(std::string in) {
        iconv(m_Cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> out(4 * in.size() + 16);
        char* inPtr = in.data();
        char* outPtr = out.data();
        size_t inLeft = in.size();
        size_t outLeft = out.size();
        if (iconv(m_Cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(out.data(), outPtr);
    }

    // Little-endian UTF-16 bytes as units.
    static std::u16string Units(const std::string& utf16le) {
        std::u16string units;
        for (size_t i = 0; i + 1 < utf16le.size(); i += 2) {
            units += static_cast<char16_t>(static_cast<uint8_t>(utf16le[i]) |
                                           static_cast<uint8_t>(utf16le[i + 1]) << 8);
        }
        return units;
    }

private:
    iconv_t m_Cd;
};
