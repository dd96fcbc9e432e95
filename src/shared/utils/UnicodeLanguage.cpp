#include "shared/utils/UnicodeLanguage.h"

#include "shared/utils/CharsetTables.h"

namespace {

// Appends 16-bit units to a caller's buffer, keeping it zero-terminated after every unit and
// refusing the unit that would leave no room for the terminator.
class Utf16Writer {
public:
    Utf16Writer(uint16_t* dst, size_t size) : m_Dst(dst), m_Size(dst == nullptr ? 0 : size) {
        if (m_Size > 0) {
            m_Dst[0] = 0;
        }
    }

    bool Put(uint16_t unit) {
        if (m_Count + 1 >= m_Size) {
            return false;
        }
        m_Dst[m_Count++] = unit;
        m_Dst[m_Count] = 0;
        return true;
    }

    size_t Count() const { return m_Count; }

private:
    uint16_t* m_Dst;
    size_t m_Size;
    size_t m_Count = 0;
};

// The control codes that the single-byte tables leave out of the text.
bool IsControlByte(uint8_t c) {
    return c < 0x20 || (c >= 0x80 && c < 0xA0);
}

bool IsSurrogate(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Decodes the UTF-8 sequence at p, with len bytes available. Returns its length, or 0 for a zero
// byte, an invalid lead or continuation byte, an overlong form, or a sequence the end cuts short.
size_t DecodeUtf8(const uint8_t* p, size_t len, uint32_t& codePoint) {
    if (len == 0 || p[0] == 0) {
        return 0;
    }
    const uint8_t lead = p[0];
    size_t length;
    uint32_t value;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead < 0xC0) {
        return 0;  // a continuation byte cannot start a character
    } else if (lead < 0xE0) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead < 0xF0) {
        length = 3;
        value = lead & 0x0Fu;
    } else if (lead < 0xF8) {
        length = 4;
        value = lead & 0x07u;
    } else if (lead < 0xFC) {
        length = 5;
        value = lead & 0x03u;
    } else if (lead < 0xFE) {
        length = 6;
        value = lead & 0x01u;
    } else {
        return 0;
    }
    if (length > len) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    // The smallest value each length may carry; anything less is an overlong form.
    static constexpr uint32_t kMinimum[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
    if (value < kMinimum[length]) {
        return 0;
    }
    codePoint = value;
    return length;
}

}  // namespace

uint16_t UnicodeLanguage::Iso8859ToUnicode(unsigned part, uint8_t c) {
    if (c < CharsetTables::kIso8859First || part >= 16 ||
        CharsetTables::kIso8859[part] == nullptr) {
        return c;
    }
    const uint16_t unit = CharsetTables::kIso8859[part][c - CharsetTables::kIso8859First];
    return unit != 0 ? unit : kReplacementCharacter;
}

uint16_t UnicodeLanguage::Convert_GB_to_U(uint16_t code) {
    using namespace CharsetTables;
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFFu;
    if (lead < kGb2312LeadFirst || lead >= kGb2312LeadFirst + kGb2312LeadCount ||
        trail < kGb2312TrailFirst || trail >= kGb2312TrailFirst + kGb2312TrailCount) {
        return kReplacementCharacter;
    }
    const uint16_t unit =
        kGb2312[(lead - kGb2312LeadFirst) * kGb2312TrailCount + (trail - kGb2312TrailFirst)];
    return unit != 0 ? unit : kReplacementCharacter;
}

uint16_t UnicodeLanguage::Convert_BIG5_to_U(uint16_t code) {
    using namespace CharsetTables;
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFFu;
    if (lead < kBig5LeadFirst || lead >= kBig5LeadFirst + kBig5LeadCount) {
        return kReplacementCharacter;
    }
    unsigned column;
    if (trail >= kBig5LowTrailFirst && trail < kBig5LowTrailFirst + kBig5LowTrailCount) {
        column = trail - kBig5LowTrailFirst;
    } else if (trail >= kBig5HighTrailFirst && trail < kBig5HighTrailFirst + kBig5HighTrailCount) {
        column = kBig5LowTrailCount + (trail - kBig5HighTrailFirst);
    } else {
        return kReplacementCharacter;
    }
    const uint16_t unit = kBig5[(lead - kBig5LeadFirst) * kBig5TrailCount + column];
    return unit != 0 ? unit : kReplacementCharacter;
}

