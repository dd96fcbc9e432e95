#include "xptools/Address.h"

#include <cstdio>

namespace XP {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool CIpAddress::Set(const std::string& text) {
    uint32_t value = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        size_t digits = 0;
        unsigned int octet = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
            octet = octet * 10 + static_cast<unsigned int>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || octet > 255)
            return false;
        value = (value << 8) | octet;
    }
    if (pos != text.size())
        return false;
    m_Value = value;
    return true;
}

std::string CIpAddress::ToString() const {
    char text[16];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", (m_Value >> 24) & 0xFFu,
                  (m_Value >> 16) & 0xFFu, (m_Value >> 8) & 0xFFu, m_Value & 0xFFu);
    return text;
}

bool CMacAddress::Set(const std::string& text) {
    // "xx:xx:xx:xx:xx:xx" is 17 characters; one separator kind throughout.
    if (text.size() != 17)
        return false;
    const char separator = text[2];
    if (separator != ':' && separator != '-')
        return false;
    Bytes_t bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        const size_t at = i * 3;
        const int high = HexDigit(text[at]);
        const int low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0)
            return false;
        if (i + 1 < bytes.size() && text[at + 2] != separator)
            return false;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    m_Bytes = bytes;
    return true;
}

std::string CMacAddress::ToString() const {
    char text[18];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", m_Bytes[0], m_Bytes[1],
                  m_Bytes[2], m_Bytes[3], m_Bytes[4], m_Bytes[5]);
    return text;
}

}  // namespace XP
