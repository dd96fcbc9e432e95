#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Writes syntax elements most significant bit first, as an encoder lays them out, so that tests
// build bitstreams field by field. Deliberately plain: an independent source of expectations for
// the readers under test.
class BitWriter {
public:
    // The low `count` bits of `value`; bits beyond 64 are zeros.
    BitWriter& U(unsigned int count, uint64_t value) {
        for (unsigned int i = count; i > 0; --i) {
            PutBit(i <= 64 && ((value >> (i - 1)) & 1) != 0);
        }
        return *this;
    }
    BitWriter& Flag(bool value) { return U(1, value ? 1 : 0); }
    // ue(v): codeNum + 1 in binary, preceded by one zero per bit after its first.
    BitWriter& Ue(uint64_t codeNum) {
        unsigned int bits = 0;
        while (((codeNum + 1) >> bits) > 1) {
            ++bits;
        }
        return U(bits, 0).U(bits + 1, codeNum + 1);
    }
    // se(v): k > 0 is coded as 2k - 1, k <= 0 as -2k.
    BitWriter& Se(int64_t k) {
        return Ue(k > 0 ? static_cast<uint64_t>(2 * k - 1) : static_cast<uint64_t>(-2 * k));
    }
    BitWriter& Bytes(const std::vector<uint8_t>& bytes) {
        for (uint8_t byte : bytes) {
            U(8, byte);
        }
        return *this;
    }
    // rbsp_trailing_bits(): a one, then zeros to the byte boundary.
    BitWriter& Trailing() {
        PutBit(true);
        while (m_BitCount % 8 != 0) {
            PutBit(false);
        }
        return *this;
    }

    std::size_t BitCount() const { return m_BitCount; }
    const std::vector<uint8_t>& Rbsp() const { return m_Bytes; }

    // As carried in a NAL unit: 0x03 after two zero bytes followed by a byte of 0x03 or less, and
    // after two final zeros (H.264 7.4.1).
    std::vector<uint8_t> Escaped() const {
        std::vector<uint8_t> out;
        unsigned int zeros = 0;
        for (uint8_t byte : m_Bytes) {
            if (zeros >= 2 && byte <= 0x03) {
                out.push_back(0x03);
                zeros = 0;
            }
            out.push_back(byte);
            zeros = (byte == 0) ? zeros + 1 : 0;
        }
        if (zeros >= 2) {
            out.push_back(0x03);
        }
        return out;
    }

private:
    void PutBit(bool bit) {
        if (m_BitCount % 8 == 0) {
            m_Bytes.push_back(0);
        }
        if (bit) {
            m_Bytes.back() = static_cast<uint8_t>(m_Bytes.back() | (0x80 >> (m_BitCount % 8)));
        }
        ++m_BitCount;
    }

    std::vector<uint8_t> m_Bytes;
    std::size_t m_BitCount = 0;
};