size_t UnicodeLanguage::ConvertSingleByte(unsigned part, const uint8_t* src, size_t srcLen,
                                          uint16_t* dst, size_t dstSize) {
    Utf16Writer out(dst, dstSize);
    for (size_t i = 0; src != nullptr && i < srcLen; ++i) {
        if (IsControlByte(src[i])) {
            continue;
        }
        if (!out.Put(Iso8859ToUnicode(part, src[i]))) {
            break;
        }
    }
    return out.Count();
}

size_t UnicodeLanguage::ConvertDoubleByte(DoubleByteMap_t map, const uint8_t* src, size_t srcLen,
                                          uint16_t* dst, size_t dstSize) {
    Utf16Writer out(dst, dstSize);
    size_t i = 0;
    while (src != nullptr && i < srcLen && src[i] != 0) {
        uint16_t unit;
        if (src[i] >= 0xA1 && i + 1 < srcLen && src[i + 1] != 0) {
            unit = map(static_cast<uint16_t>((src[i] << 8) | src[i + 1]));
            i += 2;
        } else {
            unit = src[i];
            i += 1;
        }
        if (!out.Put(unit)) {
            break;
        }
    }
    return out.Count();
}

size_t UnicodeLanguage::Convert_8859_to_U(const uint8_t* src, size_t srcLen, uint16_t* dst,
                                          size_t dstSize) const {
    if (src == nullptr || srcLen == 0) {
        return EPGMultiLanguage(nullptr, 0, dst, dstSize);
    }
    const uint8_t selector = src[0];
    const uint8_t* text = src + 1;
    const size_t textLen = srcLen - 1;
    if (selector >= 0x01 && selector <= 0x07) {
        return ConvertSingleByte(selector + 4u, text, textLen, dst, dstSize);  // 8859-5 .. -11
    }
    if (selector >= 0x09 && selector <= 0x0B) {
        return ConvertSingleByte(selector + 4u, text, textLen, dst, dstSize);  // 8859-13 .. -15
    }
    if (selector == 0x16 || selector == 0x20) {
        return ConvertSingleByte(2, text, textLen, dst, dstSize);
    }
    if (selector == 0x15) {
        return UTF82Unicode(text, textLen, dst, dstSize);
    }
    if (selector == 0x10) {
        const size_t count = FirstByte10to_U(text, textLen, dst, dstSize);
        // In the three-byte form the byte after the selector is 0, which ends the UTF-8 pass at
        // once and leaves the table conversion standing; anything decodable there is UTF-8.
        uint32_t codePoint = 0;
        if (DecodeUtf8(text, textLen, codePoint) == 0 || (codePoint & 0xFFFFu) == 0) {
            return count;
        }
        return UTF82Unicode(text, textLen, dst, dstSize);
    }
    if (selector < 0x20 && selector != 0x00) {
        return ConvertSingleByte(0, text, textLen, dst, dstSize);  // no table: byte values
    }
    return EPGMultiLanguage(src, srcLen, dst, dstSize);
}

size_t UnicodeLanguage::FirstByte10to_U(const uint8_t* text, size_t textLen, uint16_t* dst,
                                        size_t dstSize) const {
    if (text == nullptr || textLen < 2) {
        return ConvertSingleByte(0, nullptr, 0, dst, dstSize);
    }
    // Table numbers without an 8859 part (0, 12, 16 and up) copy the byte values.
    return ConvertSingleByte(text[1], text + 2, textLen - 2, dst, dstSize);
}

size_t UnicodeLanguage::UTF82Unicode(const uint8_t* src, size_t srcLen, uint16_t* dst,
                                     size_t dstSize) const {
    Utf16Writer out(dst, dstSize);
    size_t i = 0;
    while (src != nullptr && i < srcLen) {
        uint32_t codePoint = 0;
        const size_t length = DecodeUtf8(src + i, srcLen - i, codePoint);
        // Above the basic plane only the low 16 bits are kept; a character whose low bits are
        // all zero would end the string, so it ends the text here.
        const uint16_t unit = static_cast<uint16_t>(codePoint & 0xFFFFu);
        if (length == 0 || unit == 0 || !out.Put(unit)) {
            break;
        }
        i += length;
    }
    return out.Count();
}

