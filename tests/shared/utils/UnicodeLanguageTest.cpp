#include "shared/utils/UnicodeLanguage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IconvReference.h"

using namespace std::string_literals;

namespace {

using Conversion = size_t (UnicodeLanguage::*)(const uint8_t*, size_t, uint16_t*, size_t) const;
constexpr char16_t kReplacement = UnicodeLanguage::kReplacementCharacter;

// Runs a conversion from and into exact-size buffers, so that AddressSanitizer sees any access
// past either, and checks the terminator.
std::u16string Decode(Conversion conversion, const std::string& src, size_t dstSize = 1024) {
    const std::vector<uint8_t> bytes(src.begin(), src.end());
    std::vector<uint16_t> dst(dstSize, 0xAAAA);
    const size_t count =
        (UnicodeLanguage().*conversion)(bytes.data(), bytes.size(), dst.data(), dst.size());
    if (dstSize == 0) {
        EXPECT_EQ(count, 0u);
        return u"";
    }
    EXPECT_LT(count, dstSize);
    EXPECT_EQ(dst[count], 0) << "no terminator";
    return std::u16string(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(count));
}

// iconv's reading of the bytes, or U+FFFD where iconv finds no single character in them.
std::u16string Expected(IconvReference& reference, const std::string& bytes) {
    const auto converted = reference(bytes);
    return converted && converted->size() == 2 ? IconvReference::Units(*converted)
                                               : std::u16string(1, kReplacement);
}

TEST(UnicodeLanguage, TablesMatchIconvForEveryCode) {
    for (unsigned part = 1; part <= 15; ++part) {
        if (part == 12) {
            continue;  // there is no such part
        }
        IconvReference reference("UTF-16LE", ("ISO-8859-" + std::to_string(part)).c_str());
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            ASSERT_EQ(std::u16string(1, UnicodeLanguage::Iso8859ToUnicode(part, byte)),
                      Expected(reference, std::string(1, char(byte))))
                << "8859-" << part << " byte " << byte;
        }
    }
    EXPECT_EQ(UnicodeLanguage::iso8859_7_conv_to_uc16(0xE1), u'\u03B1');  // the helpers' parts
    EXPECT_EQ(UnicodeLanguage::iso8859_15_conv_to_uc16(0xA4), u'\u20AC');

    const struct {
        const char* charset;
        uint16_t (*convert)(uint16_t);
    } sets[] = {{"GB2312", &UnicodeLanguage::Convert_GB_to_U},
                {"BIG5", &UnicodeLanguage::Convert_BIG5_to_U}};
    for (const auto& set : sets) {
        IconvReference reference("UTF-16LE", set.charset);
        for (unsigned code = 0; code < 0x10000; ++code) {
            ASSERT_EQ(std::u16string(1, set.convert(uint16_t(code))),
                      Expected(reference, {char(code >> 8), char(code)}))
                << set.charset << " code " << code;
        }
    }

    // ISO/IEC 6937: upper-half bytes alone, and every mark before every printable byte. A pair
    // the standard lacks is refused by iconv; the converter drops the mark and keeps the byte.
    IconvReference reference("UTF-16LE", "ISO_6937");
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        const bool mark = byte >= 0xC0 && byte <= 0xCF;
        for (unsigned next = 0x20; next < (mark ? 0x7Fu : 0x21u); ++next) {
            const std::string bytes =
                mark ? std::string{char(byte), char(next)} : std::string(1, char(byte));
            const std::u16string expected = Expected(reference, bytes);
            ASSERT_EQ(Decode(&UnicodeLanguage::EPGMultiLanguage, bytes),
                      mark && expected[0] == kReplacement ? std::u16string(1, next) : expected)
                << "bytes " << byte << " " << next;
        }
    }
    EXPECT_EQ(Decode(&UnicodeLanguage::EPGMultiLanguage, "\xC2\x61"), u"\u00E1");  // acute, 'a'
    EXPECT_EQ(Decode(&UnicodeLanguage::EPGMultiLanguage, "ab\xC2"), u"ab");
}

TEST(UnicodeLanguage, SelectorsOfTheSingleByteConversion) {
    std::string everyByte;
    std::string printable;  // what the table loops keep of it
    for (unsigned byte = 1; byte < 0x100; ++byte) {
        everyByte += char(byte);
        if (byte >= 0x20 && (byte < 0x80 || byte >= 0xA0)) {
            printable += char(byte);
        }
    }
    const std::string utf8 = "Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87";
    const std::string iso6937 = "Gr\xC8un \xC2o \xCFs \xA8 \xE8\xFB";
    const struct {
        std::string src;
        const char* charset;
        std::string reference;
    } cases[] = {
        {"\x16" + everyByte, "ISO-8859-2", printable},
        {" " + everyByte, "ISO-8859-2", printable},
        {"\x0C" + everyByte, "ISO-8859-1", printable},  // no table: the byte values
        {"\x15" + utf8, "UTF-8", utf8},
        {"\x10XY" + utf8, "UTF-8", "XY" + utf8},  // not the three-byte form: UTF-8 after all
        {iso6937, "ISO_6937", iso6937},
    };
    for (const auto& c : cases) {
        IconvReference reference("UTF-16LE", c.charset);
        EXPECT_EQ(Decode(&UnicodeLanguage::Convert_8859_to_U, c.src),
                  IconvReference::Units(reference(c.reference).value()))
            << c.charset;
    }
}

