#include "shared/utils/TextFormatConversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IconvReference.h"

using namespace std::string_literals;

namespace {

// Converts an exact-size heap copy of src, so that AddressSanitizer sees a read past its end.
std::string Convert(const std::string& src, uint8_t standard = SI_MODE_DVB) {
    const std::vector<uint8_t> bytes(src.begin(), src.end());
    return TextFormatConversion().StringConvertToUTF8(bytes.data(), uint32_t(bytes.size()),
                                                      standard);
}

// Every character of a set that iconv accepts among the given codes, in texts of `per`
// characters: short enough for the source and result limits.
std::vector<std::string> TextsOf(const char* charset, const std::vector<std::string>& codes,
                                 size_t per) {
    IconvReference reference("UTF-8", charset);
    std::vector<std::string> texts(1);
    for (const auto& code : codes) {
        if (reference(code)) {
            if (texts.back().size() >= per * code.size()) {
                texts.emplace_back();
            }
            texts.back() += code;
        }
    }
    return texts;
}

std::string Repeat(const std::string& text, size_t times) {
    std::string repeated;
    while (times-- > 0) {
        repeated += text;
    }
    return repeated;
}

TEST(TextFormatConversion, EverySelectorFormMatchesIconv) {
    std::vector<std::pair<std::string, std::string>> forms = {{"\x08", "ISO-8859-1"}};
    for (unsigned selector : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11}) {
        forms.push_back(
            {std::string(1, char(selector)), "ISO-8859-" + std::to_string(selector + 4)});
    }
    for (unsigned table = 0; table <= 16; ++table) {  // tables without an 8859 part: byte values
        const bool part = table >= 1 && table <= 15 && table != 12;
        forms.push_back(
            {"\x10\x00"s + char(table), "ISO-8859-" + std::to_string(part ? table : 1)});
    }
    std::vector<std::string> singles;
    for (unsigned byte = 0x20; byte < 0x100; ++byte) {
        if (byte != 0x7F && (byte < 0x80 || byte >= 0xA0)) {
            singles.emplace_back(1, char(byte));
        }
    }
    std::vector<std::string> ucs2;
    std::vector<std::string> doubles;
    for (unsigned code = 0xA0; code < 0x10000; ++code) {
        if (code < 0xD800 || code > 0xDFFF) {
            ucs2.push_back({char(code >> 8), char(code)});
        }
        if (code >= 0xA100 && (code & 0xFF) >= 0x40) {
            doubles.push_back({char(code >> 8), char(code)});
        }
    }
    // The single-byte tables drop control codes of both halves wherever they stand.
    for (const auto& [selector, charset] : forms) {
        for (const auto& text : TextsOf(charset.c_str(), singles, 64)) {
            const size_t half = text.size() / 2;
            const std::string name =
                "\x8A" + text.substr(0, half) + "\t\x86" + text.substr(half) + "\x1F";
            EXPECT_EQ(Convert(selector + name), IconvReference("UTF-8", charset.c_str())(text))
                << charset << " selected by " << selector.size() << " bytes";
        }
    }
    const struct {
        std::string selector;
        const char* charset;
        const std::vector<std::string>& codes;
        std::string prefix;
    } wide[] = {{"\x11", "UCS-2BE", ucs2, "\0T\0V\0 "s},
                {"\x13", "GB2312", doubles, "TV "},
                {"", "GB2312", doubles, "TV "},  // no selector, but bytes from 0xA1 up
                {"\x14", "BIG5", doubles, "TV "},
                {"\x15", "UTF-8", singles, "TV "}};
    for (const auto& form : wide) {
        IconvReference reference("UTF-8", form.charset);
        for (const auto& text : TextsOf(form.charset, form.codes, 60)) {
            EXPECT_EQ(Convert(form.selector + form.prefix + text), reference(form.prefix + text))
                << form.charset << " selected by " << form.selector.size() << " bytes";
        }
    }
    EXPECT_EQ(Convert("\x05\xE9"), "\xC3\xA9");  // 8859-9 0xE9, e with acute
    EXPECT_EQ(Convert("\x11\x00\x41\x00\x42"s), "AB");
}

