#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace XP {

// An IPv4 address, kept as a host-order 32-bit value (0xC0A82501 is 192.168.37.1).
class CIpAddress {
public:
    CIpAddress() = default;
    explicit CIpAddress(uint32_t value) : m_Value(value) {}

    void SetIpInt(uint32_t value) { m_Value = value; }
    uint32_t GetIpInt() const { return m_Value; }
    // Dotted quad; false (and the address unchanged) when the text is not one.
    bool Set(const std::string& text);
    std::string ToString() const;

    bool operator==(const CIpAddress& other) const { return m_Value == other.m_Value; }
    bool operator!=(const CIpAddress& other) const { return m_Value != other.m_Value; }

private:
    uint32_t m_Value = 0;
};

// A 48-bit MAC address.
class CMacAddress {
public:
    using Bytes_t = std::array<uint8_t, 6>;

    CMacAddress() = default;
    explicit CMacAddress(const Bytes_t& bytes) : m_Bytes(bytes) {}

    // Six hexadecimal pairs separated by ':' or '-' ("00:1a:2b:3c:4d:5e"); false (and the address
    // unchanged) for anything else.
    bool Set(const std::string& text);
    const Bytes_t& GetBytes() const { return m_Bytes; }
    // Lower-case, ':'-separated.
    std::string ToString() const;

    bool operator==(const CMacAddress& other) const { return m_Bytes == other.m_Bytes; }
    bool operator!=(const CMacAddress& other) const { return m_Bytes != other.m_Bytes; }

private:
    Bytes_t m_Bytes{};
};

}  // namespace XP
