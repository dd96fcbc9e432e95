#include "shared/utils/TextFormatConversion.h"

#include <algorithm>
#include <array>

TextFormatConversion::TextFormatConversion() : m_UnicodeLanguage(new UnicodeLanguage()) {}

std::string TextFormatConversion::StringConvertToUTF8(const uint8_t* pu8Src, uint32_t u32SrcLen,
                                                      uint8_t u8TSStandard) const {
    if (pu8Src == nullptr || u32SrcLen == 0) {
        return std::string();
    }
    const size_t srcLen = u32SrcLen;
    if (u8TSStandard == SI_MODE_ATSC) {
        return CleanUp(pu8Src, std::min(srcLen, kMaxSourceBytes));
    }

    const UnicodeLanguage& language = *m_UnicodeLanguage;
    // No table gives more than one unit per source byte, nor more than three UTF-8 bytes a unit.
    std::array<uint16_t, kMaxSourceBytes + 1> wide;
    std::array<uint8_t, 3 * kMaxSourceBytes + 1> utf8;
    const auto toUtf8 = [&](size_t units) {
        const size_t bytes = language.utf16_to_utf8(wide.data(), units, utf8.data(), utf8.size());
        return CleanUp(utf8.data(), bytes);
    };

    const uint8_t selector = pu8Src[0];
    const uint8_t* text = pu8Src + 1;
    const size_t textLen = srcLen - 1;
    if (selector <= 0x0B || selector == 0x10) {
        return toUtf8(language.Convert_8859_to_U(pu8Src, std::min(srcLen, kMaxSourceBytes),
                                                 wide.data(), wide.size()));
    }
    switch (selector) {
        case 0x11: {
            // Big-endian 16-bit characters of the basic plane; an odd last byte is half a
            // character and is left out.
            const size_t units = std::min(std::min(textLen, kMaxSourceBytes) / 2, kMaxUcs2Units);
            for (size_t i = 0; i < units; ++i) {
                wide[i] = static_cast<uint16_t>((text[2 * i] << 8) | text[2 * i + 1]);
            }
            const size_t bytes =
                language.UCS2_to_UTF8(wide.data(), units, utf8.data(), utf8.size());
            return CleanUp(utf8.data(), bytes);
        }
        case 0x13:
            return toUtf8(language.ConvertGBToUTF16(
                text, std::min(textLen, kMaxDoubleByteSourceBytes), wide.data(), wide.size()));
        case 0x14:
            return toUtf8(language.ConvertBIG5ToUTF16(
                text, std::min(textLen, kMaxDoubleByteSourceBytes), wide.data(), wide.size()));
        case 0x15:
            return CleanUp(text, std::min(textLen, kMaxSourceBytes));
        default:
            break;
    }
    if (language.IsGBSimplifiedChinese(pu8Src, srcLen)) {
        return toUtf8(language.ConvertGBToUTF16(pu8Src, std::min(srcLen, kMaxDoubleByteSourceBytes),
                                                wide.data(), wide.size()));
    }
    return CleanUp(pu8Src, std::min(srcLen, kMaxSourceBytes));
}

std::string TextFormatConversion::CleanUp(const uint8_t* utf8, size_t length) {
    size_t end = 0;
    while (end < length && utf8[end] != 0) {
        ++end;
    }
    if (end > kMaxResultBytes) {
        end = kMaxResultBytes;
        // Keep no leading part of a character that the limit cuts through (a character is at
        // most four bytes, so its lead is at most three bytes back).
        for (int back = 0; back < 3 && end > 0 && (utf8[end] & 0xC0) == 0x80; ++back) {
            --end;
        }
    }
    std::string result;
    result.reserve(end);
    for (size_t i = 0; i < end; ++i) {
        const uint8_t c = utf8[i];
        if (c < 0x20 || c == 0x7F) {
            result += ' ';
        } else if (c == 0xC2 && i + 1 < end && utf8[i + 1] >= 0x80 && utf8[i + 1] <= 0x9F) {
            result += ' ';  // a C1 control character, U+0080-U+009F
            ++i;
        } else {
            result += static_cast<char>(c);
        }
    }
    return result;
}