size_t UnicodeLanguage::ConvertGBToUTF16(const uint8_t* src, size_t srcLen, uint16_t* dst,
                                         size_t dstSize) const {
    return ConvertDoubleByte(&Convert_GB_to_U, src, srcLen, dst, dstSize);
}

size_t UnicodeLanguage::ConvertBIG5ToUTF16(const uint8_t* src, size_t srcLen, uint16_t* dst,
                                           size_t dstSize) const {
    return ConvertDoubleByte(&Convert_BIG5_to_U, src, srcLen, dst, dstSize);
}

bool UnicodeLanguage::IsGBSimplifiedChinese(const uint8_t* text, size_t textLen) const {
    if (text == nullptr) {
        return false;
    }
    size_t length = 0;
    while (length < textLen && text[length] != 0) {
        ++length;
    }
    if (length == 0 || length > 1024) {
        return false;
    }
    const uint8_t first = text[0];
    if (first >= 0x01 && first <= 0x1F && first != 0x13 && first != 0x14) {
        return false;  // a selector names another table (0x11 included)
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] >= 0xA1) {
            return true;
        }
    }
    return false;
}

size_t UnicodeLanguage::EPGMultiLanguage(const uint8_t* src, size_t srcLen, uint16_t* dst,
                                         size_t dstSize) const {
    using namespace CharsetTables;
    Utf16Writer out(dst, dstSize);
    size_t i = 0;
    while (src != nullptr && i < srcLen && src[i] != 0) {
        const uint8_t c = src[i];
        uint16_t unit;
        if (c >= kIso6937MarkFirst && c < kIso6937MarkFirst + kIso6937MarkCount) {
            // A non-spacing mark comes before the letter it sits on.
            const uint8_t base = i + 1 < srcLen ? src[i + 1] : 0;
            unit = 0;
            if (base >= kIso6937BaseFirst && base < kIso6937BaseFirst + kIso6937BaseCount) {
                unit = kIso6937Combined[c - kIso6937MarkFirst][base - kIso6937BaseFirst];
            }
            if (unit == 0) {
                ++i;  // no such pair: drop the mark, decode the next byte on its own
                continue;
            }
            i += 2;
        } else if (c >= kIso6937First) {
            unit = kIso6937[c - kIso6937First];
            if (unit == 0) {
                unit = kReplacementCharacter;
            }
            ++i;
        } else {
            unit = c;
            ++i;
        }
        if (!out.Put(unit)) {
            break;
        }
    }
    return out.Count();
}

size_t UnicodeLanguage::set_utf16(uint16_t unit, uint8_t* out) {
    if (IsSurrogate(unit)) {
        unit = kReplacementCharacter;  // half a pair has no UTF-8 form
    }
    if (unit < 0x80) {
        out[0] = static_cast<uint8_t>(unit);
        return 1;
    }
    if (unit < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (unit >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
        return 2;
    }
    out[0] = static_cast<uint8_t>(0xE0 | (unit >> 12));
    out[1] = static_cast<uint8_t>(0x80 | ((unit >> 6) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
    return 3;
}

size_t UnicodeLanguage::utf16_to_utf8(const uint16_t* src, size_t srcUnits, uint8_t* dst,
                                      size_t dstSize) const {
    if (dst == nullptr || dstSize == 0) {
        return 0;
    }
    size_t count = 0;
    for (size_t i = 0; src != nullptr && i < srcUnits && src[i] != 0; ++i) {
        uint8_t bytes[3];
        const size_t length = set_utf16(src[i], bytes);
        if (count + length + 1 > dstSize) {
            break;  // no room for the whole character and the terminator
        }
        for (size_t b = 0; b < length; ++b) {
            dst[count++] = bytes[b];
        }
    }
    dst[count] = 0;
    return count;
}

size_t UnicodeLanguage::UCS2_to_UTF8(const uint16_t* src, size_t srcUnits, uint8_t* dst,
                                     size_t dstSize) const {
    return utf16_to_utf8(src, srcUnits, dst, dstSize);
}