TEST(UnicodeLanguage, Utf8BothWays) {
    const struct {
        std::string src;
        std::u16string expected;
    } cases[] = {
        {"A\xC3\xA9\xE4\xB8\xAD\xEF\xBF\xBD~", u"A\u00E9\u4E2D\uFFFD~"},
        // Above the basic plane only the low 16 bits stay: U+1F600; U+200041 in five bytes.
        {"\xF0\x9F\x98\x80", u"\uF600"},
        {"\xF8\x88\x80\x81\x81", u"A"},
        // The text ends at the first invalid sequence or zero.
        {"AB\x80", u"AB"},
        {"AB\xC0\x80", u"AB"},
        {"AB\xE0\x80\xAF", u"AB"},
        {"AB\xE4\x41\xAD", u"AB"},
        {"AB\xE4\xB8", u"AB"},
        {"AB\xFEx", u"AB"},
        {std::string("AB\0CD", 5), u"AB"},
        {"\xF0\x90\x80\x80", u""},  // U+10000 keeps only zero bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decode(&UnicodeLanguage::UTF82Unicode, c.src), c.expected);
    }

    // Encoding the whole basic plane agrees with iconv.
    std::vector<uint16_t> units;
    std::string utf16le;
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (unit < 0xD800 || unit > 0xDFFF) {
            units.push_back(uint16_t(unit));
            utf16le += {char(unit), char(unit >> 8)};
        }
    }
    const UnicodeLanguage language;
    std::vector<uint8_t> out(3 * units.size() + 1);
    size_t count = language.UCS2_to_UTF8(units.data(), units.size(), out.data(), out.size());
    EXPECT_EQ(std::string(out.begin(), out.begin() + count),
              IconvReference("UTF-8", "UTF-16LE")(utf16le).value());
    // A lone surrogate becomes U+FFFD; a full destination takes only whole characters.
    const uint16_t text[] = {0x41, 0xDC00, 0x4E2D, 0, 0x42};
    count = language.utf16_to_utf8(text, 5, out.data(), 8);
    EXPECT_EQ(std::string(out.begin(), out.begin() + count + 1),
              "A\xEF\xBF\xBD\xE4\xB8\xAD"s + '\0');
    count = language.utf16_to_utf8(text, 5, out.data(), 7);
    EXPECT_EQ(std::string(out.begin(), out.begin() + count + 1), "A\xEF\xBF\xBD"s + '\0');
}

TEST(UnicodeLanguage, IsGBSimplifiedChinese) {
    const struct {
        std::string text;
        bool expected;
    } cases[] = {
        {"News \xD6\xD0", true},
        {"News", false},
        {"\x01\xB0\xA1", false},
        {"\x11\xB0\xA1", false},
        {"\x13\xB0\xA1", true},
        {"\x14\xB0\xA1", true},
        {std::string("AB\0\xB0", 4), false},  // the text ends at its zero byte
        {std::string(1023, 'a') + "\xA1", true},
        {std::string(1024, 'a') + "\xA1", false},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> bytes(c.text.begin(), c.text.end());
        EXPECT_EQ(UnicodeLanguage().IsGBSimplifiedChinese(bytes.data(), bytes.size()), c.expected)
            << c.text.size() << " bytes, first " << +bytes[0];
    }
}

TEST(UnicodeLanguage, FullDestinationsHoldAWholePrefix) {
    const struct {
        Conversion conversion;
        std::string src;
    } cases[] = {
        {&UnicodeLanguage::Convert_8859_to_U, "\x05xy\x8A\xE9zw"},
        {&UnicodeLanguage::FirstByte10to_U, std::string("\0\x07xy\xE1zw", 7)},
        {&UnicodeLanguage::UTF82Unicode, "x\xC3\xA9\xE4\xB8\xADyz"},
        {&UnicodeLanguage::ConvertGBToUTF16, "\xB0\xA1x\xD6\xD0yz"},
        {&UnicodeLanguage::ConvertBIG5ToUTF16, "\xA4\x40x\xA4\xA4yz"},
        {&UnicodeLanguage::EPGMultiLanguage, "C\xC2o\xE8ty"},
    };
    for (const auto& c : cases) {
        const std::u16string whole = Decode(c.conversion, c.src);
        ASSERT_EQ(whole.size(), 5u);
        for (size_t size = 0; size <= whole.size() + 1; ++size) {
            EXPECT_EQ(Decode(c.conversion, c.src, size), whole.substr(0, size ? size - 1 : 0));
        }
    }
}

}  // namespace
