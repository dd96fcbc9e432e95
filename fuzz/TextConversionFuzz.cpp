// Converts arbitrary bytes as a service name. The first input byte picks the broadcast standard
// and a destination size for the 16-bit conversions; the rest is the name. Whatever the bytes,
// the result must stay within its limit and hold no control character, and every 16-bit
// conversion must stay inside an exact-size destination and terminate it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/utils/TextFormatConversion.h"
#include "shared/utils/UnicodeLanguage.h"

namespace {

using Conversion = size_t (UnicodeLanguage::*)(const uint8_t*, size_t, uint16_t*, size_t) const;

void CheckResult(const std::string& result) {
    if (result.size() > TextFormatConversion::kMaxResultBytes) {
        __builtin_trap();
    }
    for (size_t i = 0; i < result.size(); ++i) {
        const auto c = static_cast<uint8_t>(result[i]);
        const bool c1 = c == 0xC2 && i + 1 < result.size() &&
                        static_cast<uint8_t>(result[i + 1]) >= 0x80 &&
                        static_cast<uint8_t>(result[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t standard = data[0] & 0x03;
    const size_t dstSize = data[0] >> 2;  // 0 to 63 units
    // An exact-size copy of the name, so that a read past its end is seen.
    const std::vector<uint8_t> name(data + 1, data + size);

    static const TextFormatConversion converter;
    CheckResult(
        converter.StringConvertToUTF8(name.data(), static_cast<uint32_t>(name.size()), standard));

    static const UnicodeLanguage language;
    static const Conversion conversions[] = {
        &UnicodeLanguage::Convert_8859_to_U,  &UnicodeLanguage::FirstByte10to_U,
        &UnicodeLanguage::UTF82Unicode,       &UnicodeLanguage::ConvertGBToUTF16,
        &UnicodeLanguage::ConvertBIG5ToUTF16, &UnicodeLanguage::EPGMultiLanguage,
    };
    for (const Conversion conversion : conversions) {
        std::vector<uint16_t> wide(dstSize);
        const size_t count = (language.*conversion)(name.data(), name.size(), wide.data(), dstSize);
        if (dstSize == 0 ? count != 0 : (count >= dstSize || wide[count] != 0)) {
            __builtin_trap();
        }
        // Back to UTF-8 in a destination that may be too small for all of it.
        std::vector<uint8_t> utf8(dstSize + 1);
        const size_t bytes = language.utf16_to_utf8(wide.data(), count, utf8.data(), utf8.size());
        if (bytes >= utf8.size() || utf8[bytes] != 0) {
            __builtin_trap();
        }
    }
    (void)language.IsGBSimplifiedChinese(name.data(), name.size());
    return 0;
}