TEST(TextFormatConversion, CleanUpAndLimits) {
    const struct {
        std::string src;
        uint8_t standard;
        std::string expected;
    } cases[] = {
        {"News\tat\nTen\x7F", SI_MODE_DVB, "News at Ten "},
        {"News\tat\nTen\x7F", SI_MODE_ATSC, "News at Ten "},
        {"\x15Now \xC3\xA9t\xC3\xA9\r\xC2\x85!", SI_MODE_DVB, "Now \xC3\xA9t\xC3\xA9  !"},
        {"\x11\x00\x41\x00\x09\x00\x85\x00\x42"s, SI_MODE_DVB, "A  B"},
        {"\x13\xB0\xA1\x0A\x41", SI_MODE_DVB, "\xE5\x95\x8A A"},
        // No table for these selectors here: the bytes are taken as they are.
        {"\x0CTVN", SI_MODE_DVB, " TVN"},
        {"\x12TVN\xB0\xA1", SI_MODE_DVB, " TVN\xB0\xA1"},
        {"\x1FTVN", SI_MODE_DVB, " TVN"},
        // ATSC text is taken as it is, valid UTF-8 or not, up to its first zero byte.
        {"\x05\xC3\xA9t\xE9"s + "\0after"s, SI_MODE_ATSC, " \xC3\xA9t\xE9"},
        // At most 256 bytes, never part of a character; of the source only 768 bytes count.
        {std::string(1000, 'A'), SI_MODE_DVB, std::string(256, 'A')},
        {std::string(1000, 'A'), SI_MODE_ATSC, std::string(256, 'A')},
        {"\x15z" + Repeat("\xC3\xA9", 200), SI_MODE_DVB, "z" + Repeat("\xC3\xA9", 127)},
        {"\x15" + Repeat("\xE4\xB8\xAD", 200), SI_MODE_DVB, Repeat("\xE4\xB8\xAD", 85)},
        {"\x05" + std::string(766, '\x8A') + "AB", SI_MODE_DVB, "A"},
        {"\x05" + std::string(765, '\x8A') + "AB", SI_MODE_DVB, "AB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.src, c.standard), c.expected) << c.src.size() << "-byte source";
    }
    const uint8_t name[] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(TextFormatConversion().StringConvertToUTF8(name, 2, SI_MODE_DVB), "AB");
    EXPECT_EQ(TextFormatConversion().StringConvertToUTF8(nullptr, 4, SI_MODE_DVB), "");
}

TEST(TextFormatConversion, BadInputGivesABoundedResult) {
    const struct {
        std::string src;
        std::string expected;
    } cases[] = {
        // Selectors with nothing, or too little, after them.
        {"", ""},
        {"\x10", ""},
        {"\x10\x00\x05"s, ""},
        {"\x11", ""},
        {"\x11\x00\x41\x00"s, "A"},  // half a character at the end is left out
        {"\x11\x00\x41\x00\x00\x00\x42"s, "A"},
        {"\x13", ""},
        {"\x14", ""},
        {"\x15", ""},
        {"\x00XYZ"s, ""},  // ISO/IEC 6937 text that ends at once
        // A lead byte at the end stands for itself (iconv: incomplete input); a code that is no
        // character of the set gives U+FFFD (iconv: refused).
        {"\x13\xB0", "\xC2\xB0"},
        {"\x13\xB0\x41Z", "\xEF\xBF\xBDZ"},
        {"\x14\xA4\x40\xFF\xFF\xA4", "\xE4\xB8\x80\xEF\xBF\xBD\xC2\xA4"},
        // The three-byte form with a non-zero high byte is UTF-8 up to a bad sequence; with no
        // UTF-8 there at all the table conversion stands.
        {"\x10XY\xE4\xB8", "XY"},
        {"\x10\x80\x05\xE9"s, "\xD1\x89"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.src), c.expected) << c.src.size() << "-byte source";
    }
}

}  // namespace
